#pragma once
// Reads the ODBC data source and driver files (odbc.ini, odbcinst.ini; the
// user's and the system's, as the driver manager finds them), for what a
// connection string leaves to its DSN.

#include <QString>

namespace db::odbc {

// A key of the data source's section in odbc.ini; empty when not set.
QString dataSourceValue(const QString& dsn, const char* key);
// A key of the driver's section in odbcinst.ini; empty when not set.
QString driverValue(const QString& driver, const char* key);

} // namespace db::odbc
