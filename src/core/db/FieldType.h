#pragma once
// The names of the ADO data-type numbers that fields carry (db::Field::type).

#include <QString>

// The name for a type number given as decimal text; a number not in the
// table returns the text unchanged.
QString adoTypeName(const QString& typeNumber);
