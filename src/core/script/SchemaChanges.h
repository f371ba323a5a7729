#pragma once
// Whether a script may change the structure of its database (tables, views,
// schemas, databases), read from its tokens: the code assistance forgets the
// names it has cached after such a run. A statement counts when its first
// word is CREATE, ALTER, DROP, RENAME, TRUNCATE, ATTACH or DETACH, also
// inside a BEGIN … END block, after THEN, ELSE, LOOP or DO, and in the $$
// body of a DO block; SELECT … INTO a table counts too. Words inside strings,
// comments and quoted names, and qualified names (t.drop) do not.
//
// Erring towards yes costs one catalogue read; erring towards no leaves a
// list stale for a minute.

#include "script/SqlLexer.h"

namespace script {

bool changesSchema(QStringView script, Dialect dialect = Dialect::Generic);

} // namespace script
