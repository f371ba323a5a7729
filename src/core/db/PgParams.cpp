#include "db/PgParams.h"

namespace db::pg {
namespace {

// "?" placeholders outside quotes and comments as PostgreSQL's $1, $2, ...
QString numberedPlaceholders(const QString& sql) {
    QString out;
    out.reserve(sql.size() + 8);
    int n = 0;
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('?')) {
            out += QLatin1Char('$') + QString::number(++n);
            continue;
        }
        out += c;
    }
    return out;
}

} // namespace

BoundStatement::BoundStatement(const QString& sql, const Params& params)
    : storage(params.size()), pointers(params.size(), nullptr) {
    for (size_t i = 0; i < params.size(); ++i) {
        if (params[i].isNull()) continue;
        if (params[i].typeId() == QMetaType::QByteArray) // bytes in bytea's hex input form
            storage[i] = "\\x" + params[i].toByteArray().toHex();
        else
            storage[i] = params[i].typeId() == QMetaType::Bool ? QByteArray(params[i].toBool() ? "true" : "false")
                                                               : params[i].toString().toUtf8();
        pointers[i] = storage[i].constData();
    }
    text = (params.empty() || sql.contains(QLatin1String("$1")) ? sql : numberedPlaceholders(sql)).toUtf8();
}

} // namespace db::pg
