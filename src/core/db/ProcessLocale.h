#pragma once
// Drivers convert narrow (SQL_C_CHAR) text by the process's LC_CTYPE codeset.
// With a UTF-8 codeset they pass the database's UTF-8 through unchanged, which
// is both correct for every language and the fastest path.

namespace db {

// Switches LC_CTYPE to a UTF-8 locale when the environment left it at another
// codeset (e.g. plain "C"). Call once at start-up, before other threads run.
void useUtf8Ctype();

} // namespace db
