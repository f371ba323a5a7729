#pragma once
// The pages of the connection dialog, each field bound to its key of the
// connection string (ConnectionForm):
//  - server: host, port, database, user, password; the ODBC driver (for the
//    ODBC kind); TLS mode and files, in libpq's keys for PostgreSQL
//    (sslmode, sslrootcert, sslcert, sslkey) and the MariaDB driver's for
//    MariaDB/MySQL (FORCETLS, SSLVERIFY, SSLCA, SSLCERT, SSLKEY);
//  - SQLite: the database file;  ODBC data source: its name, user, password;
//  - SSH tunnel: jump host or alias, port, user, key file, ssh config file;
//  - safety: read-only, environment label and colour, the question before
//    a run that changes data.
// Every field is named (objectName) after its role: "server", "port",
// "database", "user", "password", "driver", "file", "dsn", "tlsMode",
// "tlsCa", "tlsCert", "tlsKey", "sshHost", "sshPort", "sshUser", "sshKey",
// "sshConfig", "readOnly", "environment", "environmentColor", "confirmChanges".

#include <QWidget>

class ConnectionForm;
class QComboBox;
class QGroupBox;

struct ServerPage {
    QWidget* page = nullptr;
    QWidget* driverRow = nullptr; // the driver's label and box: shown for the ODBC kind only
    QComboBox* drivers = nullptr;
    QGroupBox* postgresTls = nullptr;
    QGroupBox* mariaTls = nullptr;
};
ServerPage makeServerPage(QWidget* parent, ConnectionForm* form);

QWidget* makeSqlitePage(QWidget* parent, ConnectionForm* form);

struct DataSourcePage {
    QWidget* page = nullptr;
    QComboBox* dataSources = nullptr;
};
DataSourcePage makeDataSourcePage(QWidget* parent, ConnectionForm* form);

QWidget* makeSshPage(QWidget* parent, ConnectionForm* form);
QWidget* makeSafetyPage(QWidget* parent, ConnectionForm* form);
