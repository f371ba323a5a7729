#pragma once
// Field type numbers, as fields, the catalogue and the results' type names
// know them (the long-standing numbering of the type-name table), and their
// names.

#include <QString>

namespace db {

enum class FieldType : int {
    Empty = 0, SmallInt = 2, Integer = 3, Single = 4, Double = 5, Currency = 6, Date = 7, BStr = 8, IDispatch = 9,
    Error = 10, Boolean = 11, Variant = 12, IUnknown = 13, Decimal = 14, TinyInt = 16, UnsignedTinyInt = 17,
    UnsignedSmallInt = 18, UnsignedInt = 19, BigInt = 20, UnsignedBigInt = 21, FileTime = 64, Guid = 72,
    Binary = 128, Char = 129, WChar = 130, Numeric = 131, UserDefined = 132, DbDate = 133, DbTime = 134,
    DbTimeStamp = 135, Chapter = 136, DbFileTime = 137, PropVariant = 138, VarNumeric = 139, VarChar = 200,
    LongVarChar = 201, VarWChar = 202, LongVarWChar = 203, VarBinary = 204, LongVarBinary = 205,
};

// True for the number types (shown right-aligned).
bool isNumberType(FieldType type);

} // namespace db

// The name for a type number given as decimal text ("3" -> "Integer"); a
// number not in the table returns the text unchanged.
QString adoTypeName(const QString& typeNumber);
