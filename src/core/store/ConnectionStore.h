#pragma once
// The saved connections (table connections of the resource database). Every
// statement binds its values, so names and connection strings with quotes,
// "|" or any other text are stored and read back unchanged.
//
// Passwords go to the desktop keyring where one is available (the process's
// SecretStore): the stored string then holds a reference in the password's
// place (see SavedPasswords.h), and connectionForUse puts the password back
// when the string is handed to a document or a run. Without a keyring they
// stay in the string, in the owner-only vsql.db. Rows written before, with
// the password in the string, are read as they are; saving one again moves
// its password to the keyring.

#include "base/Result.h"
#include "db/ServerFamily.h"

#include <QString>

#include <optional>
#include <vector>

// The SQL dialect of a saved connection, as stored in its type column. The
// first three are the long-standing kinds; the others name the databases
// this editor talks to, so a PostgreSQL connection is not called T-SQL.
enum class ConnectionType : int {
    Unknown = 0, TSql = 1, JetSql = 2, AnsiSql = 3, PostgreSql = 4, MySql = 5, Sqlite = 6,
};

struct StoredConnection {
    qint64 primaryKey = 0;
    QString name;
    QString connectionString;
    int type = 1; // a ConnectionType number; NULL reads as 1
};

class ConnectionStore {
public:
    // The rows as stored: a password kept in the keyring reads as its reference.
    static Result<std::vector<StoredConnection>> list();
    // The new row's primary key. notice (when given) receives a message for
    // the user when a password stayed in vsql.db although a keyring runs, or
    // an old keyring entry could not be removed; it is emptied otherwise.
    static Result<qint64> insertConnection(const QString& name, const QString& connectionString, int type,
                                           QString* notice = nullptr);
    static Status updateConnection(qint64 primaryKey, const QString& name, const QString& connectionString, int type,
                                   QString* notice = nullptr);
    // Removes the row and its passwords' keyring entries.
    static Status deleteConnection(qint64 primaryKey, QString* notice = nullptr);

    // The string with its passwords put back from the keyring, for handing to
    // a document or a run; a password that cannot be read is a failure that
    // says so (never a string with a wrong password).
    static Result<QString> connectionForUse(const QString& connectionString);

    // Where saving puts passwords now. May ask the keyring once (bounded by a
    // time-out); the answer is kept for the process.
    struct PasswordStore {
        bool keyring = false;
        QString reason; // why not the keyring
    };
    static PasswordStore passwordStore();

    // The type box texts, by type number 1..6 ("T-SQL (MS SQL)", "JET SQL",
    // "ANSI SQL", "PostgreSQL", "MySQL/MariaDB", "SQLite"); empty otherwise.
    static QString typeText(int type);
    static constexpr int kTypeCount = 6;
    // A type box text back to its number; anything else is 1.
    static int typeNumber(const QString& text);
    // The type of a connection by the kind of server that answered it; ANSI
    // SQL for any other.
    static ConnectionType typeForServer(db::ServerFamily server);
};
