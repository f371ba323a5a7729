#pragma once
// Connection strings of the form "Key=Value;Key={Value;with;semicolons};".
// Keys compare without regard to case; order and unknown keys are kept, so a
// string handed to a driver arrives as the user wrote it.
//
// One scanner reads the text (scanConnectionString); the parser, the
// password masker and everything that builds strings (quoteValue) share it,
// so they cannot disagree on where a value ends.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace db {

// One "key=value" piece as written, with where its value lies in the text.
struct ConnectionStringPiece {
    QString key;          // trimmed
    QString value;        // unbraced, "}}" turned back into "}"
    bool hasValue = false; // false for a fragment without '='
    qsizetype valueBegin = 0, valueEnd = 0; // the raw value text [begin, end), braces included
};
std::vector<ConnectionStringPiece> scanConnectionString(const QString& text);

// A value as it must be written: in braces (with "}" doubled) when it holds
// ';', '{' or '}', or starts or ends with a blank; else unchanged.
QString quoteValue(const QString& value);

// "Provider=SQLite;Data Source=<path>;" with the path quoted as needed.
QString sqliteConnectionString(const QString& path);

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
    // "Backend=ODBC": the string goes to the ODBC driver even where a native
    // backend serves its server.
    bool wantsOdbc() const;
    // The file of a native SQLite string ("Data Source" or "Database").
    QString sqliteFile() const;

private:
    struct Pair {
        QString key;
        QString value;
    };
    std::vector<Pair> pairs_;
};

// True for the keys whose values are secrets (PWD, Password, and the
// passphrases of TLS keys: TLSKEYPWD, sslpassword).
bool isPasswordKey(const QString& key);

// A yes/no value as the drivers write it: "1", "yes", "true", "on" (any case) are yes.
bool isTrueValue(const QString& value);

// The text with the values of every password key (PWD, Password) replaced by
// "****", everything else as written. A broken string (an unclosed brace
// swallowing the rest) is masked too: any "pwd=" or "password=" after a
// separator loses its value up to the next ';' or '}'. Used for every
// message, title or log line that shows a connection string.
QString maskPasswords(const QString& connectionString);

// The password values of a connection string, to scrub them from driver
// messages that might echo them.
QStringList passwordValues(const QString& connectionString);

// Replaces each of the secrets in text by "****".
QString scrubSecrets(QString text, const QStringList& secrets);

} // namespace db
