#include "catalog/NodeKey.h"

namespace catalog {

QString nodeKeyPiece(const QString& name) {
    if (!name.contains(QLatin1Char('|')) && !name.contains(QLatin1Char('\\'))) return name;
    QString out;
    out.reserve(name.size() + 4);
    for (const QChar c : name) {
        if (c == QLatin1Char('|') || c == QLatin1Char('\\')) out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

QStringList splitNodeKey(const QString& key) {
    QStringList pieces;
    QString current;
    for (qsizetype i = 0; i < key.size(); ++i) {
        const QChar c = key[i];
        if (c == QLatin1Char('\\') && i + 1 < key.size()) {
            current += key[++i];
        } else if (c == QLatin1Char('|')) {
            pieces << current;
            current.clear();
        } else {
            current += c;
        }
    }
    pieces << current;
    return pieces;
}

} // namespace catalog
