#pragma once
// The saved connections (table connections of the resource database). Every
// statement binds its values, so names and connection strings with quotes,
// "|" or any other text are stored and read back unchanged.

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
    struct Outcome {
        bool ok = false;
        QString error; // the database's description when not ok
        qint64 primaryKey = 0; // of an inserted row
    };

    static std::vector<StoredConnection> list(QString* error = nullptr);
    static Outcome insertConnection(const QString& name, const QString& connectionString, int type);
    static Outcome updateConnection(qint64 primaryKey, const QString& name, const QString& connectionString, int type);
    static Outcome deleteConnection(qint64 primaryKey);

    // The type box texts, by type number 1..3.
    static QString typeText(int type);
    // A type box text back to its number; anything else is 1.
    static int typeNumber(const QString& text);
};
