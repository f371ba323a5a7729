#pragma once
// A statement with bound values as libpq takes them: "?" placeholders
// numbered $1, $2, … (text that already holds $1 is left as it is), each
// value in the server's text input form (bytes as bytea's hex form, true
// and false for booleans), NULL as a null pointer.

#include "db/Connection.h"

#include <QByteArray>
#include <vector>

namespace db::pg {

struct BoundStatement {
    BoundStatement(const QString& sql, const Params& params);
    BoundStatement(const BoundStatement&) = delete;
    BoundStatement& operator=(const BoundStatement&) = delete;

    QByteArray text;
    int count() const { return int(pointers.size()); }
    const char* const* values() const { return pointers.data(); }

private:
    std::vector<QByteArray> storage;
    std::vector<const char*> pointers;
};

} // namespace db::pg
