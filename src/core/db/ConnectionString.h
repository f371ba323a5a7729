#pragma once
// Connection strings of the form "Key=Value;Key={Value;with;semicolons};".
// Keys compare without regard to case; order and unknown keys are kept, so a
// string handed to a driver arrives as the user wrote it.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace db {

class ConnectionString {
public:
    ConnectionString() = default;
    explicit ConnectionString(const QString& text);

    std::optional<QString> value(const QString& key) const;
    bool has(const QString& key) const { return value(key).has_value(); }
    // Replaces the value of an existing key in place, or appends the key.
    void set(const QString& key, const QString& value);
    void remove(const QString& key);

    QString toString() const;
    bool isEmpty() const { return pairs_.empty(); }

    // True for strings the native SQLite backend serves (Provider=SQLite).
    bool isSqlite() const;
    // The file of a native SQLite string ("Data Source" or "Database").
    QString sqliteFile() const;

private:
    struct Pair {
        QString key;
        QString value;
    };
    std::vector<Pair> pairs_;
};

// The text with the values of every password key (PWD, Password) replaced by
// "****". Used for every message or log line that shows a connection string.
QString maskPasswords(const QString& connectionString);

// The password values of a connection string, to scrub them from driver
// messages that might echo them.
QStringList passwordValues(const QString& connectionString);

// Replaces each of the secrets in text by "****".
QString scrubSecrets(QString text, const QStringList& secrets);

} // namespace db
