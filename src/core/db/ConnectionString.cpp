#include "db/ConnectionString.h"

namespace db {
namespace {

bool isPasswordKey(const QString& key) {
    return key.compare(QLatin1String("PWD"), Qt::CaseInsensitive) == 0 ||
           key.compare(QLatin1String("Password"), Qt::CaseInsensitive) == 0;
}

bool needsBraces(const QString& value) {
    return value.contains(QLatin1Char(';')) || value.startsWith(QLatin1Char('{')) ||
           value != value.trimmed();
}

} // namespace

ConnectionString::ConnectionString(const QString& text) {
    const int n = int(text.size());
    int i = 0;
    while (i < n) {
        // key up to '='
        int eq = int(text.indexOf(QLatin1Char('='), i));
        int semi = int(text.indexOf(QLatin1Char(';'), i));
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            // a fragment without '=': keep it as a key with an empty value
            const int end = semi < 0 ? n : semi;
            const QString k = text.mid(i, end - i).trimmed();
            if (!k.isEmpty()) pairs_.push_back({k, QString()});
            i = end + 1;
            continue;
        }
        const QString key = text.mid(i, eq - i).trimmed();
        int j = eq + 1;
        while (j < n && text[j] == QLatin1Char(' ')) ++j;
        QString value;
        if (j < n && text[j] == QLatin1Char('{')) {
            // braced value: '}}' inside stands for one '}'
            ++j;
            while (j < n) {
                if (text[j] == QLatin1Char('}')) {
                    if (j + 1 < n && text[j + 1] == QLatin1Char('}')) {
                        value += QLatin1Char('}');
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value += text[j++];
            }
            const int end = int(text.indexOf(QLatin1Char(';'), j));
            i = end < 0 ? n : end + 1;
        } else {
            const int end = int(text.indexOf(QLatin1Char(';'), j));
            value = text.mid(j, (end < 0 ? n : end) - j).trimmed();
            i = end < 0 ? n : end + 1;
        }
        if (!key.isEmpty()) pairs_.push_back({key, value});
    }
}

std::optional<QString> ConnectionString::value(const QString& key) const {
    for (const auto& p : pairs_)
        if (p.key.compare(key, Qt::CaseInsensitive) == 0) return p.value;
    return std::nullopt;
}

void ConnectionString::set(const QString& key, const QString& value) {
    for (auto& p : pairs_)
        if (p.key.compare(key, Qt::CaseInsensitive) == 0) {
            p.value = value;
            return;
        }
    pairs_.push_back({key, value});
}

void ConnectionString::remove(const QString& key) {
    std::erase_if(pairs_, [&](const Pair& p) { return p.key.compare(key, Qt::CaseInsensitive) == 0; });
}

QString ConnectionString::toString() const {
    QString out;
    for (const auto& p : pairs_) {
        out += p.key;
        out += QLatin1Char('=');
        if (needsBraces(p.value)) {
            QString v = p.value;
            v.replace(QLatin1String("}"), QLatin1String("}}"));
            out += QLatin1Char('{') + v + QLatin1Char('}');
        } else {
            out += p.value;
        }
        out += QLatin1Char(';');
    }
    return out;
}

bool ConnectionString::isSqlite() const {
    const auto p = value(QStringLiteral("Provider"));
    return p && p->trimmed().compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0;
}

QString ConnectionString::sqliteFile() const {
    if (auto v = value(QStringLiteral("Data Source"))) return *v;
    if (auto v = value(QStringLiteral("Database"))) return *v;
    return {};
}

QStringList passwordValues(const QString& connectionString) {
    QStringList out;
    const ConnectionString cs(connectionString);
    for (const QString& k : {QStringLiteral("PWD"), QStringLiteral("Password")})
        if (auto v = cs.value(k); v && !v->isEmpty()) out << *v;
    return out;
}

QString maskPasswords(const QString& connectionString) {
    // Work on the raw text so everything else stays exactly as written.
    QString out;
    const int n = int(connectionString.size());
    int i = 0;
    while (i < n) {
        const int eq = int(connectionString.indexOf(QLatin1Char('='), i));
        const int semi = int(connectionString.indexOf(QLatin1Char(';'), i));
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            const int end = semi < 0 ? n : semi + 1;
            out += connectionString.mid(i, end - i);
            i = end;
            continue;
        }
        const QString key = connectionString.mid(i, eq - i);
        out += connectionString.mid(i, eq + 1 - i);
        int j = eq + 1;
        // find the end of the value, honouring braces
        int k = j;
        while (k < n && connectionString[k] == QLatin1Char(' ')) ++k;
        int end;
        if (k < n && connectionString[k] == QLatin1Char('{')) {
            int m = k + 1;
            while (m < n) {
                if (connectionString[m] == QLatin1Char('}')) {
                    if (m + 1 < n && connectionString[m + 1] == QLatin1Char('}')) {
                        m += 2;
                        continue;
                    }
                    ++m;
                    break;
                }
                ++m;
            }
            end = int(connectionString.indexOf(QLatin1Char(';'), m));
        } else {
            end = int(connectionString.indexOf(QLatin1Char(';'), j));
        }
        if (end < 0) end = n;
        if (isPasswordKey(key.trimmed()))
            out += QStringLiteral("****");
        else
            out += connectionString.mid(j, end - j);
        if (end < n) out += QLatin1Char(';');
        i = end + 1;
    }
    return out;
}

QString scrubSecrets(QString text, const QStringList& secrets) {
    // Very short secrets are left alone: replacing every "ab" in a message
    // would garble it while hiding next to nothing.
    for (const QString& s : secrets)
        if (s.size() >= 4) text.replace(s, QStringLiteral("****"));
    return text;
}

} // namespace db
