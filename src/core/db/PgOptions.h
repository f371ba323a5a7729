#pragma once
// What the native PostgreSQL client makes of a connection string: the
// PostgreSQL ODBC driver's keys for the address and login (Server, Port,
// Database, Uid, Pwd, SSLmode, pqopt) and every libpq parameter by its own
// name (sslrootcert, sslcert, sslkey, sslcrl, service, passfile,
// application_name, …; any case) become libpq parameters. A key that is
// neither (another of the driver's options) sends the string to the ODBC
// driver, which knows it.
//
// What the string does not give, libpq takes from its own defaults: the PG*
// environment variables, a service= entry of pg_service.conf, and the
// password from ~/.pgpass (or passfile=) when the string has none.

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

namespace db {
class ConnectionString;
}

namespace db::pg {

using Parameters = std::vector<std::pair<QByteArray, QByteArray>>;

// The libpq parameters of a string, pqopt's first and the string's own keys
// over them; readOnly adds default_transaction_read_only to the session's
// options.
Parameters libpqParameters(const ConnectionString& cs, bool readOnly);

// True for a libpq parameter name (any case).
bool isLibpqKeyword(const QString& key);

// True for the keys the native client serves (see above), and the driver's
// tuning keys that mean nothing to it (UseDeclareFetch, Fetch, CommLog, Debug).
bool nativeClientServes(const QString& key);

// For the ODBC driver, which takes libpq parameters only inside pqopt: the
// string with each libpq-only key (sslrootcert, …) moved into pqopt.
ConnectionString withLibpqKeysInPqopt(ConnectionString cs);

} // namespace db::pg
