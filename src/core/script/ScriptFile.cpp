#include "script/ScriptFile.h"

#include "settings/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

Result<ScriptContent> readScriptFile(const QString& path) {
    ScriptContent r;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return fail(QStringLiteral("The file %1 could not be opened: %2").arg(path, f.errorString()));
    }
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        return fail(QStringLiteral("The file %1 could not be read: %2").arg(path, f.errorString()));
    }
    if (bytes.contains('\0')) {
        return fail(QStringLiteral("%1 looks like a binary file, not a script; it was not opened.")
                        .arg(QFileInfo(path).fileName()));
    }
    DecodedScript decoded = decodeScript(bytes);
    QString text = std::move(decoded.text);
    r.encoding = decoded.encoding;
    r.lineFeedsOnly = !text.contains(QLatin1String("\r\n")) && text.contains(QLatin1Char('\n'));
    r.text = std::move(text);
    return r;
}

QStringList splitScriptLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) continue;
        lines << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n')) ++i;
        start = i + 1;
    }
    if (start < n) lines << text.mid(start);
    return lines;
}

Status writeScriptFile(const QString& path, const QString& text, ScriptEncoding encoding) {
    const Result<QByteArray> bytes = encodeScript(text, encoding);
    if (!bytes) return Status::of(bytes);
    return settings::writeFileAtomically(path, *bytes, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                        QFileDevice::ReadGroup | QFileDevice::ReadOther);
}
