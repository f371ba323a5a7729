#pragma once
// PostgreSQL types as the native backend presents them: each column is
// described the way the PostgreSQL ODBC driver (psqlODBC, with the options
// the ODBC backend gives it) describes it, and values are written the way
// that driver hands them out as text, so a result reads the same through
// either backend.

#include "db/OdbcTypes.h"
#include "db/RowBlock.h"

#include <string_view>

namespace db::pg {

using Oid = unsigned int;

// How a column's values are written.
enum class ValueKind {
    AsSent,      // the server's text as it is
    Boolean,     // t/f as 1/0
    Bytes,       // bytea as upper-case hex digits
    Uuid,        // upper-case
    Date,        // infinities as the driver writes them
    Timestamp,   // infinities as the driver writes them
    TimestampTz, // the same, without the zone offset
};
ValueKind valueKind(Oid type);

// Appends one value of that kind to the open cell of the block and closes it.
void appendValue(RowBlock& block, ValueKind kind, std::string_view text);

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
