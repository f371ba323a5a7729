#include "net/SshTools_p.h"
#include "settings/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>
#include <pwd.h>
#include <unistd.h>

namespace net {
namespace {

constexpr int kToolTimeoutMs = 15000;

struct ToolRun {
    bool ran = false; // started and ended by itself
    int exitCode = -1;
    QByteArray out;
    QString err;
};

ToolRun runTool(const QString& program, const QStringList& arguments, const QByteArray& input = {}) {
    QProcess p;
    p.start(program, arguments);
    ToolRun r;
    if (!p.waitForStarted(kToolTimeoutMs)) {
        r.err = QStringLiteral("%1 could not be started: %2").arg(program, p.errorString());
        return r;
    }
    if (!input.isEmpty()) p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(kToolTimeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("%1 did not finish.").arg(program);
        return r;
    }
    r.ran = p.exitStatus() == QProcess::NormalExit;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
    return r;
}

// "~/x" as ssh reads it: the home of the user's account, not $HOME.
QString expanded(const QString& path) {
    if (!path.startsWith(QLatin1String("~/"))) return path;
    const passwd* pw = ::getpwuid(::getuid());
    const QString home = pw && pw->pw_dir ? QString::fromLocal8Bit(pw->pw_dir) : QDir::homePath();
    return home + path.mid(1);
}

} // namespace

QStringList jumpOptions(const SshJump& jump) {
    QStringList args;
    if (!jump.configFile.isEmpty()) args << QStringLiteral("-F") << expanded(jump.configFile);
    if (jump.port > 0) args << QStringLiteral("-p") << QString::number(jump.port);
    if (!jump.user.isEmpty()) args << QStringLiteral("-l") << jump.user;
    if (!jump.keyFile.isEmpty()) args << QStringLiteral("-i") << expanded(jump.keyFile);
    return args;
}

Result<ResolvedJump> resolveJump(const SshJump& jump) {
    const ToolRun g = runTool(QStringLiteral("ssh"), jumpOptions(jump) << QStringLiteral("-G") << jump.host);
    if (!g.ran || g.exitCode != 0)
        return fail(QStringLiteral("ssh cannot read the settings for %1: %2").arg(jump.host, g.err));
    ResolvedJump r;
    for (const QByteArray& rawLine : g.out.split('\n')) {
        const QString line = QString::fromLocal8Bit(rawLine).trimmed();
        const qsizetype space = line.indexOf(QLatin1Char(' '));
        if (space < 0) continue;
        const QString key = line.left(space), value = line.mid(space + 1).trimmed();
        if (key == QLatin1String("hostname"))
            r.hostName = value;
        else if (key == QLatin1String("port"))
            r.port = value.toInt();
        else if (key == QLatin1String("userknownhostsfile"))
            for (const QString& f : value.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                r.knownHostsFiles << expanded(f);
        else if (key == QLatin1String("identityfile") && QFileInfo::exists(expanded(value)))
            r.identityFiles << expanded(value);
    }
    r.host = r.port == 22 ? r.hostName : QStringLiteral("[%1]:%2").arg(r.hostName).arg(r.port);
    if (!jump.keyFile.isEmpty()) r.identityFiles.prepend(expanded(jump.keyFile));
    return r;
}

Result<QByteArray> scanHostKeys(const ResolvedJump& host) {
    const ToolRun s = runTool(QStringLiteral("ssh-keyscan"),
                              {QStringLiteral("-T"), QStringLiteral("10"), QStringLiteral("-p"),
                               QString::number(host.port), host.hostName});
    QByteArray lines;
    for (const QByteArray& line : s.out.split('\n'))
        if (!line.trimmed().isEmpty() && !line.startsWith('#')) lines += line.trimmed() + '\n';
    if (lines.isEmpty())
        return fail(QStringLiteral("The host keys of %1 could not be read: %2").arg(host.host, s.err));
    return lines;
}

QString fingerprints(const QByteArray& knownHostsLines) {
    const ToolRun f =
        runTool(QStringLiteral("ssh-keygen"),
                {QStringLiteral("-l"), QStringLiteral("-f"), QStringLiteral("-")}, knownHostsLines);
    QStringList out;
    // "256 SHA256:abc… [host]:port (ED25519)" → "ED25519 SHA256:abc…"
    for (const QByteArray& rawLine : f.out.split('\n')) {
        const QStringList parts = QString::fromLocal8Bit(rawLine).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.size() < 3) continue;
        QString type = parts.last();
        type.remove(QLatin1Char('(')).remove(QLatin1Char(')'));
        out << type + QLatin1Char(' ') + parts.at(1);
    }
    return out.join(QLatin1Char('\n'));
}

Status trustHostKeys(const ResolvedJump& host, const QByteArray& knownHostsLines) {
    if (host.knownHostsFiles.isEmpty())
        return fail(QStringLiteral("ssh names no known_hosts file to add the key to."));
    const QString path = host.knownHostsFiles.first();
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return fail(QStringLiteral("The folder %1 could not be made.").arg(info.absolutePath()));
    QFile::setPermissions(info.absolutePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QByteArray content;
    if (QFile old(path); old.exists()) {
        if (!old.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("%1 could not be read: %2").arg(path, old.errorString()));
        content = old.readAll();
        if (!content.isEmpty() && !content.endsWith('\n')) content += '\n';
    }
    return settings::writeFileAtomically(path, content + knownHostsLines);
}

bool needsPassphrase(const QString& keyFile) {
    if (keyFile.isEmpty()) return false;
    const ToolRun y = runTool(QStringLiteral("ssh-keygen"), {QStringLiteral("-y"), QStringLiteral("-P"),
                                                             QString(), QStringLiteral("-f"), keyFile});
    return y.ran && y.exitCode != 0 && y.err.contains(QLatin1String("passphrase"), Qt::CaseInsensitive);
}

} // namespace net
