#include "db/FieldType.h"

#include <QHash>

namespace db {

bool isNumberType(FieldType t) {
    switch (t) {
    case FieldType::SmallInt: case FieldType::Integer: case FieldType::Single: case FieldType::Double:
    case FieldType::Currency: case FieldType::Decimal: case FieldType::TinyInt: case FieldType::UnsignedTinyInt:
    case FieldType::UnsignedSmallInt: case FieldType::UnsignedInt: case FieldType::BigInt:
    case FieldType::UnsignedBigInt: case FieldType::Numeric: case FieldType::VarNumeric: return true;
    default: return false;
    }
}

} // namespace db

QString adoTypeName(const QString& typeNumber) {
    static const QHash<QString, QString> names = {
        {"0", "Empty"},       {"2", "SmallInt"},     {"3", "Integer"},        {"4", "Single"},
        {"5", "Double"},      {"6", "Currency"},     {"7", "Date"},           {"8", "BSTR"},
        {"9", "IDispatch"},   {"10", "Error"},       {"11", "Boolean"},       {"12", "Variant"},
        {"13", "IUnknown"},   {"14", "Decimal"},     {"16", "TinyInt"},       {"17", "UnsignedTinyInt"},
        {"18", "UnsignedSmallInt"}, {"19", "UnsignedInt"}, {"20", "BigInt"},  {"21", "UnsignedBigInt"},
        {"64", "FileTime"},   {"72", "GUID"},        {"128", "Binary"},       {"129", "Char"},
        {"130", "adWChar"},   {"131", "Numeric"},    {"132", "UserDefined"},  {"133", "DBDate"},
        {"134", "DBTime"},    {"135", "DBTimeStamp"}, {"136", "Chapter"},     {"137", "DBFileTime"},
        {"138", "PropVariant"}, {"139", "VarNumeric"}, {"200", "VarChar"},    {"201", "LongVarChar"},
        {"202", "VarWChar"},  {"203", "LongVarWChar"}, {"204", "VarBinary"},  {"205", "LongVarBinary"},
    };
    return names.value(typeNumber, typeNumber);
}
