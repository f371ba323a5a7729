#include "db/BulkLoad.h"

#include "db/Connection.h"

#include <algorithm>

namespace db {
namespace {

class InsertingLoad final : public BulkLoad {
public:
    InsertingLoad(Connection& conn, const QString& table, const QStringList& columns)
        : conn_(conn), head_(QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(table, columns.join(QStringLiteral(", ")))),
          columns_(int(columns.size())) {
        // servers take up to 65,535 parameters a statement (SQLite 32,766; SQL Server 2,100)
        rowsPerStatement_ = std::clamp(2000 / std::max(1, columns_), 1, 500);
        QStringList marks;
        for (int c = 0; c < columns_; ++c) marks << QStringLiteral("?");
        rowMarks_ = QLatin1Char('(') + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
    }

    void load(const RowBlock& block, int first, int count) override {
        for (int start = first; start < first + count; start += rowsPerStatement_) {
            const int n = std::min(rowsPerStatement_, first + count - start);
            QString sql = head_;
            Params params;
            params.reserve(size_t(n) * size_t(columns_));
            for (int r = start; r < start + n; ++r) {
                if (r > start) sql += QStringLiteral(", ");
                sql += rowMarks_;
                for (int c = 0; c < columns_; ++c)
                    params.push_back(block.isNull(r, c) ? QVariant() : QVariant(block.string(r, c)));
            }
            try {
                conn_.exec(sql, params);
            } catch (Error& e) {
                if (n == 1) { // the failing row is known only when a statement holds one
                    ErrorPosition at = e.position();
                    at.row = start;
                    e.setPosition(at);
                }
                throw;
            }
        }
    }

private:
    Connection& conn_;
    QString head_;
    QString rowMarks_;
    int columns_;
    int rowsPerStatement_;
};

} // namespace

std::unique_ptr<BulkLoad> insertingLoad(Connection& conn, const QString& table, const QStringList& columns) {
    return std::make_unique<InsertingLoad>(conn, table, columns);
}

void appendLoadText(QByteArray& out, const RowBlock& block, int row) {
    const int columns = block.columnCount();
    for (int c = 0; c < columns; ++c) {
        if (c) out += '\t';
        if (block.isNull(row, c)) {
            out += "\\N";
            continue;
        }
        const std::string_view v = block.text(row, c);
        size_t from = 0;
        for (size_t i = 0; i < v.size(); ++i) {
            const char ch = v[i];
            const char* escape = ch == '\\' ? "\\\\" : ch == '\t' ? "\\t" : ch == '\n' ? "\\n" : ch == '\r' ? "\\r" : nullptr;
            if (!escape) continue;
            out.append(v.data() + from, qsizetype(i - from));
            out += escape;
            from = i + 1;
        }
        out.append(v.data() + from, qsizetype(v.size() - from));
    }
    out += '\n';
}

void rowFromBlockStart(Error& e, int first) {
    if (!e.position().row) return;
    ErrorPosition at = e.position();
    at.row = *at.row + first;
    e.setPosition(at);
}

} // namespace db
