// Rows of a SQLite result without a key named by their rowid: which
// statements qualify, and on a real file an edit and a deletion saved
// through the rowid while the result itself is the statement's own; a
// WITHOUT ROWID table, a view and a join keep their reasons.
#include "edit/RowIdKey.h"
#include "support/EditFixture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using edit::withRowId;

namespace {

struct Plain {
    const char* sql;
    const char* keyed; // the text after SELECT's rowid column is added; null: refused
};

const Plain kStatements[] = {
    {"SELECT msg FROM log", "SELECT rowid AS \"sqlqe hidden rowid\", msg FROM log"},
    {"select ALL *, n from \"main\".\"log\" l where n > (select count(*) from other, more) order by 1 limit 2;",
     "select ALL rowid AS \"sqlqe hidden rowid\", *, n from \"main\".\"log\" l where n > (select count(*) from other, "
     "more) order by 1 limit 2;"},
    {"-- the log\nSELECT [msg] FROM [log] AS x", "-- the log\nSELECT rowid AS \"sqlqe hidden rowid\", [msg] FROM [log] AS x"},
    {"SELECT 'FROM x JOIN y' AS t FROM log", "SELECT rowid AS \"sqlqe hidden rowid\", 'FROM x JOIN y' AS t FROM log"},
    {"SELECT DISTINCT msg FROM log", nullptr},
    {"SELECT msg FROM log GROUP BY msg", nullptr},
    {"SELECT msg FROM log UNION SELECT msg FROM log", nullptr},
    {"SELECT l.msg FROM log l JOIN other o ON o.k = l.n", nullptr},
    {"SELECT log.msg FROM log, other", nullptr},
    {"SELECT msg FROM (SELECT * FROM log)", nullptr},
    {"WITH x AS (SELECT 1) SELECT msg FROM log", nullptr},
    {"SELECT msg FROM log_view", nullptr},
    {"SELECT msg FROM log; DELETE FROM log", nullptr},
    {"SELECT msg, row_number() OVER w FROM log WINDOW w AS (ORDER BY n)", nullptr},
    {"UPDATE log SET n = 1", nullptr},
};

} // namespace

TEST(RowIdKey, OnlyAPlainSelectOfTheTableGetsTheRowIdAsItsFirstColumn) {
    for (const Plain& p : kStatements)
        EXPECT_EQ(withRowId(QString::fromUtf8(p.sql), QStringLiteral("log"), QStringLiteral("rowid")),
                  p.keyed ? QString::fromUtf8(p.keyed) : QString())
            << p.sql;
}

class RowIdSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        cs = QStringLiteral("Provider=SQLite;Data Source=") + dir.filePath(QStringLiteral("r.db"));
        conn = db::Connection::open(cs, {15, true});
        for (const char* s : {"CREATE TABLE log(msg TEXT, n INTEGER)",
                              "INSERT INTO log VALUES ('a', 1), ('b', 2), ('b', 3), ('it''s 😀', 4), (NULL, 5)",
                              "DELETE FROM log WHERE n = 1", // rowids start at 2
                              "CREATE TABLE shadow(rowid TEXT, msg TEXT)", "INSERT INTO shadow VALUES ('x', 'a')",
                              "CREATE TABLE nr(k INTEGER PRIMARY KEY, v TEXT) WITHOUT ROWID", "INSERT INTO nr VALUES (1, 'a')",
                              "CREATE VIEW log_view AS SELECT msg, n FROM log"})
            conn->exec(QString::fromUtf8(s));
    }
    // The result read as the grid reads it, keyed by rowid where it can be.
    std::unique_ptr<EditedResult> read(const QString& sql) {
        auto r = std::make_unique<EditedResult>(*conn, sql);
        const bool keyed = edit::keyByRowId(*conn, sql, r->target, qint64(r->rows.rows.size()), [&r](qint64 row, int c) {
            return r->rows.rows[size_t(row)][size_t(c)];
        });
        if (keyed) { // the grid editor adds the hidden column so
            db::Field id;
            id.name = r->target.columns.back();
            id.type = db::FieldType::BigInt;
            r->fields.push_back(id);
            const auto ids = r->target.rowIds;
            const int shown = int(r->rows.columns.size());
            r->changes = std::make_unique<edit::ChangeSet>(int(r->fields.size()), qint64(r->rows.rows.size()),
                                                           [&r, ids, shown](qint64 row, int c) -> edit::Value {
                                                               if (c < shown) return r->rows.rows[size_t(row)][size_t(c)];
                                                               return ids[size_t(row)];
                                                           });
        }
        return r;
    }
    QStringList messages() {
        QStringList out;
        for (const auto& row : conn->query(QStringLiteral("SELECT msg FROM log ORDER BY rowid")).rows)
            out << row[0].value_or(QStringLiteral("<NULL>"));
        return out;
    }
    QTemporaryDir dir;
    QString cs;
    std::unique_ptr<db::Connection> conn;
};

TEST_F(RowIdSaveTest, EditsAndDeletionsOfAResultWithoutAKeyGoThroughTheRowId) {
    const QString sql = QStringLiteral("SELECT msg FROM log WHERE n >= 2 ORDER BY n DESC");
    auto r = read(sql);
    ASSERT_TRUE(r->target.editable()) << r->target.readOnlyReason.toStdString();
    // the result is the statement's own: one column, its values in its order
    const db::Table own = conn->query(sql);
    EXPECT_EQ(r->rows.columns, own.columns);
    EXPECT_EQ(r->rows.rows, own.rows);
    EXPECT_EQ(r->target.rowIds, (std::vector<QString>{"5", "4", "3", "2"}));

    // the two 'b' rows are told apart: only the one edited changes
    r->changes->setCells({{2, 0, QStringLiteral("b edited")}, {0, 0, QStringLiteral("was NULL")}});
    r->changes->setDeleted({1}, true);
    const edit::SaveOutcome out = r->save(*conn);
    ASSERT_TRUE(out.saved) << out.message.toStdString();
    EXPECT_EQ(messages(), (QStringList{"b", "b edited", "was NULL"}));
    EXPECT_EQ(edit::rowName(r->target, *r->changes, 3), QStringLiteral("rowid=2"));
}

TEST_F(RowIdSaveTest, ATableWithoutRowIdsAViewAndAJoinKeepTheirReasons) {
    auto reason = [&](const char* sql) { return read(QString::fromUtf8(sql))->target.readOnlyReason; };
    EXPECT_EQ(reason("SELECT v FROM nr"), QStringLiteral("read-only: no primary key in the result"));
    EXPECT_FALSE(reason("SELECT msg FROM log_view").isEmpty());
    EXPECT_EQ(reason("SELECT l.msg FROM log l JOIN log m ON m.n = l.n"), QStringLiteral("read-only: no primary key in the result"));
    // a result too big to read twice while the window waits says how to edit it
    edit::EditTarget big = read("SELECT msg FROM log")->target;
    big.keyColumns.clear();
    big.columns.resize(1);
    big.rowIds.clear();
    big.readOnlyReason = QStringLiteral("read-only: no primary key in the result");
    EXPECT_FALSE(edit::keyByRowId(*conn, QStringLiteral("SELECT msg FROM log"), big, 100001,
                                  [](qint64, int) -> edit::Value { ADD_FAILURE() << "rows read"; return {}; }));
    EXPECT_EQ(big.readOnlyReason,
              QStringLiteral("read-only: no key in the result, and too many rows to name them by rowid: select rowid too"));
    // a table with a column named rowid still has _rowid_
    auto shadowed = read(QStringLiteral("SELECT rowid, msg FROM shadow"));
    ASSERT_TRUE(shadowed->target.editable()) << shadowed->target.readOnlyReason.toStdString();
    EXPECT_EQ(shadowed->target.columns.back(), QStringLiteral("_rowid_"));
    EXPECT_EQ(shadowed->rows.rows[0][0], QStringLiteral("x"));
    shadowed->changes->setCells({{0, 0, QStringLiteral("y")}});
    ASSERT_TRUE(shadowed->save(*conn).saved);
    EXPECT_EQ(conn->query(QStringLiteral("SELECT rowid FROM shadow")).rows[0][0], QStringLiteral("y"));
}
