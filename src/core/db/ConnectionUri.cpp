#include "db/ConnectionUri.h"

#include "db/ConnectionProfile.h"
#include "db/MariaOptions.h"

#include <QUrl>

namespace db {
namespace {

enum class Scheme { None, Postgres, MySql, Sqlite, File };

struct Prefix {
    const char* text;
    Scheme scheme;
};
const Prefix kPrefixes[] = {{"postgresql://", Scheme::Postgres}, {"postgres://", Scheme::Postgres},
                            {"mysql://", Scheme::MySql},         {"mariadb://", Scheme::MySql},
                            {"sqlite:", Scheme::Sqlite},         {"file:", Scheme::File}};

// The scheme of the text and where the rest begins.
Scheme schemeOf(const QString& text, qsizetype* rest) {
    qsizetype lead = 0;
    while (lead < text.size() && text.at(lead).isSpace())
        ++lead;
    for (const Prefix& p : kPrefixes)
        if (QStringView(text).mid(lead).startsWith(QLatin1String(p.text), Qt::CaseInsensitive)) {
            *rest = lead + qsizetype(qstrlen(p.text));
            return p.scheme;
        }
    return Scheme::None;
}

QString decoded(QStringView part) {
    return QUrl::fromPercentEncoding(part.toUtf8());
}

// The pieces of "[user[:password]@]hosts[/path][?query]" with the ranges of
// the password, for masking.
struct Authority {
    QString user, password, hosts, path, query;
    bool hasPassword = false;
    qsizetype passwordBegin = 0, passwordEnd = 0; // in the whole text
};

Authority splitServerUri(const QString& t, qsizetype from) {
    Authority a;
    qsizetype end = t.size();
    while (end > from && t.at(end - 1).isSpace())
        --end;
    const qsizetype q = t.indexOf(QLatin1Char('?'), from);
    const qsizetype mainEnd = q >= 0 && q < end ? q : end;
    if (q >= 0 && q < end) a.query = t.mid(q + 1, end - q - 1);
    const qsizetype slash = t.indexOf(QLatin1Char('/'), from);
    const qsizetype authEnd = slash >= 0 && slash < mainEnd ? slash : mainEnd;
    if (authEnd < mainEnd) a.path = t.mid(authEnd + 1, mainEnd - authEnd - 1);
    const qsizetype at = t.lastIndexOf(QLatin1Char('@'), authEnd - 1);
    qsizetype hostBegin = from;
    if (at >= from) {
        const qsizetype colon = t.indexOf(QLatin1Char(':'), from);
        if (colon >= 0 && colon < at) {
            a.user = t.mid(from, colon - from);
            a.password = t.mid(colon + 1, at - colon - 1);
            a.hasPassword = true;
            a.passwordBegin = colon + 1;
            a.passwordEnd = at;
        } else {
            a.user = t.mid(from, at - from);
        }
        hostBegin = at + 1;
    }
    a.hosts = t.mid(hostBegin, authEnd - hostBegin);
    return a;
}

// "host:port" pieces of a comma-separated host list (IPv6 hosts in brackets).
void splitHosts(const QString& hosts, QStringList* names, QStringList* ports) {
    for (const QString& h : hosts.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        QString name = h, port;
        if (h.startsWith(QLatin1Char('['))) {
            const qsizetype close = h.indexOf(QLatin1Char(']'));
            name = close > 0 ? h.mid(1, close - 1) : h.mid(1);
            if (close > 0 && h.mid(close + 1).startsWith(QLatin1Char(':'))) port = h.mid(close + 2);
        } else if (const qsizetype colon = h.lastIndexOf(QLatin1Char(':')); colon >= 0) {
            name = h.left(colon);
            port = h.mid(colon + 1);
        }
        *names << decoded(name);
        *ports << port;
    }
}

using Pairs = std::vector<std::pair<QString, QString>>;

void put(Pairs& out, const QString& key, const QString& value) {
    for (auto& p : out)
        if (p.first.compare(key, Qt::CaseInsensitive) == 0) {
            p.second = value;
            return;
        }
    out.emplace_back(key, value);
}

// The editor's key for a PostgreSQL URI's query key (libpq's own names
// for the parts before the '?').
QString postgresKey(const QString& key) {
    static const std::pair<const char*, const char*> parts[] = {
        {"host", "Server"}, {"port", "Port"}, {"dbname", "Database"}, {"user", "Uid"}, {"password", "Pwd"}};
    for (const auto& [uriKey, ours] : parts)
        if (key.compare(QLatin1String(uriKey), Qt::CaseInsensitive) == 0) return QLatin1String(ours);
    return key;
}

void readQuery(Pairs& out, const QString& query, Scheme scheme) {
    for (const QString& item : query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const qsizetype eq = item.indexOf(QLatin1Char('='));
        const QString key = decoded(eq < 0 ? QStringView(item) : QStringView(item).left(eq));
        const QString value = eq < 0 ? QString() : decoded(QStringView(item).mid(eq + 1));
        if (scheme == Scheme::Postgres) {
            put(out, postgresKey(key), value);
            continue;
        }
        const auto mapped = maria::keysForClientOption(key, value);
        if (!mapped) {
            put(out, key, value);
            continue;
        }
        for (const auto& [k, v] : *mapped)
            put(out, k, v);
    }
}

Pairs serverPairs(const QString& text, qsizetype from, Scheme scheme) {
    const Authority a = splitServerUri(text, from);
    Pairs out;
    out.emplace_back(QStringLiteral("Driver"), scheme == Scheme::Postgres
                                                   ? QStringLiteral("PostgreSQL Unicode")
                                                   : QStringLiteral("MariaDB Unicode"));
    QStringList hosts, ports;
    splitHosts(a.hosts, &hosts, &ports);
    if (!hosts.join(QString()).isEmpty())
        out.emplace_back(QStringLiteral("Server"), hosts.join(QLatin1Char(',')));
    if (!ports.join(QString()).isEmpty())
        out.emplace_back(QStringLiteral("Port"), ports.join(QLatin1Char(',')));
    if (!a.path.isEmpty()) out.emplace_back(QStringLiteral("Database"), decoded(a.path));
    if (!a.user.isEmpty()) out.emplace_back(QStringLiteral("Uid"), decoded(a.user));
    if (a.hasPassword) out.emplace_back(QStringLiteral("Pwd"), decoded(a.password));
    readQuery(out, a.query, scheme);
    return out;
}

// Whether a SQLite URI query opens the file without writing.
bool readsOnly(const QString& query) {
    for (const QString& item : query.split(QLatin1Char('&'), Qt::SkipEmptyParts))
        if (item.compare(QLatin1String("mode=ro"), Qt::CaseInsensitive) == 0 ||
            item.compare(QLatin1String("immutable=1"), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// The editor's own keys in a SQLite URI's query (ReadOnly=1, Environment=…)
// are taken out into pairs; SQLite would ignore them without a word.
QString takeEditorKeys(const QString& query, Pairs& out) {
    QStringList kept;
    for (const QString& item : query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const qsizetype eq = item.indexOf(QLatin1Char('='));
        const QString key = decoded(eq < 0 ? QStringView(item) : QStringView(item).left(eq));
        if (ConnectionProfile::isEditorKey(key) || key.compare(QLatin1String("Backend"), Qt::CaseInsensitive) == 0)
            out.emplace_back(key, eq < 0 ? QString() : decoded(QStringView(item).mid(eq + 1)));
        else
            kept << item;
    }
    return kept.join(QLatin1Char('&'));
}

Pairs sqlitePairs(const QString& text, qsizetype from, Scheme scheme) {
    QString rest = text.mid(from).trimmed();
    qsizetype q = rest.indexOf(QLatin1Char('?'));
    Pairs editorKeys;
    QString query = q >= 0 ? takeEditorKeys(rest.mid(q + 1), editorKeys) : QString();
    if (q >= 0) {
        rest = query.isEmpty() ? rest.left(q) : rest.left(q + 1) + query;
        if (query.isEmpty()) q = -1;
    }
    Pairs out{{QStringLiteral("Provider"), QStringLiteral("SQLite")}};
    if (scheme == Scheme::File) {
        out.emplace_back(QStringLiteral("Data Source"),
                         QStringLiteral("file:") + rest); // SQLite reads it whole
    } else {
        QString path = q >= 0 ? rest.left(q) : rest;
        if (path.startsWith(QLatin1String("//")))
            path = path.mid(2); // sqlite:///abs → /abs, sqlite://rel → rel
        while (path.startsWith(QLatin1String("//")))
            path = path.mid(1);
        out.emplace_back(QStringLiteral("Data Source"),
                         q >= 0 ? QStringLiteral("file:") + path + QLatin1Char('?') + query : decoded(path));
    }
    if (readsOnly(query)) out.emplace_back(QStringLiteral("ReadOnly"), QStringLiteral("1"));
    out.insert(out.end(), editorKeys.begin(), editorKeys.end());
    return out;
}

} // namespace

bool isConnectionUri(const QString& text) {
    qsizetype rest = 0;
    return schemeOf(text, &rest) != Scheme::None;
}

std::vector<std::pair<QString, QString>> uriPairs(const QString& uri) {
    qsizetype rest = 0;
    switch (const Scheme s = schemeOf(uri, &rest)) {
    case Scheme::Postgres:
    case Scheme::MySql:
        return serverPairs(uri, rest, s);
    case Scheme::Sqlite:
    case Scheme::File:
        return sqlitePairs(uri, rest, s);
    case Scheme::None:
        break;
    }
    return {};
}

QString maskUriPassword(const QString& uri) {
    qsizetype rest = 0;
    const Scheme s = schemeOf(uri, &rest);
    QString out = uri;
    if (s == Scheme::Postgres || s == Scheme::MySql) {
        const Authority a = splitServerUri(uri, rest);
        if (a.hasPassword && a.passwordEnd > a.passwordBegin)
            out.replace(a.passwordBegin, a.passwordEnd - a.passwordBegin, QStringLiteral("****"));
    }
    // password=… in the query, wherever it stands
    const qsizetype q = out.indexOf(QLatin1Char('?'));
    if (q < 0) return out;
    QStringList items = out.mid(q + 1).split(QLatin1Char('&'));
    for (QString& item : items)
        if (item.startsWith(QLatin1String("password="), Qt::CaseInsensitive) && item.size() > 9)
            item = item.left(9) + QStringLiteral("****");
    return out.left(q + 1) + items.join(QLatin1Char('&'));
}

QStringList uriPasswords(const QString& uri) {
    QStringList out;
    qsizetype rest = 0;
    const Scheme s = schemeOf(uri, &rest);
    auto add = [&](const QString& raw) {
        for (const QString& v : {raw, decoded(raw)})
            if (!v.isEmpty() && !out.contains(v)) out << v;
    };
    if (s == Scheme::Postgres || s == Scheme::MySql) {
        const Authority a = splitServerUri(uri, rest);
        if (a.hasPassword) add(a.password);
        for (const QString& item : a.query.split(QLatin1Char('&')))
            if (item.startsWith(QLatin1String("password="), Qt::CaseInsensitive)) add(item.mid(9));
    }
    return out;
}

} // namespace db
