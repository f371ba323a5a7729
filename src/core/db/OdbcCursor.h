#pragma once
// Walks the result sets of one ODBC call. Rows are read in blocks through
// column-wise bound row arrays; values the driver sends longer than their
// declared size are completed with SQLGetData, or the whole set is read row
// by row when the driver cannot do that inside a block.

#include "db/Connection.h"

#include <sql.h>

#include <QStringList>

namespace db {

class OdbcConnection;

class OdbcCursor final : public Cursor {
public:
    // Executes sql with the given parameters.
    OdbcCursor(OdbcConnection& conn, const QString& sql, const Params& params);
    // Adopts a statement on which a catalogue function has already run.
    OdbcCursor(OdbcConnection& conn, SQLHSTMT executed);
    ~OdbcCursor() override;

    int appendRows(RowBlock& block, int maxRows) override;
    bool nextResult() override;

private:
    struct Column {
        SQLSMALLINT sqlType = 0;
        SQLSMALLINT cType = 0;   // SQL_C_CHAR or SQL_C_WCHAR
        SQLLEN width = 0;        // bytes per bound cell, terminator included
        bool isLong = false;     // value size unknown or unbounded
        std::vector<char> buffer;
        std::vector<SQLLEN> indicators;
    };

    void allocate();
    void run(const QString& sql);
    void bindParams(const Params& params);
    void describe();
    void unbind();
    bool refill();
    void copyRow(SQLULEN row, RowBlock& block);
    // Reads a whole value of column col (0-based) of the current row with SQLGetData.
    void readWhole(int col, RowBlock& block);
    [[noreturn]] void fail(const char* context);

    OdbcConnection& conn_;
    SQLHSTMT stmt_ = SQL_NULL_HSTMT;
    std::vector<Column> cols_;
    bool rowMode_ = false;
    bool exhausted_ = false;
    SQLULEN rowsetSize_ = 1;
    SQLULEN fetched_ = 0;
    SQLULEN position_ = 0; // next unread row of the current rowset
    std::vector<SQLUSMALLINT> rowStatus_;
    std::vector<char> scratch_;
    QStringList pending_; // further statements of a script the driver takes one at a time
    int statement_ = 0;   // the statement of the call whose result is current

    // parameter storage, alive until the statement has run
    std::vector<QString> paramText_;
    std::vector<QByteArray> paramBytes_;
    std::vector<long long> paramInt_;
    std::vector<double> paramReal_;
    std::vector<SQLLEN> paramInd_;
};

} // namespace db
