#pragma once
// What the native MariaDB (MySQL) client makes of a connection string: the
// keys of the MariaDB ODBC driver it serves, the TLS keys as Connector/C
// options, and the mariadb client's own option names (as ~/.my.cnf and
// mysql:// URIs write them) as connection keys.
//
// TLS keys (the ODBC driver's names, any case):
//   SSLCA, SSLCAPATH, SSLCERT, SSLKEY, SSLCIPHER, SSLCRL, SSLCRLPATH  files and ciphers
//   TLSVERSION   "TLSv1.2,TLSv1.3", or the driver's bit mask (1 v1.1, 2 v1.2, 4 v1.3)
//   TLSPEERFP / SSLFP, TLSPEERFPLIST / SSLFPLIST   the server certificate's fingerprint(s)
//   TLSKEYPWD    the passphrase of an encrypted SSLKEY (a secret, masked like a password)
//   FORCETLS=1   TLS or no connection; SSLVERIFY=1 also checks the server's certificate
// Connector/C refuses a server without TLS only when it verifies the
// certificate; a connection that was told to use TLS and has no cipher is
// refused by MariaConnection itself (tlsRequired()).

#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

struct st_mysql;

namespace db {
class ConnectionString;
}

namespace db::maria {

struct Tls {
    QByteArray ca, caPath, cert, key, cipher, crl, crlPath, version, peerFp, peerFpList, passphrase;
    bool enforce = false;      // FORCETLS
    bool verifyServer = false; // SSLVERIFY
    // Whether the session must be encrypted: anything else is refused.
    bool required() const { return enforce || verifyServer || !peerFp.isEmpty() || !peerFpList.isEmpty(); }
};

// The TLS settings a string asks for.
Tls tlsOf(const ConnectionString& cs);
// Sets them on a handle before it connects.
void applyTls(st_mysql* mysql, const Tls& tls);

// True for the keys of a MariaDB/MySQL ODBC string that the native client
// serves (the server's address and login, TLS, OPTION, and driver tuning
// that has no meaning for it). A string with any other key goes to the
// ODBC driver.
bool nativeClientServes(const QString& key);

// The connection keys for a mariadb client option: host, port, user,
// password, database, socket, ssl-ca, ssl-capath, ssl-cert, ssl-key,
// ssl-cipher, ssl-crl, ssl-crlpath, ssl-verify-server-cert, tls-version and
// ssl-mode (REQUIRED gives FORCETLS=1, VERIFY_CA and VERIFY_IDENTITY add
// SSLVERIFY=1); '-' and '_' alike. nullopt for an option without a key.
std::optional<std::vector<std::pair<QString, QString>>> keysForClientOption(const QString& name,
                                                                            const QString& value);

} // namespace db::maria
