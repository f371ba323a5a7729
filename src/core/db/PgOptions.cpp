#include "db/PgOptions.h"

#include "db/ClientLibraries.h"
#include "db/ConnectionString.h"

namespace db::pg {
namespace {

// libpq's parameters (those of libpq 15 and the few later ones, which an
// older libpq refuses by name rather than ignoring).
const char* const kLibpqKeywords[] = {
    "host",
    "hostaddr",
    "port",
    "dbname",
    "user",
    "password",
    "passfile",
    "channel_binding",
    "connect_timeout",
    "client_encoding",
    "options",
    "application_name",
    "fallback_application_name",
    "keepalives",
    "keepalives_idle",
    "keepalives_interval",
    "keepalives_count",
    "tcp_user_timeout",
    "replication",
    "gssencmode",
    "sslmode",
    "sslcompression",
    "sslcert",
    "sslkey",
    "sslpassword",
    "sslrootcert",
    "sslcrl",
    "sslcrldir",
    "sslsni",
    "requirepeer",
    "ssl_min_protocol_version",
    "ssl_max_protocol_version",
    "krbsrvname",
    "gsslib",
    "service",
    "target_session_attrs",
    "load_balance_hosts",
    "sslcertmode",
    "require_auth",
    "gssdelegation",
};

// The ODBC driver's names for libpq's parameters.
struct Alias {
    const char* libpq;
    std::initializer_list<const char*> odbc;
};
const Alias kAliases[] = {
    {"host", {"Server", "Servername"}},
    {"dbname", {"Database", "DB"}},
    {"user", {"Uid", "UserName"}},
    {"password", {"Pwd"}},
};

// Keys of the driver that mean nothing to the native client.
const char* const kIgnored[] = {"Driver",  "pqopt", "UseDeclareFetch", "Fetch",
                                "CommLog", "Debug", "Description"};

bool is(const QString& key, const char* name) {
    return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// A value as libpq's key=value syntax needs it: in quotes, with \ and ' escaped.
QString conninfoValue(const QString& value) {
    QString v = value;
    v.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + v + QLatin1Char('\'');
}

void put(Parameters& out, const QByteArray& key, const QByteArray& value) {
    for (auto& [k, v] : out)
        if (k == key) {
            v = value;
            return;
        }
    out.emplace_back(key, value);
}

} // namespace

bool isLibpqKeyword(const QString& key) {
    for (const char* k : kLibpqKeywords)
        if (is(key, k)) return true;
    return false;
}

bool nativeClientServes(const QString& key) {
    if (isLibpqKeyword(key)) return true;
    for (const Alias& a : kAliases)
        for (const char* name : a.odbc)
            if (is(key, name)) return true;
    for (const char* k : kIgnored)
        if (is(key, k)) return true;
    return false;
}

Parameters libpqParameters(const ConnectionString& cs, bool readOnly) {
    Parameters out;
    // the driver's "pqopt" passes libpq parameters through
    if (const auto pqopt = cs.value(QStringLiteral("pqopt")); pqopt && !pqopt->trimmed().isEmpty()) {
        char* error = nullptr;
        if (PQconninfoOption* parsed = pq().PQconninfoParse(pqopt->toUtf8().constData(), &error)) {
            for (PQconninfoOption* o = parsed; o->keyword; ++o)
                if (o->val) put(out, o->keyword, o->val);
            pq().PQconninfoFree(parsed);
        }
        pq().PQfreemem(error);
    }
    for (const Alias& a : kAliases)
        for (const char* name : a.odbc)
            if (const auto v = cs.value(QLatin1String(name))) {
                put(out, a.libpq, v->toUtf8());
                break;
            }
    // libpq's own names last: a key written as libpq names it is meant as such
    for (const char* k : kLibpqKeywords)
        if (const auto v = cs.value(QLatin1String(k))) put(out, k, v->toUtf8());
    if (readOnly) {
        QByteArray options;
        for (const auto& [k, v] : out)
            if (k == "options") options = v + ' ';
        put(out, "options", options + "-c default_transaction_read_only=on");
    }
    return out;
}

ConnectionString withLibpqKeysInPqopt(ConnectionString cs) {
    // the driver itself reads these under its own names
    static const char* const driverReads[] = {"host", "port", "dbname", "user", "password", "sslmode"};
    QString pqopt = cs.value(QStringLiteral("pqopt")).value_or(QString()).trimmed();
    for (const ConnectionStringPiece& p : scanConnectionString(cs.toString())) {
        if (!isLibpqKeyword(p.key) || !cs.has(p.key) || // a key given twice went in with its last value
            std::any_of(std::begin(driverReads), std::end(driverReads),
                        [&](const char* d) { return is(p.key, d); }))
            continue;
        const QString value = cs.value(p.key).value_or(QString()); // the last, as the driver would read it
        pqopt += (pqopt.isEmpty() ? QString() : QStringLiteral(" ")) + p.key.toLower() + QLatin1Char('=') +
                 conninfoValue(value);
        cs.remove(p.key);
    }
    if (!pqopt.isEmpty()) cs.set(QStringLiteral("pqopt"), pqopt);
    return cs;
}

} // namespace db::pg
