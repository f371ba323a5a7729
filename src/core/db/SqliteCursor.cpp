#include "db/SqliteCursor.h"

#include "db/SqliteConnection.h"
#include "db/SqliteNumberText_p.h"

#include <QRegularExpression>

#include <sqlite3.h>

namespace db {
namespace {

// "VARCHAR(40)" -> 40, "DECIMAL(10,2)" -> 10; 0 when no size is declared.
int declaredSize(const QString& decl) {
    static const QRegularExpression re(QStringLiteral("\\(\\s*(\\d+)"));
    const auto m = re.match(decl);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

Field fromValueType(const QString& name, int valueType) {
    switch (valueType) {
    case SQLITE_INTEGER: return {name, FieldType::BigInt, 19, 8};
    case SQLITE_FLOAT: return {name, FieldType::Double, 15, 8};
    case SQLITE_BLOB: return {name, FieldType::LongVarBinary, 255, 2147483647, true};
    default: return {name, FieldType::VarWChar, 255, 2147483647, true};
    }
}

} // namespace

Field sqliteDeclaredField(const QString& name, const QString& declaredType) {
    const QString t = declaredType.trimmed().toUpper();
    const int size = declaredSize(t);
    auto text = [&](FieldType type) {
        return Field{name, type, size > 0 ? std::min(size, 255) : 255, size > 0 ? size : 2147483647, size <= 0};
    };
    if (t.isEmpty()) return fromValueType(name, SQLITE_NULL);
    // SQLite's affinity rules, in its order, refined by the common type names.
    if (t.contains(QLatin1String("INT"))) {
        if (t.startsWith(QLatin1String("TINYINT"))) return {name, FieldType::TinyInt, 3, 1};
        if (t.startsWith(QLatin1String("SMALLINT")) || t == QLatin1String("INT2")) return {name, FieldType::SmallInt, 5, 2};
        if (t == QLatin1String("INT") || t == QLatin1String("INTEGER") || t.startsWith(QLatin1String("MEDIUMINT")))
            return {name, FieldType::Integer, 10, 4};
        return {name, FieldType::BigInt, 19, 8};
    }
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("TEXT"))) {
        if (t.startsWith(QLatin1String("CHAR")) || t.startsWith(QLatin1String("CHARACTER("))) return text(FieldType::Char);
        return text(FieldType::VarWChar);
    }
    if (t.contains(QLatin1String("BLOB"))) return {name, FieldType::LongVarBinary, 255, 2147483647, true};
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB")))
        return {name, FieldType::Double, 15, 8};
    if (t.startsWith(QLatin1String("BOOL"))) return {name, FieldType::Boolean, 1, 2};
    if (t.startsWith(QLatin1String("DATETIME")) || t.startsWith(QLatin1String("TIMESTAMP"))) return {name, FieldType::DbTimeStamp, 19, 16};
    if (t.startsWith(QLatin1String("DATE"))) return {name, FieldType::DbDate, 10, 6};
    if (t.startsWith(QLatin1String("TIME"))) return {name, FieldType::DbTime, 8, 6};
    if (t.startsWith(QLatin1String("NUMERIC")) || t.startsWith(QLatin1String("DECIMAL")))
        return {name, FieldType::Numeric, size > 0 ? std::min(size, 255) : 18, 19};
    return {name, FieldType::Numeric, 15, 8};
}

SqliteCursor::SqliteCursor(SqliteConnection& conn, const QString& sql, const Params& params)
    : conn_(conn), sql_(sql.toUtf8()), tail_(sql_.constData()) {
    if (!startNext(params)) recordsAffected_ = 0; // a script of only blanks and comments
}

SqliteCursor::~SqliteCursor() { finalize(); }

void SqliteCursor::finalize() {
    if (stmt_) sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    pendingRow_ = false;
}

void SqliteCursor::fail(int rc, bool preparing) {
    Error e = conn_.lastError(rc);
    if (statement_) {
        // SQLite counts bytes of the UTF-8 text; the caller's offsets count characters.
        auto characters = [this](qsizetype bytes) { return QString::fromUtf8(sql_.constData(), bytes).size(); };
        ErrorPosition at;
        const qsizetype start = statement_ - sql_.constData();
        at.statementOffset = characters(start);
#if SQLITE_VERSION_NUMBER >= 3038000
        if (const int token = preparing ? sqlite3_error_offset(conn_.handle()) : -1; token >= 0)
            at.offset = characters(start + token);
#endif
        e.setPosition(std::move(at));
    }
    finalize();
    tail_ = sql_.constData() + sql_.size(); // nothing after a failure runs
    throw e;
}

bool SqliteCursor::startNext(const Params& params) {
    finalize();
    fields_.clear();
    recordsAffected_ = -1;
    sqlite3* db = conn_.handle();
    const char* end = sql_.constData() + sql_.size();
    while (tail_ < end) {
        const char* next = nullptr;
        statement_ = tail_;
        const int rc = sqlite3_prepare_v2(db, tail_, int(end - tail_), &stmt_, &next);
        if (rc != SQLITE_OK) {
            tail_ = end;
            fail(rc, true);
        }
        if (!stmt_ && next == tail_) {
            // SQLite reads a text only up to a NUL character: refuse the rest
            // instead of running part of the script (or looping on it).
            tail_ = end;
            throw Error::usage(QStringLiteral("The script contains a NUL character; it cannot be run."));
        }
        tail_ = next ? next : end;
        if (stmt_) break; // else: only blanks or comments, try further
    }
    if (!stmt_) return false;

    // SQLite would bind a missing value as NULL and drop an extra one: a
    // statement given values gets exactly as many as it has markers.
    const int markers = sqlite3_bind_parameter_count(stmt_);
    if (!params.empty() && int(params.size()) != markers) {
        finalize();
        tail_ = end;
        throw Error::valueCount(markers, qsizetype(params.size()));
    }
    for (int i = 0; i < int(params.size()); ++i) {
        const QVariant& v = params[size_t(i)];
        int rc;
        if (v.isNull())
            rc = sqlite3_bind_null(stmt_, i + 1);
        else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::UInt ||
                 v.typeId() == QMetaType::Bool)
            rc = sqlite3_bind_int64(stmt_, i + 1, v.toLongLong());
        else if (v.typeId() == QMetaType::Double)
            rc = sqlite3_bind_double(stmt_, i + 1, v.toDouble());
        else if (v.typeId() == QMetaType::QByteArray) {
            const QByteArray b = v.toByteArray();
            rc = sqlite3_bind_blob64(stmt_, i + 1, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT);
        }
        else {
            const QByteArray s = v.toString().toUtf8();
            rc = sqlite3_bind_text64(stmt_, i + 1, s.constData(), sqlite3_uint64(s.size()), SQLITE_TRANSIENT,
                                     SQLITE_UTF8);
        }
        if (rc != SQLITE_OK) fail(rc);
    }

    const int columns = sqlite3_column_count(stmt_);
    const sqlite3_int64 before = sqlite3_total_changes64(db);
    const int rc = sqlite3_step(stmt_);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) fail(rc);
    if (columns == 0) {
        // A statement without rows: run it to the end and report its changes.
        recordsAffected_ = sqlite3_total_changes64(db) - before;
        return true;
    }
    pendingRow_ = rc == SQLITE_ROW;
    fields_.reserve(size_t(columns));
    for (int c = 0; c < columns; ++c) {
        const QString name = QString::fromUtf8(sqlite3_column_name(stmt_, c));
        const char* decl = sqlite3_column_decltype(stmt_, c);
        fields_.push_back(decl ? sqliteDeclaredField(name, QString::fromUtf8(decl))
                               : fromValueType(name, pendingRow_ ? sqlite3_column_type(stmt_, c) : SQLITE_NULL));
        // Debian's library is built with the column metadata functions.
        if (const char* table = sqlite3_column_table_name(stmt_, c)) {
            FieldOrigin origin;
            origin.catalog = QString::fromUtf8(sqlite3_column_database_name(stmt_, c));
            origin.table = QString::fromUtf8(table);
            origin.column = QString::fromUtf8(sqlite3_column_origin_name(stmt_, c));
            fields_.back().origin = origin;
        }
    }
    return true;
}

int SqliteCursor::appendRows(RowBlock& block, int maxRows) {
    if (!hasRows()) throw Error::closedResult();
    const int columns = int(fields_.size());
    int rows = 0;
    while (pendingRow_ && rows < maxRows && block.byteSize() < RowBlock::kFullBytes) {
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(stmt_, c)) {
            case SQLITE_NULL: block.appendNull(); break;
            // numbers are written here, as SQLite would write them, at a fraction of its cost
            case SQLITE_INTEGER: {
                char text[db::sqlite::kMaxNumberText];
                block.appendCell(text, db::sqlite::integerText(sqlite3_column_int64(stmt_, c), text));
                break;
            }
            case SQLITE_FLOAT: {
                char text[db::sqlite::kMaxNumberText];
                block.appendCell(text, db::sqlite::realText(sqlite3_column_double(stmt_, c), text));
                break;
            }
            case SQLITE_BLOB: {
                const auto* p = static_cast<const unsigned char*>(sqlite3_column_blob(stmt_, c));
                const int n = sqlite3_column_bytes(stmt_, c);
                block.appendHex(p, size_t(n));
                block.closeCell();
                break;
            }
            default: {
                const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, c));
                block.appendCell(p, size_t(sqlite3_column_bytes(stmt_, c)));
            }
            }
        }
        ++rows;
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_DONE)
            pendingRow_ = false;
        else if (rc != SQLITE_ROW)
            fail(rc);
    }
    return rows;
}

bool SqliteCursor::nextResult() { return startNext({}); }

} // namespace db
