#include "edit/RowIdKey.h"

#include <QSet>
#include <QStringList>

namespace edit {
namespace {

// The rows are read a second time and held as text while the window waits:
// past this many the cost (seconds, hundreds of megabytes) outweighs the
// convenience, and the user can select the rowid.
constexpr qint64 kMostRowsNamedByRowId = 100000;

// Named so that no user's column can be taken for it.
const QString kHiddenName = QStringLiteral("\"sqlqe hidden rowid\"");

struct Word {
    QString upper;   // upper case; a quoted name unquoted, punctuation as itself
    qsizetype end;   // where it ends in the text
    int depth;       // parentheses around it
    bool quoted = false;
};

// The words and punctuation of a statement, strings and comments skipped.
std::vector<Word> words(const QString& sql) {
    std::vector<Word> out;
    int depth = 0;
    for (qsizetype i = 0; i < sql.size();) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('-') && sql.mid(i, 2) == QLatin1String("--")) {
            const qsizetype nl = sql.indexOf(QLatin1Char('\n'), i);
            i = nl < 0 ? sql.size() : nl + 1;
        } else if (c == QLatin1Char('/') && sql.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype close = sql.indexOf(QLatin1String("*/"), i + 2);
            i = close < 0 ? sql.size() : close + 2;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('[')) {
            const QChar closing = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            qsizetype j = i + 1;
            QString text;
            for (; j < sql.size(); ++j) {
                if (sql[j] != closing) {
                    text += sql[j];
                } else if (closing != QLatin1Char(']') && j + 1 < sql.size() && sql[j + 1] == closing) {
                    text += sql[j++]; // a doubled quote stands for itself
                } else {
                    break;
                }
            }
            i = std::min(sql.size(), j + 1);
            out.push_back({c == QLatin1Char('\'') ? QStringLiteral("'") : text.toUpper(), i, depth, c != QLatin1Char('\'')});
        } else if (c.isLetterOrNumber() || c == QLatin1Char('_')) {
            qsizetype j = i;
            while (j < sql.size() && (sql[j].isLetterOrNumber() || sql[j] == QLatin1Char('_') || sql[j] == QLatin1Char('$'))) ++j;
            out.push_back({sql.mid(i, j - i).toUpper(), j, depth});
            i = j;
        } else {
            if (c == QLatin1Char(')')) --depth;
            out.push_back({QString(c), i + 1, depth});
            if (c == QLatin1Char('(')) ++depth;
            ++i;
        }
    }
    return out;
}

const QSet<QString> kRefused = {QStringLiteral("DISTINCT"),  QStringLiteral("GROUP"),  QStringLiteral("UNION"),
                                QStringLiteral("INTERSECT"), QStringLiteral("EXCEPT"), QStringLiteral("JOIN"),
                                QStringLiteral("WINDOW"),    QStringLiteral("WITH"),   QStringLiteral("VALUES")};
// What may end the table's name after FROM (its alias aside).
const QSet<QString> kAfterTable = {QStringLiteral("WHERE"), QStringLiteral("ORDER"), QStringLiteral("LIMIT"),
                                   QStringLiteral("INDEXED"), QStringLiteral("NOT"), QStringLiteral(";")};

} // namespace

QString withRowId(const QString& sql, const QString& table, const QString& rowidName) {
    const std::vector<Word> w = words(sql);
    if (w.empty() || w[0].upper != QLatin1String("SELECT") || w[0].quoted) return {};
    size_t from = 0;
    for (size_t i = 0; i < w.size(); ++i) {
        if (w[i].depth > 0 || w[i].quoted) continue;
        if (kRefused.contains(w[i].upper)) return {};
        if (w[i].upper == QLatin1String(";") && i + 1 < w.size()) return {}; // a second statement
        if (w[i].upper == QLatin1String("FROM")) {
            if (from) return {};
            from = i;
        }
    }
    if (!from || from + 1 >= w.size()) return {};
    // FROM [schema .] table [[AS] alias] then WHERE, ORDER BY, LIMIT or the end
    size_t at = from + 1;
    if (at + 2 < w.size() && w[at + 1].upper == QLatin1String(".")) at += 2;
    if (w[at].upper != table.toUpper()) return {};
    ++at;
    if (at < w.size() && w[at].upper == QLatin1String("AS")) ++at;
    if (at < w.size() && !kAfterTable.contains(w[at].upper) && w[at].depth == 0 && w[at].upper != QLatin1String(",") &&
        w[at].upper != QLatin1String("("))
        ++at; // an alias
    if (at < w.size() && !kAfterTable.contains(w[at].upper)) return {};
    // after SELECT (and ALL)
    const qsizetype insertAt = w.size() > 1 && w[1].upper == QLatin1String("ALL") && !w[1].quoted ? w[1].end : w[0].end;
    return sql.left(insertAt) + QLatin1Char(' ') + rowidName + QStringLiteral(" AS ") + kHiddenName + QLatin1Char(',') +
           sql.mid(insertAt);
}

bool keyByRowId(db::Connection& conn, const QString& sql, EditTarget& target, qint64 shownRows,
                const std::function<Value(qint64, int)>& shown) {
    if (target.server != db::ServerFamily::SQLite || target.editable() || !target.keyColumns.empty() ||
        target.table.name.isEmpty() || target.columns.empty())
        return false;
    try {
        // the first of the rowid's names that no column of the table takes
        QSet<QString> taken;
        for (const auto& row : conn.query(QStringLiteral("SELECT name FROM pragma_table_info(?, ?)"),
                                          {target.table.name, target.table.catalog.isEmpty() ? QStringLiteral("main")
                                                                                             : target.table.catalog})
                                   .rows)
            taken.insert(row[0].value_or(QString()).toLower());
        QString rowidName;
        for (const char* n : {"rowid", "_rowid_", "oid"})
            if (!taken.contains(QLatin1String(n))) {
                rowidName = QLatin1String(n);
                break;
            }
        const QString keyed = rowidName.isEmpty() ? QString() : withRowId(sql, target.table.name, rowidName);
        if (keyed.isEmpty()) return false;
        if (shownRows > kMostRowsNamedByRowId) {
            target.readOnlyReason = QStringLiteral("read-only: no key in the result, and too many rows to name them by"
                                                   " rowid: select %1 too")
                                        .arg(rowidName);
            return false;
        }
        auto cursor = conn.execute(keyed);
        const int columns = int(target.columns.size());
        if (int(cursor->fields().size()) != columns + 1) return false;
        std::vector<QString> ids;
        QSet<QString> seen;
        db::RowBlock block;
        while (qint64(ids.size()) < shownRows && cursor->fetch(block, 512)) {
            for (int r = 0; r < block.rowCount() && qint64(ids.size()) < shownRows; ++r) {
                const qint64 row = qint64(ids.size());
                if (block.isNull(r, 0)) return false; // a view's rows have none
                const QString id = block.string(r, 0);
                if (seen.contains(id)) return false;
                for (int c = 0; c < columns; ++c) {
                    const Value v = block.isNull(r, c + 1) ? Value() : Value(block.string(r, c + 1));
                    if (v != shown(row, c)) return false;
                }
                seen.insert(id);
                ids.push_back(id);
            }
        }
        if (qint64(ids.size()) != shownRows) return false;
        target.columns.push_back(rowidName);
        target.keyColumns = {columns};
        target.rowIds = std::move(ids);
        target.readOnlyReason.clear();
        return true;
    } catch (const db::Error&) {
        return false; // a WITHOUT ROWID table has none to read: the reason stands
    }
}

} // namespace edit
