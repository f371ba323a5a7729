#pragma once
// The application home: the folder holding config.ini, the resource database
// vsql.db, the demo database and the recovery journal.
//
// Chosen, in order, by the --home option, $SQLQE_HOME, the executable's
// folder when it holds a config.ini (a portable install), and finally
// $XDG_CONFIG_HOME/sql-query-editor (~/.config/sql-query-editor).

#include <QString>
#include <QStringList>

class AppHome {
public:
    // Resolves the home from an explicit --home value (may be empty) and the
    // environment, and makes it current.
    static QString resolve(const QString& homeOption, const QString& executableDir);
    static void set(const QString& dir);
    static QString path();
    static QString file(const QString& name);

    // Creates the folder, config.ini, vsql.db and the demo database where they
    // are missing. Returns notices for the user (e.g. a damaged resource
    // database that was set aside); empty when there is nothing to tell.
    static QStringList ensureSeeded();

    static QString demoDatabaseFile() { return file(QStringLiteral("demo.db")); }
    static QString demoConnectionString();
    static QString demoConnectionName() { return QStringLiteral("Demo (SQLite)"); }

    // The content of a new config.ini.
    static QByteArray defaultConfig();
};
