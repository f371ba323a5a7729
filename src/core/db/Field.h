#pragma once
// Description of one column of a result set.

#include "db/FieldType.h"

#include <QString>

namespace db {

struct Field {
    QString name;
    FieldType type = FieldType::VarChar;
    int precision = 255;     // digits for numbers, display size (<= 255) otherwise
    qint64 definedSize = 0;  // declared size: characters for text, bytes otherwise
    // The type declares no size (text, blobs, long types): the text layout
    // sizes such a column from its values instead of its precision.
    bool unsized = false;
};

} // namespace db
