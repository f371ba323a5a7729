#pragma once
// The type a new table gives each column of an imported file, guessed from
// the values: whole numbers (int, or bigint past 32 bits), decimals,
// floating-point numbers (with an exponent), booleans (true/false, yes/no),
// dates (yyyy-mm-dd), timestamps (yyyy-mm-dd hh:mm[:ss[.f]], 'T' allowed) and
// text. A column takes the narrowest type all its values fit; empty and NULL
// values fit any. Numbers with leading zeros ("007") are text: codes, not
// quantities.

#include "db/ServerFamily.h"

#include <QString>

#include <optional>
#include <string_view>
#include <vector>

namespace csv {

enum class ColumnType { Integer, BigInt, Decimal, Double, Boolean, Date, Timestamp, Text };

const std::vector<ColumnType>& columnTypes();
QString columnTypeName(ColumnType type); // as the import dialog offers it: "Integer", "Text", …
std::optional<ColumnType> columnTypeNamed(const QString& name);

// The narrowest type the value fits (Text when it fits nothing else).
ColumnType typeOfValue(std::string_view value);

// Accumulates the values of one column.
class TypeGuess {
public:
    void add(std::string_view value);
    ColumnType type() const;
    // The longest value in characters (for the size of a text column).
    int longest() const { return longest_; }
    // Digits before and after the point of the widest decimal.
    int integerDigits() const { return integerDigits_; }
    int scale() const { return scale_; }

private:
    ColumnType type_ = ColumnType::Integer;
    bool any_ = false;
    int longest_ = 0;
    int integerDigits_ = 0;
    int scale_ = 0;
};

// The column type in the server's dialect (e.g. PostgreSQL "numeric", MariaDB
// "DECIMAL(12,2)", SQLite "REAL"); guess supplies the sizes.
QString sqlType(ColumnType type, db::ServerFamily server, const TypeGuess& guess = {});

// What a value must look like to go into a column, where the server itself
// does not check (SQLite keeps 'x' in an INTEGER column as text).
enum class ValueCheck { None, WholeNumber, Number, Date, Timestamp };
ValueCheck checkFor(ColumnType type);
// For a column SQLite declared with declaredType, by its type affinity.
ValueCheck checkForDeclared(const QString& declaredType);
// True when value (not empty) passes the check.
bool passes(ValueCheck check, std::string_view value);
// "a whole number", "a number", "a date", "a timestamp".
QString checkName(ValueCheck check);

// A value of a Boolean column as the server takes it: 1 or 0 where it has
// no boolean type (MariaDB, SQLite), as written elsewhere.
std::optional<std::string_view> booleanText(std::string_view value, db::ServerFamily server);

} // namespace csv
