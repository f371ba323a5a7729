#pragma once
// The keys of a connection string that are the editor's own, not a
// driver's: read here, and taken out before the string reaches a driver or
// a native client (as "Backend=ODBC" is). Kept in the string, they travel
// with saved connections, vsql.db and sqlqe-run --connect alike.
//
//   ReadOnly=1              the session refuses writes (the server's own read-only mode)
//   Environment=production  a label shown in the window's tab, caption and status bar
//   EnvironmentColor=#c62828   its colour (a #rrggbb value or a colour name)
//   ConfirmChanges=1        a run that may change data asks first; by default on
//                           for the label "production", off otherwise
//   SshHost=jump            reach the server through an SSH jump host (a name or an
//                           alias of ~/.ssh/config); SshPort, SshUser, SshKey (a key
//                           file; without it the agent and the usual keys), SshConfig
//                           (an ssh configuration file instead of ~/.ssh/config)

#include <QString>
#include <QStringList>

namespace db {

class ConnectionString;

struct SshJump {
    QString host; // empty: no tunnel
    int port = 0; // 0: ssh's own default (or the alias's)
    QString user;
    QString keyFile;
    QString configFile;
    bool isSet() const { return !host.isEmpty(); }
    bool operator==(const SshJump&) const = default;
};

struct ConnectionProfile {
    bool readOnly = false;
    QString environment;
    QString environmentColor;
    bool confirmChanges = false;
    SshJump ssh;

    static ConnectionProfile of(const ConnectionString& cs);
    static ConnectionProfile of(const QString& connectionString);
    // The editor's keys, as listed above.
    static const QStringList& keys();
    static bool isEditorKey(const QString& key);
};

// The string without the editor's keys (and Backend), for a driver.
ConnectionString withoutEditorKeys(ConnectionString cs);

} // namespace db
