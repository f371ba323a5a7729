#include "db/ConnectionString.h"

#include "db/ConnectionUri.h"

#include <QRegularExpression>

namespace db {

std::vector<ConnectionStringPiece> scanConnectionString(const QString& text) {
    std::vector<ConnectionStringPiece> out;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype eq = text.indexOf(QLatin1Char('='), i);
        const qsizetype semi = text.indexOf(QLatin1Char(';'), i);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            // a fragment without '=': a key with no value
            const qsizetype end = semi < 0 ? n : semi;
            ConnectionStringPiece p;
            p.key = text.mid(i, end - i).trimmed();
            p.valueBegin = p.valueEnd = end;
            if (!p.key.isEmpty()) out.push_back(std::move(p));
            i = end + 1;
            continue;
        }
        ConnectionStringPiece p;
        p.key = text.mid(i, eq - i).trimmed();
        p.hasValue = true;
        qsizetype j = eq + 1;
        while (j < n && text[j] == QLatin1Char(' ')) ++j;
        qsizetype end;
        if (j < n && text[j] == QLatin1Char('{')) {
            // braced value: "}}" inside stands for one '}'
            p.valueBegin = j;
            ++j;
            while (j < n) {
                if (text[j] == QLatin1Char('}')) {
                    if (j + 1 < n && text[j + 1] == QLatin1Char('}')) {
                        p.value += QLatin1Char('}');
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                p.value += text[j++];
            }
            p.valueEnd = j;
            end = text.indexOf(QLatin1Char(';'), j);
            if (end < 0) end = n;
        } else {
            end = text.indexOf(QLatin1Char(';'), j);
            if (end < 0) end = n;
            p.valueBegin = eq + 1;
            p.valueEnd = end;
            p.value = text.mid(j, end - j).trimmed();
        }
        if (!p.key.isEmpty()) out.push_back(std::move(p));
        i = end + 1;
    }
    return out;
}

QString quoteValue(const QString& value) {
    const bool braces = value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('{')) ||
                        value.contains(QLatin1Char('}')) || value != value.trimmed();
    if (!braces) return value;
    return QLatin1Char('{') + QString(value).replace(QLatin1Char('}'), QLatin1String("}}")) + QLatin1Char('}');
}

QString sqliteConnectionString(const QString& path) {
    return QStringLiteral("Provider=SQLite;Data Source=") + quoteValue(path) + QLatin1Char(';');
}

bool isPasswordKey(const QString& key) {
    for (const char* k : {"PWD", "Password", "TLSKEYPWD", "sslpassword"})
        if (key.compare(QLatin1String(k), Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool isTrueValue(const QString& value) {
    const QString v = value.trimmed();
    for (const char* yes : {"1", "yes", "true", "on"})
        if (v.compare(QLatin1String(yes), Qt::CaseInsensitive) == 0) return true;
    return false;
}

ConnectionString::ConnectionString(const QString& text) {
    if (isConnectionUri(text)) {
        for (auto& [key, value] : uriPairs(text)) pairs_.push_back({std::move(key), std::move(value)});
        return;
    }
    for (ConnectionStringPiece& p : scanConnectionString(text)) pairs_.push_back({std::move(p.key), std::move(p.value)});
}

// A key given twice takes its last value, as the drivers read a string.
std::optional<QString> ConnectionString::value(const QString& key) const {
    for (auto p = pairs_.rbegin(); p != pairs_.rend(); ++p)
        if (p->key.compare(key, Qt::CaseInsensitive) == 0) return p->value;
    return std::nullopt;
}

void ConnectionString::set(const QString& key, const QString& value) {
    bool found = false;
    for (auto& p : pairs_)
        if (p.key.compare(key, Qt::CaseInsensitive) == 0) {
            p.value = value;
            found = true;
        }
    if (found) return;
    pairs_.push_back({key, value});
}

void ConnectionString::remove(const QString& key) {
    std::erase_if(pairs_, [&](const Pair& p) { return p.key.compare(key, Qt::CaseInsensitive) == 0; });
}

QString ConnectionString::toString() const {
    QString out;
    for (const auto& p : pairs_) out += p.key + QLatin1Char('=') + quoteValue(p.value) + QLatin1Char(';');
    return out;
}

bool ConnectionString::isSqlite() const {
    const auto p = value(QStringLiteral("Provider"));
    return p && p->trimmed().compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0;
}

bool ConnectionString::wantsOdbc() const {
    const auto b = value(QStringLiteral("Backend"));
    return b && b->trimmed().compare(QLatin1String("ODBC"), Qt::CaseInsensitive) == 0;
}

QString ConnectionString::sqliteFile() const {
    if (auto v = value(QStringLiteral("Data Source"))) return *v;
    if (auto v = value(QStringLiteral("Database"))) return *v;
    return {};
}

QStringList passwordValues(const QString& connectionString) {
    if (isConnectionUri(connectionString)) return uriPasswords(connectionString);
    QStringList out;
    for (const ConnectionStringPiece& p : scanConnectionString(connectionString))
        if (isPasswordKey(p.key) && !p.value.isEmpty()) out << p.value;
    // values hidden inside a broken (unclosed) brace
    static const QRegularExpression loose(QStringLiteral("(?:^|[;{\\s])(?:pwd|password|tlskeypwd|sslpassword)\\s*=\\s*([^;}]*)"),
                                          QRegularExpression::CaseInsensitiveOption);
    for (auto it = loose.globalMatch(connectionString); it.hasNext();) {
        const QString v = it.next().captured(1).trimmed();
        if (!v.isEmpty() && !out.contains(v)) out << v;
    }
    return out;
}

QString maskPasswords(const QString& connectionString) {
    // Replace the raw value text of password keys, so everything else stays
    // exactly as written.
    if (isConnectionUri(connectionString)) return maskUriPassword(connectionString);
    QString out = connectionString;
    const auto pieces = scanConnectionString(connectionString);
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it)
        if (it->hasValue && isPasswordKey(it->key))
            out.replace(it->valueBegin, it->valueEnd - it->valueBegin, QStringLiteral("****"));
    // A password inside a broken string (an unclosed brace took the rest of
    // the text as one value) is masked wherever it stands.
    static const QRegularExpression loose(QStringLiteral("((?:^|[;{\\s])(?:pwd|password|tlskeypwd|sslpassword)\\s*=\\s*)([^;}]*)"),
                                          QRegularExpression::CaseInsensitiveOption);
    QString result;
    qsizetype last = 0;
    for (auto m = loose.globalMatch(out); m.hasNext();) {
        const auto match = m.next();
        if (match.captured(2) == QLatin1String("****") || match.captured(2).isEmpty()) continue;
        result += QStringView(out).mid(last, match.capturedEnd(1) - last);
        result += QStringLiteral("****");
        last = match.capturedEnd(2);
    }
    result += QStringView(out).mid(last);
    return result;
}

QString scrubSecrets(QString text, const QStringList& secrets) {
    // Very short secrets are left alone: replacing every "ab" in a message
    // would garble it while hiding next to nothing.
    for (const QString& s : secrets)
        if (s.size() >= 4) text.replace(s, QStringLiteral("****"));
    return text;
}

} // namespace db
