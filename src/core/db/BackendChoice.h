#pragma once
// Which backend serves a connection string: native SQLite for
// "Provider=SQLite", the native PostgreSQL or MariaDB client for a string
// that names their ODBC driver, and the ODBC driver manager for the rest
// (DSNs, other drivers, "Backend=ODBC").
//
// A native client serves a string only when it reads every key in it; a
// key it does not read (one of the driver's own options) sends the string
// to the ODBC driver, which does. Keys are never dropped on the way.

#include "db/ServerFamily.h"

#include <QStringList>

namespace db {

class ConnectionString;

enum class Backend { Sqlite, NativePostgres, NativeMaria, Odbc };

struct BackendChoice {
    Backend backend = Backend::Odbc;
    ServerFamily family = ServerFamily::Other;
    // The keys that sent a string a native client serves to the ODBC driver
    // instead; empty otherwise.
    QStringList keysForDriver;
};

// cs: the string without the editor's keys (see ConnectionProfile);
// wantsOdbc: it said "Backend=ODBC".
BackendChoice chooseBackend(const ConnectionString& cs, bool wantsOdbc);

// A line for the user saying that the string goes to the ODBC driver and
// why; empty when it does not for such a reason.
QString backendNote(const BackendChoice& choice);

} // namespace db
