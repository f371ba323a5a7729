// Saving grid edits to SQLite, PostgreSQL and MariaDB: which results can be
// edited and why not, edits, inserts with generated keys and defaults,
// deletions, NULL, a key change, hostile names and awkward types, a row
// changed by someone else (nothing saved, the row named), a failing
// constraint, and a save inside the user's own transaction.
#include "edit/ValueFile.h"
#include "support/EditFixture.h"
#include "support/TestServers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using edit::Value;

namespace {

struct EditBackend {
    const char* label;
    const ServerUnderTest* server; // null: SQLite file
    const char* ddl;               // "Odd Table's" with its columns; %1: the emoji column's name
    const char* emojiColumn;       // MariaDB names allow no characters beyond the BMP
    const char* begin;
    const char* numberIn;          // a NUMERIC(40,20) value and how the server shows it
    const char* numberOut;
    const char* boolTrue;          // how the db layer shows true
};
void PrintTo(const EditBackend& b, std::ostream* os) { *os << b.label; }

const EditBackend kEditBackends[] = {
    {"SQLite", nullptr,
     "CREATE TABLE \"Odd Table's\" (\"select\" INTEGER PRIMARY KEY, \"Mixed Case\" TEXT, \"%1\" TEXT, "
     "n NUMERIC(40,20), ts TIMESTAMP, b BLOB, j JSON, f BOOLEAN, d INTEGER DEFAULT 42, u TEXT UNIQUE)",
     "😀", "BEGIN", "0.5", "0.5", "1"},
    {"PostgreSQL", &kPostgres,
     "CREATE TABLE \"Odd Table's\" (\"select\" SERIAL PRIMARY KEY, \"Mixed Case\" TEXT, \"%1\" TEXT, "
     "n NUMERIC(40,20), ts TIMESTAMPTZ, b BYTEA, j JSON, f BOOLEAN, d INTEGER DEFAULT 42, u TEXT UNIQUE)",
     "😀", "BEGIN", "12345678901234567890.12345678901234567890", "12345678901234567890.12345678901234567890", "t"},
    {"MariaDB", &kMariaDb,
     "CREATE TABLE `Odd Table's` (`select` INT AUTO_INCREMENT PRIMARY KEY, `Mixed Case` TEXT, `%1` TEXT, "
     "n DECIMAL(40,20), ts TIMESTAMP(6) NULL, b BLOB, j JSON, f BOOLEAN, d INTEGER DEFAULT 42, u VARCHAR(20) UNIQUE) DEFAULT CHARSET=utf8mb4",
     "Ünïcødé ñame", "START TRANSACTION", "12345678901234567890.12345678901234567890",
     "12345678901234567890.12345678901234567890", "1"},
};

class EditSaveTest : public ::testing::TestWithParam<EditBackend> {
protected:
    void SetUp() override {
        SQLQE_REQUIRE_BACKEND((TestBackend{GetParam().label, GetParam().server}), dir.filePath(QStringLiteral("e.db")), cs);
        conn = db::Connection::open(cs);
        emoji = QString::fromUtf8(GetParam().emojiColumn);
        const QString quoted = conn->identifierQuote();
        conn->exec(QStringLiteral("DROP TABLE IF EXISTS %1Odd Table's%1").arg(quoted));
        conn->exec(QStringLiteral("DROP TABLE IF EXISTS other_t"));
        conn->exec(QString::fromUtf8(GetParam().ddl).arg(emoji));
        conn->exec(QStringLiteral("CREATE TABLE other_t (k INTEGER PRIMARY KEY, v TEXT)"));
        for (int i = 1; i <= 4; ++i)
            conn->exec(QStringLiteral("INSERT INTO %1Odd Table's%1 (%1Mixed Case%1, u) VALUES (?, ?)").arg(quoted),
                       {QStringLiteral("row %1").arg(i), QStringLiteral("u%1").arg(i)}); // keys 1 to 4 by the server
        table = quoted + QStringLiteral("Odd Table's") + quoted;
        key = quoted + QStringLiteral("select") + quoted;
    }
    std::unique_ptr<EditedResult> readAll() {
        return std::make_unique<EditedResult>(*conn, QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(table, key));
    }
    // A cell as another connection reads it now, as the grid would show it
    // (MariaDB's prepared statements hand binary values back raw, not as hex:
    // the test's own integer key is written into the text).
    Value cellNow(int keyValue, const QString& column) {
        const QString q = conn->identifierQuote();
        const db::Table t = db::Connection::open(cs)->query(
            QStringLiteral("SELECT %1%3%1 FROM %2 WHERE %4 = %5").arg(q, table, column, key).arg(keyValue));
        return t.rows.empty() ? Value(QStringLiteral("<no row>")) : t.rows[0][0];
    }
    QTemporaryDir dir;
    QString cs, emoji, table, key;
    std::unique_ptr<db::Connection> conn;
};

} // namespace

TEST_P(EditSaveTest, ReadOnlyResultsSayWhy) {
    auto reason = [&](const QString& sql) { return EditedResult(*conn, sql).target.readOnlyReason; };
    EXPECT_EQ(reason(QStringLiteral("SELECT * FROM %1").arg(table)), QString());
    EXPECT_EQ(reason(QStringLiteral("SELECT o.*, t.v FROM %1 o JOIN other_t t ON t.k = o.%2").arg(table, key)),
              QStringLiteral("read-only: joins two tables"));
    EXPECT_EQ(reason(QStringLiteral("SELECT n FROM %1").arg(table)), QStringLiteral("read-only: no primary key in the result"));
    EXPECT_TRUE(reason(QStringLiteral("SELECT %1, 1 + 1 AS two FROM %2").arg(key, table)).contains(QStringLiteral("computed")));
    // a unique key without NULLs would do; u allows NULL, so it does not
    EXPECT_EQ(reason(QStringLiteral("SELECT u, n FROM %1").arg(table)), QStringLiteral("read-only: no primary key in the result"));
}

TEST_P(EditSaveTest, EditsInsertsDeletesNullAndAKeyChangeAreSavedTogether) {
    auto r = readAll();
    ASSERT_TRUE(r->target.editable()) << r->target.readOnlyReason.toStdString();
    const int mixed = r->column(QStringLiteral("Mixed Case")), em = r->column(emoji), sel = r->column(QStringLiteral("select"));
    r->changes->setCells({{0, mixed, QStringLiteral("it's 100% 😀")}, {0, em, QStringLiteral("🎉")}});
    r->changes->setCells({{1, mixed, std::nullopt}});
    r->changes->setCells({{2, sel, QStringLiteral("30")}});
    r->changes->setDeleted({3}, true);
    const qint64 added = r->changes->insertRow({{mixed, QString()}});

    const edit::SaveOutcome out = r->save(*conn);
    ASSERT_TRUE(out.saved) << out.message.toStdString();
    EXPECT_FALSE(out.joinedTransaction);
    EXPECT_EQ(cellNow(1, QStringLiteral("Mixed Case")), QStringLiteral("it's 100% 😀"));
    EXPECT_EQ(cellNow(1, emoji), QStringLiteral("🎉"));
    EXPECT_EQ(cellNow(2, QStringLiteral("Mixed Case")), std::nullopt);
    EXPECT_EQ(cellNow(30, QStringLiteral("Mixed Case")), QStringLiteral("row 3"));
    EXPECT_EQ(cellNow(4, QStringLiteral("Mixed Case")), QStringLiteral("<no row>"));
    // the generated key and the default came back and show in the grid
    const Value newKey = r->changes->value(added, sel);
    ASSERT_TRUE(newKey && newKey->toInt() > 0);
    EXPECT_EQ(r->changes->value(added, r->column(QStringLiteral("d"))), QStringLiteral("42"));
    EXPECT_EQ(cellNow(newKey->toInt(), QStringLiteral("Mixed Case")), QString()); // empty text, not NULL
    EXPECT_FALSE(r->changes->hasChanges());
}

TEST_P(EditSaveTest, AwkwardTypesGoInAsBoundValuesAndComeBackAsTheServerShowsThem) {
    auto r = readAll();
    const auto col = [&](const char* n) { return r->column(QString::fromUtf8(n)); };
    r->changes->setCells({{0, col("n"), QString::fromUtf8(GetParam().numberIn)},
                          {0, col("ts"), QStringLiteral("2024-02-29 23:59:58")},
                          {0, col("b"), QStringLiteral("00FF27")},
                          {0, col("j"), QStringLiteral("{\"a\": [1, \"it's\"]}")},
                          {0, col("f"), QString::fromUtf8(GetParam().boolTrue)}});
    const edit::SaveOutcome out = r->save(*conn);
    ASSERT_TRUE(out.saved) << out.message.toStdString();
    EXPECT_EQ(cellNow(1, QStringLiteral("n")), QString::fromUtf8(GetParam().numberOut));
    EXPECT_TRUE(cellNow(1, QStringLiteral("ts")).value_or(QString()).startsWith(QStringLiteral("2024-02-29 23:59:58")));
    // each backend shows bytes its own way (00FF27, 0x00FF27, \x00ff27): the bytes are the same
    EXPECT_EQ(edit::binaryBytes(cellNow(1, QStringLiteral("b")).value_or(QString())), QByteArray("\x00\xff\x27", 3));
    EXPECT_EQ(cellNow(1, QStringLiteral("j")), QStringLiteral("{\"a\": [1, \"it's\"]}"));
    EXPECT_EQ(cellNow(1, QStringLiteral("f")), QString::fromUtf8(GetParam().boolTrue));

    // the saved values are the new "as read" values: a second edit of the same row saves too
    r->changes->setCells({{0, col("j"), QStringLiteral("[]")}, {0, col("ts"), std::nullopt}});
    const edit::SaveOutcome again = r->save(*conn);
    ASSERT_TRUE(again.saved) << again.message.toStdString();
    EXPECT_EQ(cellNow(1, QStringLiteral("j")), QStringLiteral("[]"));
}

TEST_P(EditSaveTest, ARowChangedBySomeoneElseStopsTheSaveAndIsNamed) {
    auto r = readAll();
    const int mixed = r->column(QStringLiteral("Mixed Case"));
    r->changes->setCells({{0, mixed, QStringLiteral("mine")}});
    r->changes->setCells({{1, mixed, QStringLiteral("mine too")}});
    db::Connection::open(cs)->exec(QStringLiteral("UPDATE %1 SET %3Mixed Case%3 = 'theirs' WHERE %2 = 2")
                                       .arg(table, key, conn->identifierQuote()));
    const edit::SaveOutcome out = r->save(*conn);
    EXPECT_FALSE(out.saved);
    EXPECT_EQ(out.failedRow, 1);
    EXPECT_EQ(out.message, QStringLiteral("row select=2 was changed or deleted by someone else since it was read; "
                                          "nothing was saved"));
    EXPECT_EQ(cellNow(1, QStringLiteral("Mixed Case")), QStringLiteral("row 1")); // the first row was rolled back
    EXPECT_TRUE(r->changes->hasChanges()); // the edits stay for the user

    // a row deleted meanwhile is a conflict too
    auto again = readAll();
    again->changes->setDeleted({2}, true);
    db::Connection::open(cs)->exec(QStringLiteral("DELETE FROM %1 WHERE %2 = 3").arg(table, key));
    EXPECT_TRUE(again->save(*conn).message.startsWith(QStringLiteral("row select=3 was changed or deleted")));
}

TEST_P(EditSaveTest, AFailingConstraintSavesNothingShowsTheErrorAndKeepsTheEdits) {
    auto r = readAll();
    const int u = r->column(QStringLiteral("u"));
    r->changes->setCells({{0, r->column(QStringLiteral("Mixed Case")), QStringLiteral("changed")}});
    r->changes->setCells({{2, u, QStringLiteral("u2")}}); // taken by row 2
    const edit::SaveOutcome out = r->save(*conn);
    EXPECT_FALSE(out.saved);
    EXPECT_EQ(out.failedRow, 2);
    EXPECT_TRUE(out.message.startsWith(QStringLiteral("row select=3: "))) << out.message.toStdString();
    EXPECT_TRUE(out.message.endsWith(QStringLiteral("; nothing was saved")));
    EXPECT_EQ(cellNow(1, QStringLiteral("Mixed Case")), QStringLiteral("row 1"));
    EXPECT_EQ(r->changes->summary(), QStringLiteral("2 changed"));
    // corrected, the same change set saves
    r->changes->setCells({{2, u, QStringLiteral("u30")}});
    EXPECT_TRUE(r->save(*conn).saved);
    EXPECT_EQ(cellNow(1, QStringLiteral("Mixed Case")), QStringLiteral("changed"));
}

TEST_P(EditSaveTest, InsideTheUsersTransactionTheChangesJoinItAndNothingIsCommitted) {
    conn->exec(QString::fromUtf8(GetParam().begin));
    auto r = readAll();
    const int mixed = r->column(QStringLiteral("Mixed Case"));
    r->changes->setCells({{0, mixed, QStringLiteral("in transaction")}});
    edit::SaveOutcome out = r->save(*conn);
    ASSERT_TRUE(out.saved) << out.message.toStdString();
    EXPECT_TRUE(out.joinedTransaction);
    EXPECT_TRUE(out.message.contains(QStringLiteral("inside the open transaction")));
    EXPECT_EQ(conn->inTransaction(), std::optional<bool>(true));
    if (GetParam().server) { // not committed: other connections see the row as it was
        EXPECT_EQ(cellNow(1, QStringLiteral("Mixed Case")), QStringLiteral("row 1"));
    }

    // a failed save inside it rolls back only its own statements; the transaction goes on
    r->changes->setCells({{1, r->column(QStringLiteral("u")), QStringLiteral("u1")}});
    out = r->save(*conn);
    EXPECT_FALSE(out.saved);
    EXPECT_EQ(conn->inTransaction(), std::optional<bool>(true));
    EXPECT_FALSE(conn->transactionAborted());
    conn->exec(QStringLiteral("COMMIT"));
    EXPECT_EQ(cellNow(1, QStringLiteral("Mixed Case")), QStringLiteral("in transaction"));
    EXPECT_EQ(cellNow(2, QStringLiteral("u")), QStringLiteral("u2"));
}

INSTANTIATE_TEST_SUITE_P(Backends, EditSaveTest, ::testing::ValuesIn(kEditBackends), byLabel);
