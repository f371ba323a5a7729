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

#include "db/ServerFamily.h"
#include "net/SshTunnel.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace db {

class ConnectionString;

struct ConnectionProfile {
    bool readOnly = false;
    QString environment;
    QString environmentColor;
    bool confirmChanges = false;
    net::SshJump ssh;

    static ConnectionProfile of(const ConnectionString& cs);
    static ConnectionProfile of(const QString& connectionString);
    // The editor's keys, as listed above.
    static const QStringList& keys();
    static bool isEditorKey(const QString& key);
};

// The string without the editor's keys (and Backend), for a driver.
ConnectionString withoutEditorKeys(ConnectionString cs);

// The server a tunnel through the profile's jump host leads to: the
// string's host (Server, Host or Servername) and port (the family's usual
// one when it gives none). A failure for a string without a server of its
// own (a DSN, a SQLite file).
Result<net::TunnelTarget> tunnelTarget(const ConnectionString& cs, const net::SshJump& jump, ServerFamily family);
// The string pointed at the tunnel's local end.
ConnectionString throughTunnel(ConnectionString cs, int localPort);
// For a document connected through a jump host: keeps the string's tunnel
// running between its connections (once one started it) while the hold
// lives. Null for a string without SshHost.
std::shared_ptr<void> holdTunnel(const QString& connectionString);

} // namespace db
