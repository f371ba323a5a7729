#include "db/MariaOptions.h"

#include "db/ClientLibraries.h"
#include "db/ConnectionString.h"

namespace db::maria {
namespace {

bool is(const QString& key, const char* name) {
    return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

QByteArray text(const ConnectionString& cs, std::initializer_list<const char*> keys) {
    for (const char* k : keys)
        if (const auto v = cs.value(QLatin1String(k)); v && !v->isEmpty()) return v->toUtf8();
    return {};
}

// The driver's TLSVERSION: a bit mask (1 TLSv1.1, 2 TLSv1.2, 4 TLSv1.3) or
// the versions by name, as Connector/C takes them.
QByteArray tlsVersions(const QString& value) {
    bool number = false;
    const int bits = value.trimmed().toInt(&number);
    if (!number) return value.trimmed().toUtf8();
    QByteArrayList names;
    if (bits & 1) names << "TLSv1.1";
    if (bits & 2) names << "TLSv1.2";
    if (bits & 4) names << "TLSv1.3";
    return names.join(',');
}

// The keys of the address, the login and TLS, and the driver's options that
// mean nothing to the native client (result caching, its own option-file flag).
const char* const kServed[] = {
    "Driver",    "Server",     "Host",        "Port",          "Database", "DB",         "Uid",
    "User",      "Pwd",        "Password",    "Socket",        "OPTION",   "OPTIONS",    "SSLCA",
    "SSLCAPATH", "SSLCERT",    "SSLKEY",      "SSLCIPHER",     "SSLCRL",   "SSLCRLPATH", "SSLVERIFY",
    "FORCETLS",  "TLSVERSION", "TLSPEERFP",   "TLSPEERFPLIST", "SSLFP",    "SSLFPLIST",  "TLSKEYPWD",
    "NO_CACHE",  "USE_MYCNF",  "Description",
};

// The client option names that are connection keys one to one.
const std::pair<const char*, const char*> kClientOptions[] = {
    {"host", "Server"},
    {"port", "Port"},
    {"user", "Uid"},
    {"password", "Pwd"},
    {"database", "Database"},
    {"socket", "Socket"},
    {"ssl_ca", "SSLCA"},
    {"ssl_capath", "SSLCAPATH"},
    {"ssl_cert", "SSLCERT"},
    {"ssl_key", "SSLKEY"},
    {"ssl_cipher", "SSLCIPHER"},
    {"ssl_crl", "SSLCRL"},
    {"ssl_crlpath", "SSLCRLPATH"},
    {"tls_version", "TLSVERSION"},
    {"ssl_fp", "TLSPEERFP"},
    {"ssl_fp_list", "TLSPEERFPLIST"},
    {"ssl_fplist", "TLSPEERFPLIST"},
    {"ssl_passphrase", "TLSKEYPWD"},
    {"tls_ca", "SSLCA"},
    {"tls_capath", "SSLCAPATH"},
    {"tls_cert", "SSLCERT"},
    {"tls_key", "SSLKEY"},
    {"tls_cipher", "SSLCIPHER"},
    {"tls_crl", "SSLCRL"},
    {"tls_crlpath", "SSLCRLPATH"},
    {"tls_fp", "TLSPEERFP"},
    {"tls_fplist", "TLSPEERFPLIST"},
    {"tls_passphrase", "TLSKEYPWD"},
};

} // namespace

Tls tlsOf(const ConnectionString& cs) {
    Tls t;
    t.ca = text(cs, {"SSLCA"});
    t.caPath = text(cs, {"SSLCAPATH"});
    t.cert = text(cs, {"SSLCERT"});
    t.key = text(cs, {"SSLKEY"});
    t.cipher = text(cs, {"SSLCIPHER"});
    t.crl = text(cs, {"SSLCRL"});
    t.crlPath = text(cs, {"SSLCRLPATH"});
    t.peerFp = text(cs, {"TLSPEERFP", "SSLFP"});
    t.peerFpList = text(cs, {"TLSPEERFPLIST", "SSLFPLIST"});
    t.passphrase = text(cs, {"TLSKEYPWD"});
    if (const auto v = cs.value(QStringLiteral("TLSVERSION")); v && !v->trimmed().isEmpty())
        t.version = tlsVersions(*v);
    t.enforce = isTrueValue(cs.value(QStringLiteral("FORCETLS")).value_or(QString()));
    t.verifyServer = isTrueValue(cs.value(QStringLiteral("SSLVERIFY")).value_or(QString()));
    return t;
}

void applyTls(MYSQL* m, const Tls& t) {
    const std::pair<mysql_option, const QByteArray*> files[] = {
        {MYSQL_OPT_SSL_CA, &t.ca},
        {MYSQL_OPT_SSL_CAPATH, &t.caPath},
        {MYSQL_OPT_SSL_CERT, &t.cert},
        {MYSQL_OPT_SSL_KEY, &t.key},
        {MYSQL_OPT_SSL_CIPHER, &t.cipher},
        {MYSQL_OPT_SSL_CRL, &t.crl},
        {MYSQL_OPT_SSL_CRLPATH, &t.crlPath},
        {MARIADB_OPT_TLS_VERSION, &t.version},
        {MARIADB_OPT_TLS_PEER_FP, &t.peerFp},
        {MARIADB_OPT_TLS_PEER_FP_LIST, &t.peerFpList},
        {MARIADB_OPT_TLS_PASSPHRASE, &t.passphrase},
    };
    for (const auto& [option, value] : files)
        if (!value->isEmpty()) my().mysql_optionsv(m, option, value->constData());
    const my_bool yes = 1;
    if (t.required()) my().mysql_optionsv(m, MYSQL_OPT_SSL_ENFORCE, &yes);
    if (t.verifyServer) my().mysql_optionsv(m, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &yes);
}

bool nativeClientServes(const QString& key) {
    for (const char* k : kServed)
        if (is(key, k)) return true;
    return false;
}

std::optional<std::vector<std::pair<QString, QString>>> keysForClientOption(const QString& name,
                                                                            const QString& value) {
    QString option = name.trimmed().toLower();
    option.replace(QLatin1Char('-'), QLatin1Char('_'));
    for (const auto& [clientName, key] : kClientOptions)
        if (option == QLatin1String(clientName))
            return std::vector<std::pair<QString, QString>>{{key, value}};
    const QString one = QStringLiteral("1");
    // flags: given without a value they mean yes
    if (option == QLatin1String("ssl_verify_server_cert") || option == QLatin1String("tls_verify_peer"))
        return std::vector<std::pair<QString, QString>>{
            {QStringLiteral("SSLVERIFY"), value.isEmpty() ? one : value}};
    if (option == QLatin1String("ssl_enforce") || option == QLatin1String("tls_enforce"))
        return std::vector<std::pair<QString, QString>>{
            {QStringLiteral("FORCETLS"), value.isEmpty() ? one : value}};
    if (option == QLatin1String("ssl_mode")) {
        const QString mode = value.trimmed().toUpper();
        std::vector<std::pair<QString, QString>> keys;
        if (mode == QLatin1String("REQUIRED") || mode.startsWith(QLatin1String("VERIFY")))
            keys.emplace_back(QStringLiteral("FORCETLS"), one);
        if (mode.startsWith(QLatin1String("VERIFY"))) keys.emplace_back(QStringLiteral("SSLVERIFY"), one);
        return keys;
    }
    return std::nullopt;
}

} // namespace db::maria
