#include "edit/ValueFile.h"

#include "settings/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace edit {

QByteArray binaryBytes(const QString& text) {
    const bool prefixed = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) || text.startsWith(QLatin1String("\\x"));
    return QByteArray::fromHex(QStringView(text).mid(prefixed ? 2 : 0).toLatin1());
}

Result<Value> readValueFile(const QString& path, bool binary) {
    QFile file(path);
    if (QFileInfo(path).size() > kMaxValueFileBytes)
        return fail(QStringLiteral("%1 is larger than %2 MB: too large for one cell.").arg(path).arg(kMaxValueFileBytes >> 20));
    if (!file.open(QIODevice::ReadOnly)) return fail(QStringLiteral("%1 could not be read: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (binary) return Value(QString::fromLatin1(bytes.toHex().toUpper()));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError()) return fail(QStringLiteral("%1 is not UTF-8 text; a text column takes only text.").arg(path));
    return Value(text);
}

Status writeValueFile(const QString& path, const Value& value, bool binary) {
    if (!value) return fail(QStringLiteral("The value is NULL: there is nothing to write."));
    const QByteArray bytes = binary ? binaryBytes(*value) : value->toUtf8();
    return settings::writeFileAtomically(path, bytes, settings::kShared);
}

} // namespace edit
