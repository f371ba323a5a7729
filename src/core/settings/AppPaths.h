#pragma once
// The application home: the folder holding config.ini, the resource database
// vsql.db, the demo database and the recovery journal.
//
// Chosen, in order, by the --home option, $SQLQE_HOME, the executable's
// folder when it holds a config.ini (a portable install), and finally
// $XDG_CONFIG_HOME/sql-query-editor (~/.config/sql-query-editor).
// What the home is seeded with is the store's business (HomeSeeding).

#include <QString>

class AppPaths {
public:
    // Resolves the home from an explicit --home value (may be empty) and the
    // environment, and makes it current.
    static QString resolve(const QString& homeOption, const QString& executableDir);
    static void set(const QString& dir);
    static QString home();
    // A file of the home; empty when no home is set.
    static QString file(const QString& name);
    static QString configFile() { return file(QStringLiteral("config.ini")); }
};
