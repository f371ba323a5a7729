#include "db/ConnectionProfile.h"

#include "db/ConnectionString.h"

namespace db {

const QStringList& ConnectionProfile::keys() {
    static const QStringList k{
        QStringLiteral("ReadOnly"),       QStringLiteral("Environment"), QStringLiteral("EnvironmentColor"),
        QStringLiteral("ConfirmChanges"), QStringLiteral("SshHost"),     QStringLiteral("SshPort"),
        QStringLiteral("SshUser"),        QStringLiteral("SshKey"),      QStringLiteral("SshConfig")};
    return k;
}

bool ConnectionProfile::isEditorKey(const QString& key) {
    return keys().contains(key.trimmed(), Qt::CaseInsensitive);
}

ConnectionProfile ConnectionProfile::of(const ConnectionString& cs) {
    auto text = [&](const char* key) { return cs.value(QLatin1String(key)).value_or(QString()).trimmed(); };
    ConnectionProfile p;
    p.readOnly = isTrueValue(text("ReadOnly"));
    p.environment = text("Environment");
    p.environmentColor = text("EnvironmentColor");
    const auto confirm = cs.value(QStringLiteral("ConfirmChanges"));
    p.confirmChanges = confirm && !confirm->trimmed().isEmpty()
                           ? isTrueValue(*confirm)
                           : p.environment.compare(QLatin1String("production"), Qt::CaseInsensitive) == 0;
    p.ssh.host = text("SshHost");
    p.ssh.port = text("SshPort").toInt();
    p.ssh.user = text("SshUser");
    p.ssh.keyFile = text("SshKey");
    p.ssh.configFile = text("SshConfig");
    return p;
}

ConnectionProfile ConnectionProfile::of(const QString& connectionString) {
    return of(ConnectionString(connectionString));
}

ConnectionString withoutEditorKeys(ConnectionString cs) {
    for (const QString& k : ConnectionProfile::keys())
        cs.remove(k);
    cs.remove(QStringLiteral("Backend"));
    return cs;
}

} // namespace db

namespace db {
namespace {
const char* const kHostKeys[] = {"Server", "Host", "Servername"};
}

Result<net::TunnelTarget> tunnelTarget(const ConnectionString& cs, const net::SshJump& jump, ServerFamily family) {
    net::TunnelTarget t{jump, {}, 0};
    for (const char* k : kHostKeys)
        if (const auto v = cs.value(QLatin1String(k)); v && !v->trimmed().isEmpty()) {
            t.host = v->trimmed();
            break;
        }
    if (t.host.isEmpty() || cs.isSqlite())
        return fail(QStringLiteral("An SSH jump host needs the server in the connection string itself (Server=…); "
                                   "this string names none."));
    t.port = cs.value(QStringLiteral("Port")).value_or(QString()).trimmed().toInt();
    if (t.port <= 0) t.port = family == ServerFamily::PostgreSQL ? 5432 : family == ServerFamily::MariaDB ? 3306 : 1433;
    return t;
}

std::shared_ptr<void> holdTunnel(const QString& connectionString) {
    const ConnectionString cs(connectionString);
    const ConnectionProfile profile = ConnectionProfile::of(cs);
    if (!profile.ssh.isSet()) return nullptr;
    const auto target = tunnelTarget(cs, profile.ssh, familyOfConnectionString(connectionString));
    return target ? net::SshTunnel::hold(*target) : nullptr;
}

ConnectionString throughTunnel(ConnectionString cs, int localPort) {
    for (const char* k : kHostKeys) cs.remove(QLatin1String(k));
    cs.set(QStringLiteral("Server"), QStringLiteral("127.0.0.1"));
    cs.set(QStringLiteral("Port"), QString::number(localPort));
    return cs;
}

} // namespace db
