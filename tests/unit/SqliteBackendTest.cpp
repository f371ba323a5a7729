// The native SQLite backend on real database files.
#include "db/Connection.h"
#include "support/Files.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

using namespace db;

namespace {

class SqliteBackend : public ::testing::Test {
protected:
    void SetUp() override {
        file = dir.filePath(QStringLiteral("t.db"));
        conn = Connection::open(QStringLiteral("Provider=SQLite;Data Source=") + file, {15, true});
    }
    // All rows of the current result set as text ("NULL" for NULL), rows joined by '\n'.
    static QString dump(Cursor& c) {
        QStringList rows;
        RowBlock b;
        while (c.fetch(b, 3))
            for (int r = 0; r < b.rowCount(); ++r) {
                QStringList cells;
                for (int k = 0; k < b.columnCount(); ++k)
                    cells << (b.isNull(r, k) ? QStringLiteral("NULL") : b.string(r, k));
                rows << cells.join(QLatin1Char('|'));
            }
        return rows.join(QLatin1Char('\n'));
    }
    QTemporaryDir dir;
    QString file;
    std::unique_ptr<Connection> conn;
};

} // namespace

TEST_F(SqliteBackend, WalksEveryResultSetOfOneCallInOrder) {
    auto c = conn->execute(QStringLiteral("CREATE TABLE t(a INTEGER, b VARCHAR(20));"
                                          "INSERT INTO t VALUES (1,'x'),(2,'y'),(3,NULL);"
                                          "-- a comment between statements\n"
                                          "SELECT a, b FROM t ORDER BY a; SELECT count(*) AS n FROM t;"
                                          "UPDATE t SET a = a + 10 WHERE a > 1;"));
    EXPECT_FALSE(c->hasRows()); // CREATE
    EXPECT_EQ(c->recordsAffected(), 0);
    ASSERT_TRUE(c->nextResult());
    EXPECT_EQ(c->recordsAffected(), 3); // INSERT
    ASSERT_TRUE(c->nextResult());
    ASSERT_TRUE(c->hasRows());
    EXPECT_EQ(dump(*c), QStringLiteral("1|x\n2|y\n3|NULL"));
    ASSERT_TRUE(c->nextResult());
    EXPECT_EQ(c->fields()[0].name, QStringLiteral("n"));
    EXPECT_EQ(dump(*c), QStringLiteral("3"));
    ASSERT_TRUE(c->nextResult());
    EXPECT_EQ(c->recordsAffected(), 2); // UPDATE
    EXPECT_FALSE(c->nextResult());
}

TEST_F(SqliteBackend, ClosedResultRefusesRowsWithTheClosedNumber) {
    auto c = conn->execute(QStringLiteral("CREATE TABLE t(a)"));
    RowBlock b;
    try {
        c->fetch(b, 10);
        FAIL() << "fetch on a closed result must throw";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), Error::Kind::ClosedResult);
    }
}

TEST_F(SqliteBackend, AnErrorStopsTheScriptAndKeepsEarlierEffects) {
    conn->exec(QStringLiteral("CREATE TABLE t(a)"));
    auto c = conn->execute(QStringLiteral("INSERT INTO t VALUES (1); SELEC oops; INSERT INTO t VALUES (2);"));
    try {
        c->nextResult();
        FAIL() << "the syntax error must be reported";
    } catch (const Error& e) {
        EXPECT_NE(e.number(), 0);
        EXPECT_TRUE(e.description().contains(QStringLiteral("syntax error"))) << e.what();
    }
    EXPECT_FALSE(c->nextResult());
    EXPECT_EQ(conn->query(QStringLiteral("SELECT count(*) FROM t")).rows[0][0], QStringLiteral("1"));
}

TEST_F(SqliteBackend, NullEmptyNonAsciiAndBlobValues) {
    conn->exec(QStringLiteral("CREATE TABLE t(s TEXT, b BLOB)"));
    const QString text = QStringLiteral("Grüße, 東京, emoji 🦀 and \"quotes\" 'too'");
    conn->exec(QStringLiteral("INSERT INTO t VALUES (?, ?), (?, NULL), (NULL, x'00ff10')"),
               {text, QByteArray("\x01\x02", 2), QString(QLatin1String(""))});
    auto c = conn->execute(QStringLiteral("SELECT s, b FROM t"));
    RowBlock b;
    ASSERT_TRUE(c->fetch(b, 10));
    ASSERT_EQ(b.rowCount(), 3);
    EXPECT_EQ(b.string(0, 0), text);
    EXPECT_FALSE(b.isNull(1, 0));
    EXPECT_EQ(b.string(1, 0), QString());
    EXPECT_TRUE(b.isNull(1, 1));
    EXPECT_TRUE(b.isNull(2, 0));
    EXPECT_EQ(b.string(2, 1), QStringLiteral("00FF10"));
}

TEST_F(SqliteBackend, TenMegabyteValueRoundTrips) {
    QString big(10 * 1024 * 1024, QLatin1Char('x'));
    big[5] = QChar(0x00E9);
    conn->exec(QStringLiteral("CREATE TABLE t(v TEXT)"));
    conn->exec(QStringLiteral("INSERT INTO t VALUES (?)"), {big});
    const Table t = conn->query(QStringLiteral("SELECT v FROM t"));
    ASSERT_EQ(t.rows.size(), 1u);
    EXPECT_EQ(t.rows[0][0]->size(), big.size());
    EXPECT_EQ(*t.rows[0][0], big);
}

TEST_F(SqliteBackend, FieldsCarryTypeNumbersPrecisionAndSize) {
    conn->exec(QStringLiteral("CREATE TABLE t(i INTEGER, n VARCHAR(40), d DECIMAL(10,2), r REAL, ts DATETIME, x)"));
    auto c = conn->execute(QStringLiteral("SELECT i, n, d, r, ts, x, 1 + 1 AS e, 'lit' AS l FROM t"));
    const auto& f = c->fields();
    ASSERT_EQ(f.size(), 8u);
    EXPECT_EQ(int(f[0].type), 3);
    EXPECT_EQ(f[0].precision, 10);
    EXPECT_EQ(int(f[1].type), 202);
    EXPECT_EQ(f[1].precision, 40);
    EXPECT_EQ(f[1].definedSize, 40);
    EXPECT_EQ(int(f[2].type), 131);
    EXPECT_EQ(f[2].precision, 10);
    EXPECT_EQ(int(f[3].type), 5);
    EXPECT_EQ(int(f[4].type), 135);
    EXPECT_EQ(f[5].precision, 255); // no declared type: text of unknown size
    EXPECT_EQ(f[7].precision, 255);
}

TEST_F(SqliteBackend, SchemaListingsUseTheCatalogueColumnNames) {
    conn->exec(QStringLiteral("CREATE TABLE people(id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT NOT NULL)"));
    conn->exec(QStringLiteral("CREATE TABLE empty_one(code CHAR(3))"));
    conn->exec(QStringLiteral("CREATE VIEW names AS SELECT name FROM people"));
    const Table tables = conn->schema(Schema::Tables);
    QStringList seen;
    for (size_t r = 0; r < tables.rows.size(); ++r)
        seen << tables.text(r, QStringLiteral("TABLE_NAME")) + QLatin1Char(':') + tables.text(r, QStringLiteral("TABLE_TYPE"));
    EXPECT_TRUE(seen.contains(QStringLiteral("people:TABLE"))) << seen.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(seen.contains(QStringLiteral("names:VIEW")));
    EXPECT_TRUE(seen.contains(QStringLiteral("sqlite_sequence:SYSTEM TABLE")));
    EXPECT_TRUE(seen.contains(QStringLiteral("sqlite_schema:SYSTEM TABLE")));

    const Table cols = conn->schema(Schema::Columns, {QString(), QStringLiteral("empty_one")});
    ASSERT_EQ(cols.rows.size(), 1u);
    EXPECT_EQ(cols.text(0, QStringLiteral("COLUMN_NAME")), QStringLiteral("code"));
    EXPECT_EQ(cols.text(0, QStringLiteral("DATA_TYPE")), QStringLiteral("129"));
    EXPECT_EQ(cols.text(0, QStringLiteral("CHARACTER_MAXIMUM_LENGTH")), QStringLiteral("3"));

    const Table cats = conn->schema(Schema::Catalogs);
    ASSERT_EQ(cats.rows.size(), 1u);
    EXPECT_EQ(cats.text(0, QStringLiteral("CATALOG_NAME")), QStringLiteral("main"));
    EXPECT_TRUE(conn->schema(Schema::Procedures).rows.empty());
    EXPECT_EQ(conn->schema(Schema::Procedures).column(QStringLiteral("PROCEDURE_NAME")), 2);
}

TEST_F(SqliteBackend, DefaultDatabaseIsMainAndSwitchesToAttachedOnes) {
    EXPECT_EQ(conn->defaultDatabase(), QStringLiteral("main"));
    EXPECT_EQ(conn->providerName(), QStringLiteral("SQLite"));
    conn->exec(QStringLiteral("ATTACH DATABASE ? AS other"), {dir.filePath(QStringLiteral("o.db"))});
    conn->setDefaultDatabase(QStringLiteral("other"));
    EXPECT_EQ(conn->defaultDatabase(), QStringLiteral("other"));
    EXPECT_THROW(conn->setDefaultDatabase(QStringLiteral("nope")), Error);
}

TEST_F(SqliteBackend, CancelFromAnotherThreadStopsALongQueryAndKeepsTheConnection) {
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        conn->cancel();
    });
    QElapsedTimer timer;
    timer.start();
    try {
        auto c = conn->execute(QStringLiteral(
            "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) SELECT count(*) FROM n"));
        RowBlock b;
        c->fetch(b, 1);
        ADD_FAILURE() << "the endless query must be cancelled";
    } catch (const Error& e) {
        EXPECT_TRUE(e.isCancel()) << e.what();
    }
    canceller.join();
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(conn->query(QStringLiteral("SELECT 42")).rows[0][0], QStringLiteral("42"));
}

TEST(SqliteOpen, ClearErrorsForMissingWrongAndEmptyTargets) {
    QTemporaryDir dir;
    auto expectError = [](const QString& cs, const char* fragment) {
        try {
            Connection::open(cs);
            ADD_FAILURE() << "opening must fail: " << cs.toStdString();
        } catch (const Error& e) {
            EXPECT_TRUE(e.description().contains(QLatin1String(fragment), Qt::CaseInsensitive))
                << e.description().toStdString();
        }
    };
    expectError(QStringLiteral("Provider=SQLite;Data Source=") + dir.filePath(QStringLiteral("missing.db")),
                "does not exist");
    expectError(QStringLiteral("Provider=SQLite"), "No database file");
    expectError(QString(), "empty");
    writeFile(dir.filePath(QStringLiteral("junk.db")), QByteArray(4096, 'j'));
    expectError(QStringLiteral("Provider=SQLite;Data Source=") + dir.filePath(QStringLiteral("junk.db")),
                "not a database");
}

// Numbers are written by the backend itself: the text must be SQLite's own
// (CAST(x AS TEXT) is SQLite's conversion) for every kind of value.
TEST_F(SqliteBackend, NumbersReadAsSqliteWritesThem) {
    conn->exec(QStringLiteral("CREATE TABLE n(x)"));
    const char* literals[] = {
        "0", "-0.0", "1", "-1", "9223372036854775807", "-9223372036854775808", "1.0", "0.5", "-2.25", "0.1", "1e15",
        "1e14", "123456789012345.0", "123456789012345.5", "1234567890123456.0", "0.0001", "0.00001", "1e-300",
        "4.9e-324", "1.7976931348623157e308", "1e999", "-1e999", "1e100", "2.5e-5", "100.0", "1.0/3", "2.0/3",
        "12345678.9", "0.30000000000000004", "999999999999999.5", "99999999999999.95", "1.05", "1.005"};
    for (const char* l : literals) conn->exec(QStringLiteral("INSERT INTO n VALUES (%1)").arg(QLatin1String(l)));
    // and a sweep of magnitudes and digits, halves and thirds among them
    conn->exec(QStringLiteral("WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < 20000)"
                              " INSERT INTO n SELECT CASE i % 6 WHEN 0 THEN i * 0.5 WHEN 1 THEN i / 3.0"
                              " WHEN 2 THEN (random() % 1000000000) * power(10.0, (i % 40) - 20)"
                              " WHEN 3 THEN i * 1.25e-7 WHEN 4 THEN 123456789012345.0 + i * 0.5"
                              " ELSE random() * 1.0 / (i + 7) END FROM s"));
    auto cursor = conn->execute(QStringLiteral("SELECT x, CAST(x AS TEXT), typeof(x) FROM n"));
    RowBlock b;
    int compared = 0;
    while (cursor->fetch(b, 1000))
        for (int r = 0; r < b.rowCount(); ++r, ++compared)
            ASSERT_EQ(b.string(r, 0), b.string(r, 1)) << "a value of type " << b.string(r, 2).toStdString();
    EXPECT_EQ(compared, 20000 + int(std::size(literals)));
}
