#include "Inputs.h"

#include "script/ScriptEncoding.h"
#include "store/ConnectionStore.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool standardInputClosed = false;

Result<QByteArray> readAllOf(const QString& pathOrDash, const QString& what) {
    QFile f;
    if (pathOrDash == QLatin1String("-")) {
        if (standardInputClosed || ::fcntl(0, F_GETFD) == -1)
            return fail(QStringLiteral("cannot read %1: standard input is closed").arg(what));
        if (!f.open(stdin, QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read %1 from standard input: %2").arg(what, f.errorString()));
    } else {
        f.setFileName(pathOrDash);
        if (!f.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read %1 %2: %3").arg(what, pathOrDash, f.errorString()));
    }
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return fail(QStringLiteral("cannot read %1 %2: %3").arg(what, pathOrDash == QLatin1String("-") ? QStringLiteral("(standard input)") : pathOrDash, f.errorString()));
    return bytes;
}

} // namespace

void guardStandardInput() {
    if (::fcntl(0, F_GETFD) != -1 || errno != EBADF) return;
    standardInputClosed = true;
    // open() takes the lowest free descriptor: 0
    const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (fd > 0) ::close(fd); // 0 was taken meanwhile after all
}

Result<ScriptInput> readScriptInput(const QString& pathOrDash) {
    const Result<QByteArray> bytes = readAllOf(pathOrDash, QStringLiteral("the script"));
    if (!bytes) return fail(bytes.error());
    const DecodedScript decoded = decodeScript(*bytes);
    const QString name = pathOrDash == QLatin1String("-") ? QStringLiteral("The script") : pathOrDash;
    switch (decoded.encoding) {
    case ScriptEncoding::Utf8:
    case ScriptEncoding::Utf8WithBom: return ScriptInput{decoded.text, {}};
    case ScriptEncoding::Latin1:
        return ScriptInput{decoded.text, QStringLiteral("%1 is not UTF-8; it was read as Latin-1.").arg(name)};
    case ScriptEncoding::Utf8WithStrayBytes: {
        const qsizetype at = firstNonUtf8Byte(*bytes);
        return fail(QStringLiteral("%1 is not valid UTF-8: byte 0x%2 at offset %3. Nothing was run.")
                        .arg(name)
                        .arg(quint8(bytes->at(at)), 2, 16, QLatin1Char('0'))
                        .arg(at));
    }
    }
    return ScriptInput{decoded.text, {}};
}

Result<QString> readConnectionString(const ConnectionSource& source) {
    const int given = int(!source.connect.isEmpty()) + int(!source.savedName.isEmpty()) + int(!source.file.isEmpty());
    if (given != 1) return fail(QStringLiteral("give exactly one of --connect, --connection and --connect-file"));
    if (!source.savedName.isEmpty()) {
        const auto saved = ConnectionStore::list();
        if (!saved) return fail(QStringLiteral("cannot read the saved connections: %1").arg(saved.error()));
        for (const StoredConnection& c : *saved)
            if (c.name == source.savedName) {
                // a password kept in the desktop keyring is put back here, for this run only
                const Result<QString> usable = ConnectionStore::connectionForUse(c.connectionString);
                if (!usable)
                    return fail(QStringLiteral("cannot use the saved connection \"%1\": %2")
                                    .arg(source.savedName, usable.error()));
                return usable;
            }
        return fail(QStringLiteral("there is no saved connection named \"%1\"").arg(source.savedName));
    }
    const QString path = !source.file.isEmpty() ? source.file : source.connect == QLatin1String("-") ? source.connect : QString();
    if (path.isEmpty()) return source.connect;
    const Result<QByteArray> bytes = readAllOf(path, QStringLiteral("the connection string"));
    if (!bytes) return fail(bytes.error());
    const QString text = QString::fromUtf8(*bytes).trimmed();
    if (text.isEmpty()) return fail(QStringLiteral("the connection string is empty"));
    return text;
}
