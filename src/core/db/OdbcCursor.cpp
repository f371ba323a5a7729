#include "db/OdbcCursor.h"

#include "db/OdbcConnection.h"
#include "db/OdbcSupport.h"
#include "db/OdbcTypes.h"

#include <sqlext.h>
#include <sqlite3.h>

#include <algorithm>

namespace db {

using namespace odbc;

namespace {

constexpr SQLLEN kLongBindChars = 1024;        // bound part of a long value when blocks allow completing it
constexpr size_t kRowsetBytes = 4 * 1024 * 1024;
constexpr SQLULEN kMaxRowset = 256; // measured: larger arrays only cost cache

// Splits a script into statements for drivers that take one at a time, the
// way the SQLite shell does (a statement ends at a ';' that completes it).
QStringList splitStatements(const QString& sql) {
    QStringList out;
    const QByteArray utf8 = sql.toUtf8();
    qsizetype start = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        if (utf8[i] != ';') continue;
        const QByteArray piece = utf8.mid(start, i + 1 - start);
        if (sqlite3_complete(piece.constData())) {
            if (!piece.trimmed().isEmpty() && piece.trimmed() != ";") out << QString::fromUtf8(piece);
            start = i + 1;
        }
    }
    const QByteArray rest = utf8.mid(start).trimmed();
    if (!rest.isEmpty()) out << QString::fromUtf8(rest);
    return out;
}

} // namespace

OdbcCursor::OdbcCursor(OdbcConnection& conn, const QString& sql, const Params& params) : conn_(conn) {
    allocate();
    conn_.registerStatement(stmt_);
    try {
        conn_.throwIfCancelPending();
        bindParams(params);
        if (conn_.splitsScripts()) {
            pending_ = splitStatements(sql);
            if (pending_.isEmpty()) {
                recordsAffected_ = 0;
                return;
            }
            run(pending_.takeFirst());
        } else {
            run(sql);
        }
        describe();
    } catch (...) {
        conn_.unregisterStatement(stmt_);
        SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
        stmt_ = SQL_NULL_HSTMT;
        throw;
    }
}

OdbcCursor::OdbcCursor(OdbcConnection& conn, SQLHSTMT executed) : conn_(conn), stmt_(executed) {
    conn_.registerStatement(stmt_);
    describe();
}

OdbcCursor::~OdbcCursor() {
    if (stmt_ == SQL_NULL_HSTMT) return;
    conn_.unregisterStatement(stmt_);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
}

void OdbcCursor::allocate() {
    check(SQLAllocHandle(SQL_HANDLE_STMT, conn_.handle(), &stmt_), SQL_HANDLE_DBC, conn_.handle(),
          "Cannot create a statement");
}

void OdbcCursor::fail(const char* context) {
    Error e = diagnostics(SQL_HANDLE_STMT, stmt_, QString::fromLatin1(context));
    if (conn_.takeCancelPending()) e.setCancelled(true);
    // Results count statements where every statement gives one result: a
    // script split here, or MariaDB's multi-statement call.
    if (conn_.splitsScripts() || conn_.serverFamily() == ServerFamily::MariaDB) {
        ErrorPosition at;
        at.statementIndex = statement_;
        e.setPosition(std::move(at));
    }
    pending_.clear();
    if (e.number() <= 0 && !e.isCancel()) {
        // The MariaDB driver gives no native number for an error of a later
        // statement of a script; the server still knows it.
        if (const int code = conn_.lastServerErrorCode(); code > 0) {
            Error numbered(code, e.description(), e.sqlState());
            numbered.setPosition(e.position());
            throw numbered;
        }
    }
    throw e;
}

void OdbcCursor::bindParams(const Params& params) {
    const size_t n = params.size();
    paramText_.assign(n, QString());
    paramBytes_.assign(n, QByteArray());
    paramInt_.assign(n, 0);
    paramReal_.assign(n, 0);
    paramInd_.assign(n, 0);
    for (size_t i = 0; i < n; ++i) {
        const QVariant& v = params[i];
        const auto no = SQLUSMALLINT(i + 1);
        SQLRETURN rc;
        if (v.isNull()) {
            paramInd_[i] = SQL_NULL_DATA;
            rc = SQLBindParameter(stmt_, no, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, 1, 0, nullptr, 0,
                                  &paramInd_[i]);
        } else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong ||
                   v.typeId() == QMetaType::UInt || v.typeId() == QMetaType::Bool) {
            paramInt_[i] = v.toLongLong();
            rc = SQLBindParameter(stmt_, no, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, &paramInt_[i], 0,
                                  &paramInd_[i]);
        } else if (v.typeId() == QMetaType::Double) {
            paramReal_[i] = v.toDouble();
            rc = SQLBindParameter(stmt_, no, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &paramReal_[i], 0,
                                  &paramInd_[i]);
        } else if (v.typeId() == QMetaType::QByteArray) {
            paramBytes_[i] = v.toByteArray();
            paramInd_[i] = SQLLEN(paramBytes_[i].size());
            rc = SQLBindParameter(stmt_, no, SQL_PARAM_INPUT, SQL_C_BINARY, SQL_LONGVARBINARY,
                                  SQLULEN(std::max<qsizetype>(paramBytes_[i].size(), 1)), 0, paramBytes_[i].data(),
                                  paramInd_[i], &paramInd_[i]);
        } else {
            paramText_[i] = v.toString();
            paramInd_[i] = SQLLEN(paramText_[i].size()) * SQLLEN(sizeof(SQLWCHAR));
            rc = SQLBindParameter(stmt_, no, SQL_PARAM_INPUT, SQL_C_WCHAR,
                                  paramText_[i].size() > 4000 ? SQL_WLONGVARCHAR : SQL_WVARCHAR,
                                  SQLULEN(std::max<qsizetype>(paramText_[i].size(), 1)), 0, wide(paramText_[i]),
                                  paramInd_[i], &paramInd_[i]);
        }
        if (!succeeded(rc)) fail("Cannot bind a parameter");
    }
}

void OdbcCursor::run(const QString& sql) {
    QString text = sql;
    const SQLRETURN rc = SQLExecDirectW(stmt_, wide(text), SQLINTEGER(text.size()));
    if (!succeeded(rc) && rc != SQL_NO_DATA) fail("");
}

void OdbcCursor::unbind() {
    SQLFreeStmt(stmt_, SQL_UNBIND);
    SQLSetStmtAttr(stmt_, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(1)), 0);
    SQLSetStmtAttr(stmt_, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
    SQLSetStmtAttr(stmt_, SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
    cols_.clear();
}

void OdbcCursor::describe() {
    fields_.clear();
    recordsAffected_ = -1;
    exhausted_ = false;
    fetched_ = position_ = 0;
    rowMode_ = false;
    SQLSMALLINT n = 0;
    if (!succeeded(SQLNumResultCols(stmt_, &n))) fail("Cannot describe the result");
    if (n <= 0) {
        SQLLEN count = -1;
        if (succeeded(SQLRowCount(stmt_, &count))) recordsAffected_ = count;
        return;
    }
    cols_.assign(size_t(n), Column());
    fields_.reserve(size_t(n));
    SQLLEN rowBytes = 0;
    for (SQLUSMALLINT i = 1; i <= SQLUSMALLINT(n); ++i) {
        SQLWCHAR name[512];
        SQLSMALLINT nameLen = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        if (!succeeded(SQLDescribeColW(stmt_, i, name, 511, &nameLen, &type, &size, &digits, &nullable)))
            fail("Cannot describe the result");
        SQLLEN display = 0, isUnsigned = SQL_FALSE, octets = 0;
        SQLColAttributeW(stmt_, i, SQL_DESC_DISPLAY_SIZE, nullptr, 0, nullptr, &display);
        SQLColAttributeW(stmt_, i, SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &isUnsigned);
        SQLColAttributeW(stmt_, i, SQL_DESC_OCTET_LENGTH, nullptr, 0, nullptr, &octets);

        const ColumnDescription described{type, size, display, octets, isUnsigned == SQL_TRUE};
        fields_.push_back(describedField(fromWide(name, std::min<qsizetype>(nameLen, 511)), described));

        Column& c = cols_[i - 1];
        c.sqlType = type;
        if (isNumericType(type) || type == SQL_BIT) {
            c.cType = SQL_C_CHAR;
            c.width = (type == SQL_NUMERIC || type == SQL_DECIMAL) ? std::max<SQLLEN>(SQLLEN(size) + 3, 128) : 48;
        } else if (isBinaryType(type)) {
            c.cType = SQL_C_BINARY; // shown as hex digits
            c.isLong = isLongValue(described);
            c.width = c.isLong ? kLongBindChars : SQLLEN(size);
        } else {
            c.cType = conn_.narrowTextIsUtf8() ? SQL_C_CHAR : SQL_C_WCHAR;
            c.isLong = isLongValue(described);
            const SQLLEN chars =
                c.isLong ? kLongBindChars : SQLLEN(std::max<SQLULEN>(size, SQLULEN(std::max<SQLLEN>(display, 0))));
            // a character takes up to four UTF-8 bytes, or two UTF-16 units
            c.width = c.cType == SQL_C_CHAR ? chars * 4 + 1 : (chars * 2 + 1) * SQLLEN(sizeof(SQLWCHAR));
        }
        if (c.isLong && !conn_.canGetDataInBlocks()) rowMode_ = true;
        rowBytes += c.width + SQLLEN(sizeof(SQLLEN));
    }
    if (rowMode_) {
        rowsetSize_ = 1;
        return; // every value is read with SQLGetData
    }
    rowsetSize_ = std::clamp<SQLULEN>(kRowsetBytes / SQLULEN(std::max<SQLLEN>(rowBytes, 1)), 1, kMaxRowset);
    rowStatus_.assign(rowsetSize_, 0);
    SQLSetStmtAttr(stmt_, SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0);
    SQLSetStmtAttr(stmt_, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(rowsetSize_), 0);
    SQLSetStmtAttr(stmt_, SQL_ATTR_ROWS_FETCHED_PTR, &fetched_, 0);
    SQLSetStmtAttr(stmt_, SQL_ATTR_ROW_STATUS_PTR, rowStatus_.data(), 0);
    for (size_t i = 0; i < cols_.size(); ++i) {
        Column& c = cols_[i];
        c.buffer.resize(size_t(c.width) * rowsetSize_);
        c.indicators.assign(rowsetSize_, 0);
        if (!succeeded(SQLBindCol(stmt_, SQLUSMALLINT(i + 1), c.cType, c.buffer.data(), c.width, c.indicators.data())))
            fail("Cannot bind a result column");
    }
}

bool OdbcCursor::refill() {
    if (exhausted_) return false;
    fetched_ = position_ = 0;
    const SQLRETURN rc = SQLFetch(stmt_);
    if (rc == SQL_NO_DATA) {
        exhausted_ = true;
        return false;
    }
    if (!succeeded(rc)) fail("Cannot read the result");
    if (rowMode_) fetched_ = 1;
    return fetched_ > 0;
}

void OdbcCursor::readWhole(int col, RowBlock& block) {
    const Column& c = cols_[size_t(col)];
    auto& out = block.bytes();
    if (scratch_.size() < 64 * 1024) scratch_.resize(64 * 1024);
    const SQLLEN unit = c.cType == SQL_C_WCHAR ? SQLLEN(sizeof(SQLWCHAR)) : 1;
    const SQLLEN terminator = c.cType == SQL_C_BINARY ? 0 : unit;
    bool isNull = false;
    SQLWCHAR highSurrogate = 0; // first half of a pair split between two chunks
    for (;;) {
        SQLLEN ind = 0;
        const SQLRETURN rc = SQLGetData(stmt_, SQLUSMALLINT(col + 1), c.cType, scratch_.data(),
                                        SQLLEN(scratch_.size()), &ind);
        if (rc == SQL_NO_DATA) break;
        if (!succeeded(rc)) fail("Cannot read a value");
        if (ind == SQL_NULL_DATA) {
            isNull = true;
            break;
        }
        // bytes in the buffer this round: all of it but the terminator when truncated
        const SQLLEN room = SQLLEN(scratch_.size()) - terminator;
        SQLLEN got = (ind == SQL_NO_TOTAL || ind > room) ? room : ind;
        got -= got % unit;
        if (c.cType == SQL_C_WCHAR) {
            const auto* w = reinterpret_cast<const SQLWCHAR*>(scratch_.data());
            size_t units = size_t(got / unit);
            if (highSurrogate && units) {
                const SQLWCHAR pair[2] = {highSurrogate, w[0]};
                appendUtf8(out, pair, 2);
                ++w;
                --units;
                highSurrogate = 0;
            }
            if (rc != SQL_SUCCESS && units && w[units - 1] >= 0xD800 && w[units - 1] <= 0xDBFF)
                highSurrogate = w[--units];
            appendUtf8(out, w, units);
        } else if (c.cType == SQL_C_BINARY) {
            block.appendHex(reinterpret_cast<const unsigned char*>(scratch_.data()), size_t(got));
        } else {
            out.insert(out.end(), scratch_.data(), scratch_.data() + got);
        }
        if (rc == SQL_SUCCESS) break;
        // more to come; a long value grows the buffer to keep the number of calls low
        if (scratch_.size() < 4 * 1024 * 1024) scratch_.resize(scratch_.size() * 2);
    }
    if (isNull)
        block.appendNull();
    else
        block.closeCell();
}

void OdbcCursor::copyRow(SQLULEN r, RowBlock& block) {
    if (rowMode_) {
        for (int c = 0; c < int(cols_.size()); ++c) readWhole(c, block);
        return;
    }
    bool positioned = false;
    for (size_t i = 0; i < cols_.size(); ++i) {
        const Column& c = cols_[i];
        const SQLLEN ind = c.indicators[r];
        if (ind == SQL_NULL_DATA) {
            block.appendNull();
            continue;
        }
        const char* cell = c.buffer.data() + SQLLEN(r) * c.width;
        const SQLLEN unit = c.cType == SQL_C_WCHAR ? SQLLEN(sizeof(SQLWCHAR)) : 1;
        const SQLLEN room = c.cType == SQL_C_BINARY ? c.width : c.width - unit;
        if (ind == SQL_NO_TOTAL || ind > room) {
            // Longer than the bound cell: read the value again in full.
            if (!positioned) {
                if (!succeeded(SQLSetPos(stmt_, SQLSETPOSIROW(r + 1), SQL_POSITION, SQL_LOCK_NO_CHANGE)))
                    fail("Cannot read a long value");
                positioned = true;
            }
            readWhole(int(i), block);
            continue;
        }
        if (c.cType == SQL_C_WCHAR)
            appendUtf8(block.bytes(), reinterpret_cast<const SQLWCHAR*>(cell), size_t(ind / unit));
        else if (c.cType == SQL_C_BINARY)
            block.appendHex(reinterpret_cast<const unsigned char*>(cell), size_t(ind));
        else
            block.bytes().insert(block.bytes().end(), cell, cell + ind);
        block.closeCell();
    }
}

int OdbcCursor::appendRows(RowBlock& block, int maxRows) {
    if (!hasRows()) throw Error::closedResult();
    conn_.throwIfCancelPending();
    int rows = 0;
    while (rows < maxRows && block.byteSize() < RowBlock::kFullBytes) {
        if (position_ >= fetched_ && !refill()) break;
        for (; position_ < fetched_ && rows < maxRows && block.byteSize() < RowBlock::kFullBytes; ++position_) {
            if (!rowMode_ && (rowStatus_[position_] == SQL_ROW_NOROW || rowStatus_[position_] == SQL_ROW_DELETED))
                continue;
            copyRow(position_, block);
            ++rows;
        }
    }
    return rows;
}

bool OdbcCursor::nextResult() {
    if (stmt_ == SQL_NULL_HSTMT) return false;
    conn_.throwIfCancelPending();
    unbind();
    fields_.clear();
    ++statement_; // a failure now is the next statement's
    const SQLRETURN rc = SQLMoreResults(stmt_);
    if (rc == SQL_NO_DATA) {
        if (pending_.isEmpty()) return false;
        SQLFreeStmt(stmt_, SQL_CLOSE);
        run(pending_.takeFirst());
        describe();
        return true;
    }
    if (!succeeded(rc)) fail("");
    describe();
    return true;
}

} // namespace db
