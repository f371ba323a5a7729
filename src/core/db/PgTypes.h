#pragma once
// PostgreSQL types as the native backend presents them: each column is
// described the way the PostgreSQL ODBC driver (psqlODBC, with the options
// the ODBC backend gives it) describes it, except that a column is as wide
// as the server's own text of its values (a time zone offset, fractions of
// a second, a currency sign): the values are that text, byte for byte, as
// psql shows them.

#include "db/OdbcTypes.h"

namespace db::pg {

using Oid = unsigned int;

// The driver's description of a column. typmod is the server's (-1 for
// none); longest is the longest value in the first rows the driver would
// have read (the first fetch), which some types take their size from.
odbc::ColumnDescription describe(Oid type, int typmod, int longest);
// True when describe() depends on `longest` for this type.
bool sizedByValues(Oid type, int typmod);

// The length the catalogue lists for a column: the size of character and
// binary types, the bytes of a bound value for the others.
SQLLEN catalogLength(const odbc::ColumnDescription& d);

// Rows the driver reads in its first fetch (its Fetch option as the ODBC
// backend sets it).
inline constexpr int kFirstFetchRows = 5000;

} // namespace db::pg
