#include "db/MariaCursor.h"

#include "db/MariaConnection.h"
#include "db/MariaTypes.h"

#include "db/ClientLibraries.h"

#include <QRegularExpression>

namespace db {

MariaCursor::MariaCursor(MariaConnection& conn, const QString& sql, std::vector<ScriptStatement> statements)
    : conn_(conn), mysql_(conn.handle()), statements_(std::move(statements)) {
    const QByteArray text = sql.toUtf8();
    if (my().mysql_real_query(mysql_, text.constData(), static_cast<unsigned long>(text.size())) != 0) {
        callDone_ = true;
        throw placedError();
    }
    conn_.calls().open(this);
    begin();
}

MariaCursor::~MariaCursor() {
    conn_.calls().release(this);
    abandon();
}

void MariaCursor::abandon() {
    if (result_ && !setDone_) conn_.killRunning(); // rather than reading every row left
    finishCall();
    conn_.clearPendingCancel();
}

void MariaCursor::begin() {
    fields_.clear();
    binary_.clear();
    recordsAffected_ = -1;
    setDone_ = true;
    if (my().mysql_field_count(mysql_) == 0) {
        const my_ulonglong affected = my().mysql_affected_rows(mysql_);
        recordsAffected_ = affected == my_ulonglong(-1) ? -1 : qint64(affected);
        return;
    }
    result_ = my().mysql_use_result(mysql_);
    if (!result_) fail();
    setDone_ = false;
    const unsigned n = my().mysql_num_fields(result_);
    const MYSQL_FIELD* f = my().mysql_fetch_fields(result_);
    for (unsigned i = 0; i < n; ++i) {
        fields_.push_back(odbc::describedField(QString::fromUtf8(f[i].name, int(f[i].name_length)), maria::describe(f[i])));
        binary_.push_back(maria::isBinary(f[i]));
        if (f[i].org_table_length > 0 && f[i].org_name_length > 0) {
            FieldOrigin origin;
            origin.catalog = QString::fromUtf8(f[i].db, int(f[i].db_length));
            origin.table = QString::fromUtf8(f[i].org_table, int(f[i].org_table_length));
            origin.column = QString::fromUtf8(f[i].org_name, int(f[i].org_name_length));
            origin.primaryKey = f[i].flags & PRI_KEY_FLAG;
            origin.uniqueKey = f[i].flags & UNIQUE_KEY_FLAG;
            origin.notNull = f[i].flags & NOT_NULL_FLAG;
            origin.autoIncrement = f[i].flags & AUTO_INCREMENT_FLAG;
            fields_.back().origin = origin;
        }
    }
}

int MariaCursor::appendRows(RowBlock& block, int maxRows) {
    if (!hasRows()) throw Error::closedResult();
    conn_.throwIfCancelPending();
    const int columns = int(fields_.size());
    int rows = 0;
    while (!setDone_ && rows < maxRows && block.byteSize() < RowBlock::kFullBytes) {
        MYSQL_ROW row = my().mysql_fetch_row(result_);
        if (!row) {
            setDone_ = true;
            if (my().mysql_errno(mysql_)) fail();
            break;
        }
        const unsigned long* lengths = my().mysql_fetch_lengths(result_);
        for (int c = 0; c < columns; ++c) {
            if (!row[c]) {
                block.appendNull();
            } else if (binary_[size_t(c)]) {
                // bytes as the mariadb client shows them with --binary-as-hex
                block.bytes().push_back('0');
                block.bytes().push_back('x');
                block.appendHex(reinterpret_cast<const unsigned char*>(row[c]), lengths[c]);
                block.closeCell();
            } else {
                block.appendCell(row[c], lengths[c]);
            }
        }
        ++rows;
    }
    return rows;
}

void MariaCursor::discardRestOfSet() {
    // The last result of the call (the server says whether more follow) is
    // the script's last statement's.
    if (!result_ || setDone_ || my().mysql_more_results(mysql_)) return;
    if (statements_.empty() || !statements_.back().onlyReads) return;
    stopped_ = true;
    conn_.killRunning(false); // nextResult then reads what was sent before the kill
}

bool MariaCursor::nextResult() {
    conn_.throwIfCancelPending();
    if (result_) {
        my().mysql_free_result(result_); // reads what is left of the set
        result_ = nullptr;
    }
    fields_.clear();
    if (callDone_) return false;
    // The statement's warnings: their texts while the server keeps them
    // (after the call's last statement), else how many.
    const unsigned warnings = stopped_ ? 0 : my().mysql_warning_count(mysql_);
    if (!my().mysql_more_results(mysql_)) {
        callDone_ = true;
        conn_.calls().release(this);
        if (warnings > 0) conn_.reportWarnings();
        return false;
    }
    if (warnings > 0) conn_.reportWarningCount(warnings);
    ++statement_; // an error now is the next statement's
    const int status = my().mysql_next_result(mysql_);
    if (status < 0) {
        callDone_ = true;
        return false;
    }
    if (status > 0) fail();
    begin();
    return true;
}

void MariaCursor::finishCall() {
    if (callDone_ && !result_) return;
    if (result_) my().mysql_free_result(result_);
    result_ = nullptr;
    while (!callDone_ && my().mysql_more_results(mysql_) && my().mysql_next_result(mysql_) == 0)
        if (MYSQL_RES* r = my().mysql_use_result(mysql_)) my().mysql_free_result(r);
    callDone_ = setDone_ = true;
}

Error MariaCursor::placedError() {
    Error e = conn_.lastError();
    ErrorPosition at;
    at.statementIndex = statement_;
    // A syntax error quotes the text from the failing token on (cut short)
    // and the line of that token within the statement.
    static const QRegularExpression near(QStringLiteral("near '(.*)' at line (\\d+)$"),
                                         QRegularExpression::DotMatchesEverythingOption);
    if (const auto m = near.match(e.description()); m.hasMatch()) {
        at.nearText = m.captured(1);
        at.lineInStatement = m.captured(2).toInt();
    }
    e.setPosition(std::move(at));
    return e;
}

void MariaCursor::fail() {
    Error e = placedError();
    finishCall();
    conn_.calls().release(this);
    throw e;
}

} // namespace db
