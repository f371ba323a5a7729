#pragma once
// Numbers of a SQLite result as text, exactly as SQLite itself writes them
// (sqlite3_column_text), without asking SQLite: its own conversion is a
// third of the time of reading a numeric result.
//
// An integer is its decimal digits. A real is SQLite's "%!.15g": fifteen
// significant digits, trailing zeros dropped but one kept after the point
// ("1.0", "0.5", "1.0e+20", "1.0e-05", "Inf"). SQLite rounds with extended
// precision arithmetic that can differ from exact rounding when a value lies
// within a hair of a rounding boundary; those rare values are left to
// SQLite's own formatter, so the text is SQLite's in every case.

#include <cstddef>
#include <cstdint>

namespace db::sqlite {

// Room enough for either.
inline constexpr size_t kMaxNumberText = 32;

// Writes the text at out; returns its length.
size_t integerText(std::int64_t value, char* out);
size_t realText(double value, char* out);

} // namespace db::sqlite
