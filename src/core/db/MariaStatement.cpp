#include "db/MariaStatement.h"

#include "db/ClientLibraries.h"
#include "db/MariaTypes.h"

#include <vector>

namespace db::maria {

PreparedStatement::PreparedStatement(MYSQL* connection, const QString& sql) : stmt_(my().mysql_stmt_init(connection)) {
    if (!stmt_) throw Error(2008, QStringLiteral("[HY000] The client ran out of memory."), QStringLiteral("HY000"));
    const QByteArray text = sql.toUtf8();
    if (my().mysql_stmt_prepare(stmt_, text.constData(), static_cast<unsigned long>(text.size())) != 0) {
        Error e = error();
        my().mysql_stmt_close(stmt_);
        throw e;
    }
}

PreparedStatement::~PreparedStatement() { my().mysql_stmt_close(stmt_); }

Error PreparedStatement::error() const {
    const QString state = QString::fromLatin1(my().mysql_stmt_sqlstate(stmt_));
    return Error(int(my().mysql_stmt_errno(stmt_)),
                 QStringLiteral("[%1] %2").arg(state, QString::fromUtf8(my().mysql_stmt_error(stmt_))), state);
}

BatchResult PreparedStatement::run(const Params& params) {
    const unsigned long expected = my().mysql_stmt_param_count(stmt_);
    if (params.size() != expected) throw Error::valueCount(qsizetype(expected), qsizetype(params.size()));
    // The client reads the values when the statement is sent: they live until then.
    std::vector<QByteArray> values(params.size());
    std::vector<MYSQL_BIND> binds(params.size());
    std::vector<unsigned long> lengths(params.size());
    for (size_t i = 0; i < params.size(); ++i) {
        MYSQL_BIND& b = binds[i];
        b = MYSQL_BIND();
        if (params[i].isNull()) {
            b.buffer_type = MYSQL_TYPE_NULL;
            continue;
        }
        const bool bytes = params[i].typeId() == QMetaType::QByteArray; // a BLOB's bytes as they are
        values[i] = bytes ? params[i].toByteArray() : params[i].toString().toUtf8();
        lengths[i] = static_cast<unsigned long>(values[i].size());
        b.buffer_type = bytes ? MYSQL_TYPE_BLOB : MYSQL_TYPE_STRING;
        b.buffer = values[i].data();
        b.buffer_length = lengths[i];
        b.length = &lengths[i];
    }
    if ((!binds.empty() && my().mysql_stmt_bind_param(stmt_, binds.data())) || my().mysql_stmt_execute(stmt_) != 0)
        throw error();
    BatchResult r;
    r.rows = readRows();
    r.affected = r.rows.columns.isEmpty() ? qint64(my().mysql_stmt_affected_rows(stmt_)) : qint64(r.rows.rows.size());
    return r;
}

namespace {

// Bytes as the streaming cursor shows them: "0x" and upper-case hex digits.
QString hexText(const char* data, unsigned long size) {
    return QStringLiteral("0x") + QString::fromLatin1(QByteArray(data, qsizetype(size)).toHex().toUpper());
}

} // namespace

Table PreparedStatement::readRows() {
    Table t;
    MYSQL_RES* meta = my().mysql_stmt_result_metadata(stmt_);
    if (!meta) return t;
    const my_bool updateMaxLength = 1;
    my().mysql_stmt_attr_set(stmt_, STMT_ATTR_UPDATE_MAX_LENGTH, &updateMaxLength);
    if (my().mysql_stmt_store_result(stmt_) != 0) {
        my().mysql_free_result(meta);
        throw error();
    }
    const unsigned n = my().mysql_num_fields(meta);
    const MYSQL_FIELD* f = my().mysql_fetch_fields(meta);
    std::vector<std::vector<char>> buffers(n);
    std::vector<MYSQL_BIND> out(n);
    std::vector<unsigned long> outLengths(n);
    std::vector<my_bool> nulls(n);
    std::vector<bool> binary(n);
    for (unsigned c = 0; c < n; ++c) {
        t.columns << QString::fromUtf8(f[c].name, int(f[c].name_length));
        binary[c] = isBinary(f[c]);
        buffers[c].resize(std::max<unsigned long>(f[c].max_length, 64) + 1);
        out[c] = MYSQL_BIND();
        out[c].buffer_type = MYSQL_TYPE_STRING;
        out[c].buffer = buffers[c].data();
        out[c].buffer_length = static_cast<unsigned long>(buffers[c].size());
        out[c].length = &outLengths[c];
        out[c].is_null = &nulls[c];
    }
    my().mysql_free_result(meta);
    my().mysql_stmt_bind_result(stmt_, out.data());
    while (my().mysql_stmt_fetch(stmt_) == 0) {
        std::vector<Cell> row;
        row.reserve(n);
        for (unsigned c = 0; c < n; ++c)
            row.push_back(nulls[c]    ? Cell()
                          : binary[c] ? Cell(hexText(buffers[c].data(), outLengths[c]))
                                      : Cell(QString::fromUtf8(buffers[c].data(), int(outLengths[c]))));
        t.rows.push_back(std::move(row));
    }
    my().mysql_stmt_free_result(stmt_); // the next run starts on a clean statement
    return t;
}

} // namespace db::maria
