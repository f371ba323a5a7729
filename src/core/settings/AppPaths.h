#pragma once
// Where the editor keeps its files.
//
// In one folder, the application home, when one is given: the --home
// option, $SQLQE_HOME, or the executable's folder when it holds a
// config.ini (a portable install). Otherwise in the XDG base directories,
// each in a sql-query-editor folder:
//   config  $XDG_CONFIG_HOME (~/.config)        config.ini
//   data    $XDG_DATA_HOME (~/.local/share)     vsql.db (connections, history,
//                                               templates), the demo database
//   state   $XDG_STATE_HOME (~/.local/state)    the unsaved-work journal, the
//                                               external tools' working folder
// so a synced ~/.config carries settings, not history and scripts. A
// variable that is unset, empty or not an absolute path is ignored, as the
// XDG rules say. What the folders are seeded with is the store's business
// (HomeSeeding); moving an older single-folder home is HomeMove's.

#include <QString>

struct AppFolders {
    QString config;
    QString data;
    QString state;
    bool isOneFolder() const { return config == data && data == state; }
    bool operator==(const AppFolders&) const = default;
};

class AppPaths {
public:
    // Resolves the folders from an explicit --home value (may be empty) and
    // the environment, and makes them current.
    static AppFolders resolve(const QString& homeOption, const QString& executableDir);
    // The XDG folders as the environment gives them now.
    static AppFolders xdgFolders();
    // One folder for everything.
    static void set(const QString& dir);
    static void set(const AppFolders& folders);
    static AppFolders folders();

    // A file of the config, data or state folder; empty when none is set.
    static QString configFile() { return file(folders().config, QStringLiteral("config.ini")); }
    static QString dataFile(const QString& name) { return file(folders().data, name); }
    static QString stateFile(const QString& name) { return file(folders().state, name); }
    // Where external tools run and their relative file names point.
    static QString toolFolder() { return folders().state; }

    // The "Environment" part of the programs' --help: the variables above.
    static QString environmentHelp();

private:
    static QString file(const QString& dir, const QString& name);
};
