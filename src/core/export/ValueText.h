#pragma once
// What a cell's text is, for formats that write values of different kinds
// differently (JSON, SQL, XLSX). Cells arrive as the server's text; the
// field type says what the column holds, and the text itself must still
// qualify (a REAL column of SQLite may hold a word).

#include "db/Field.h"

#include <optional>
#include <string_view>

namespace exports {

enum class ValueKind { Number, Boolean, Binary, Text };

// The kind of a column's values by its type.
ValueKind valueKind(const db::Field& field);

// True for a number as JSON writes it: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
// (SQL takes the same text as a numeric literal).
bool isPlainNumber(std::string_view text);

// The truth value of a boolean column's text ("1"/"0", "t"/"f",
// "true"/"false" in any case); nullopt for anything else.
std::optional<bool> booleanValue(std::string_view text);

// The number as a double when the double gives back exactly the number the
// text says (at most 15 significant digits, as a spreadsheet keeps them);
// nullopt otherwise (the value then goes out as text).
std::optional<double> exactDouble(std::string_view text);

// True when text is a whole number that fits 64 bits ("-12", not "1.0").
bool isInteger64(std::string_view text);

} // namespace exports
