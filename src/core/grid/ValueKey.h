#pragma once
// Keys that order a column's values by what they are, not by their text:
// numbers as numbers (a NUMERIC of any length exactly, by its decimal
// digits, never through a double), dates and times as points in time,
// booleans false before true, binary values by their bytes, text by the
// locale's collation. NULL comes before every value; a value that does not
// read as its column's kind (a word in a REAL column of SQLite) comes after
// the values that do, in text order.
//
// Keys are bytes compared as unsigned bytes, a shorter key first when one
// is the start of the other, so sorting and filtering compare keys only.

#include "db/Field.h"

#include <string>
#include <string_view>

namespace grid {

class Collation;

enum class ValueOrder { Number, DateTime, Time, Boolean, Binary, Text };

// How a column's values are ordered, by its type.
ValueOrder valueOrder(const db::Field& field);

class ValueKey {
public:
    // collation: for text (and values that do not read as their kind).
    ValueKey(ValueOrder order, const Collation& collation) : order_(order), collation_(collation) {}
    // Appends the key of a value (isNull: the NULL key) to out.
    void append(std::string_view text, bool isNull, std::string& out) const;
    ValueOrder order() const { return order_; }

private:
    const ValueOrder order_;
    const Collation& collation_;
};

// The parts of a key (exposed for tests): a number's key, empty when text
// is not a decimal number ("-1.5e3", "007", ".5" read; "1,5" and "NaN" do not).
bool appendNumberKey(std::string_view text, std::string& out);
// Microseconds since 0001-01-01 of "YYYY-MM-DD[ T]HH:MM[:SS[.f]][Z|±HH[:MM]]"
// (a zone moves it to UTC; a date alone is its midnight); false when text
// is not one.
bool dateTimeMicros(std::string_view text, qint64& micros);
// Microseconds of "[-]H+:MM[:SS[.f]]" (hours past 24 allowed).
bool timeMicros(std::string_view text, qint64& micros);

} // namespace grid
