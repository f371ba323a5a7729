#pragma once
// The saved connections (table connections of the resource database). Every
// statement binds its values, so names and connection strings with quotes,
// "|" or any other text are stored and read back unchanged.

#include "base/Result.h"

#include <QString>

#include <optional>
#include <vector>

struct StoredConnection {
    qint64 primaryKey = 0;
    QString name;
    QString connectionString;
    int type = 1; // 1 "T-SQL (MS SQL)", 2 "JET SQL", 3 "ANSI SQL", 0 provider without a kind
};

class ConnectionStore {
public:
    static Result<std::vector<StoredConnection>> list();
    // The new row's primary key.
    static Result<qint64> insertConnection(const QString& name, const QString& connectionString, int type);
    static Status updateConnection(qint64 primaryKey, const QString& name, const QString& connectionString, int type);
    static Status deleteConnection(qint64 primaryKey);

    // The type box texts, by type number 1..3.
    static QString typeText(int type);
    // A type box text back to its number; anything else is 1.
    static int typeNumber(const QString& text);
};
