// The server backends, native and ODBC, against real PostgreSQL and MariaDB
// servers (started by scripts/test), and the SQLite ODBC driver on a real file.
#include "db/ConnectionString.h"
#include "db/Connection.h"
#include "support/TestServers.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

using namespace db;

namespace {

struct Dialect {
    const char* name;
    ServerUnderTest server;
    const char* backend;       // appended to the connection string
    const char* sleep30;       // a statement that runs for 30 s
    const char* longText;      // column type for a 10 MB value
    const char* createProc;    // a procedure or function named sqlqe_proc
    const char* dropProc;
};

#define SQLQE_PG_DIALECT(name, backend)                                                                     \
    {name, kPostgres, backend, "SELECT pg_sleep(30)", "TEXT",                                                  \
     "CREATE OR REPLACE FUNCTION sqlqe_proc(a integer) RETURNS integer AS 'SELECT a + 1' LANGUAGE SQL",        \
     "DROP FUNCTION IF EXISTS sqlqe_proc(integer)"}
#define SQLQE_MARIADB_DIALECT(name, backend)                                                                \
    {name, kMariaDb, backend, "SELECT SLEEP(30)", "LONGTEXT", "CREATE PROCEDURE sqlqe_proc(IN a INT) SELECT a + 1", \
     "DROP PROCEDURE IF EXISTS sqlqe_proc"}

const Dialect kDialects[] = {
    SQLQE_PG_DIALECT("PostgreSQL", ""),
    SQLQE_PG_DIALECT("PostgreSQL_ODBC", "Backend=ODBC;"),
    SQLQE_MARIADB_DIALECT("MariaDB", ""),
    SQLQE_MARIADB_DIALECT("MariaDB_ODBC", "Backend=ODBC;"),
};

// Readable test names in ctest output.
void PrintTo(const Dialect& d, std::ostream* os) { *os << d.name; }

QString rows(Cursor& c) {
    QStringList out;
    RowBlock b;
    while (c.fetch(b, 2))
        for (int r = 0; r < b.rowCount(); ++r) {
            QStringList cells;
            for (int k = 0; k < b.columnCount(); ++k) cells << (b.isNull(r, k) ? QStringLiteral("NULL") : b.string(r, k));
            out << cells.join(QLatin1Char('|'));
        }
    return out.join(QLatin1Char('\n'));
}

class ServerBackend : public ::testing::TestWithParam<Dialect> {
protected:
    void SetUp() override {
        SQLQE_REQUIRE_SERVER(GetParam().server, cs);
        cs += QLatin1String(GetParam().backend);
        conn = Connection::open(cs);
        conn->exec(QStringLiteral("DROP VIEW IF EXISTS sqlqe_v"));
        conn->exec(QStringLiteral("DROP TABLE IF EXISTS sqlqe_t"));
        conn->exec(QStringLiteral("DROP TABLE IF EXISTS sqlqe_empty"));
        conn->exec(QStringLiteral("CREATE TABLE sqlqe_t (id INTEGER, name VARCHAR(40), note %1)")
                       .arg(QLatin1String(GetParam().longText)));
        conn->exec(QStringLiteral("INSERT INTO sqlqe_t VALUES (1, 'one', NULL), (2, '', 'x'), (3, 'three', 'y')"));
    }
    const char* label() const { return GetParam().name; }
    QString cs;
    std::unique_ptr<Connection> conn;
};

} // namespace

TEST_P(ServerBackend, TwoResultSetsFromOneCall) {
    auto c = conn->execute(QStringLiteral("SELECT id FROM sqlqe_t ORDER BY id; SELECT name FROM sqlqe_t WHERE id = 3"));
    ASSERT_TRUE(c->hasRows());
    EXPECT_EQ(rows(*c), QStringLiteral("1\n2\n3"));
    ASSERT_TRUE(c->nextResult());
    ASSERT_TRUE(c->hasRows());
    EXPECT_EQ(rows(*c), QStringLiteral("three"));
    EXPECT_FALSE(c->nextResult());
}

TEST_P(ServerBackend, UpdateReportsRowsMatched) {
    auto c = conn->execute(QStringLiteral("UPDATE sqlqe_t SET id = id WHERE id >= 2"));
    EXPECT_FALSE(c->hasRows());
    EXPECT_EQ(c->recordsAffected(), 2);
    EXPECT_EQ(conn->execute(QStringLiteral("DELETE FROM sqlqe_t WHERE id > 100"))->recordsAffected(), 0);
}

TEST_P(ServerBackend, NullStaysApartFromEmptyText) {
    auto c = conn->execute(QStringLiteral("SELECT name, note FROM sqlqe_t ORDER BY id"));
    EXPECT_EQ(rows(*c), QStringLiteral("one|NULL\n|x\nthree|y"));
}

TEST_P(ServerBackend, NonAsciiRoundTripsThroughParametersAndLiterals) {
    const QString text = QStringLiteral("Grüße · 東京 · 🦀 · ñ");
    conn->exec(QStringLiteral("INSERT INTO sqlqe_t (id, name) VALUES (?, ?)"), {10, text});
    conn->exec(QStringLiteral("INSERT INTO sqlqe_t (id, name) VALUES (11, '%1')").arg(text));
    const Table t = conn->query(QStringLiteral("SELECT name FROM sqlqe_t WHERE id IN (10, 11) ORDER BY id"));
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0][0], text);
    EXPECT_EQ(t.rows[1][0], text);
    const Table found = conn->query(QStringLiteral("SELECT id FROM sqlqe_t WHERE name = ?"), {text});
    EXPECT_EQ(found.rows.size(), 2u);
}

TEST_P(ServerBackend, TenMegabyteValueAndLongValuesInsideBlocks) {
    QString big(10 * 1024 * 1024, QLatin1Char('a'));
    big[7] = QChar(0x00E9);
    conn->exec(QStringLiteral("UPDATE sqlqe_t SET note = ? WHERE id = 2"), {big});
    const Table t = conn->query(QStringLiteral("SELECT note FROM sqlqe_t WHERE id = 2"));
    ASSERT_EQ(t.rows.size(), 1u);
    EXPECT_EQ(t.rows[0][0]->size(), big.size());
    EXPECT_EQ(*t.rows[0][0], big);

    // values longer than the bound cell, mixed with short ones, across many rows
    const QString mid(3000, QChar(0x00FC));
    conn->exec(QStringLiteral("UPDATE sqlqe_t SET note = ? WHERE id <> 2"), {mid});
    auto c = conn->execute(QStringLiteral("SELECT id, note FROM sqlqe_t ORDER BY id"));
    RowBlock b;
    ASSERT_TRUE(c->fetch(b, 10));
    ASSERT_EQ(b.rowCount(), 3);
    EXPECT_EQ(b.string(0, 1), mid);
    EXPECT_EQ(b.string(1, 1).size(), big.size());
    EXPECT_EQ(b.string(2, 1), mid);
}

TEST_P(ServerBackend, ManyRowsArriveCompleteAndInOrder) {
    const QString gen = GetParam().server.envVar == kPostgres.envVar
                            ? QStringLiteral("SELECT g AS n, 'row ' || g AS label, g * 0.5 AS half FROM generate_series(1, 25000) g")
                            : QStringLiteral("SELECT seq AS n, concat('row ', seq) AS label, seq * 0.5 AS half FROM seq_1_to_25000");
    auto c = conn->execute(gen);
    RowBlock b;
    qint64 n = 0, sum = 0;
    while (c->fetch(b, 1000))
        for (int r = 0; r < b.rowCount(); ++r) {
            ++n;
            const qint64 v = b.string(r, 0).toLongLong();
            ASSERT_EQ(v, n) << "rows out of order";
            ASSERT_EQ(b.string(r, 1), QStringLiteral("row %1").arg(v));
            sum += v;
        }
    EXPECT_EQ(n, 25000);
    EXPECT_EQ(sum, 25000LL * 25001 / 2);
}

TEST_P(ServerBackend, SchemaListingsShowTablesViewsColumnsAndProcedures) {
    conn->exec(QStringLiteral("CREATE TABLE sqlqe_empty (code CHAR(3), amount DECIMAL(9,2))"));
    conn->exec(QStringLiteral("CREATE VIEW sqlqe_v AS SELECT id FROM sqlqe_t"));
    conn->exec(QLatin1String(GetParam().dropProc));
    conn->exec(QLatin1String(GetParam().createProc));

    const Table tables = conn->schema(Schema::Tables);
    QStringList seen;
    for (size_t r = 0; r < tables.rows.size(); ++r)
        seen << tables.text(r, QStringLiteral("TABLE_NAME")) + QLatin1Char(':') + tables.text(r, QStringLiteral("TABLE_TYPE"));
    EXPECT_TRUE(seen.contains(QStringLiteral("sqlqe_t:TABLE"))) << seen.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(seen.contains(QStringLiteral("sqlqe_v:VIEW")));

    const Table cols = conn->schema(Schema::Columns, {QString(), QStringLiteral("sqlqe_empty")});
    ASSERT_EQ(cols.rows.size(), 2u);
    EXPECT_EQ(cols.text(0, QStringLiteral("COLUMN_NAME")), QStringLiteral("code"));
    EXPECT_EQ(cols.text(0, QStringLiteral("TABLE_NAME")), QStringLiteral("sqlqe_empty"));
    EXPECT_EQ(cols.text(0, QStringLiteral("CHARACTER_MAXIMUM_LENGTH")), QStringLiteral("3"));
    EXPECT_TRUE(cols.text(0, QStringLiteral("DATA_TYPE")) == QStringLiteral("129") ||
                cols.text(0, QStringLiteral("DATA_TYPE")) == QStringLiteral("130"));

    const Table procs = conn->schema(Schema::Procedures);
    bool found = false;
    for (size_t r = 0; r < procs.rows.size(); ++r)
        found |= procs.text(r, QStringLiteral("PROCEDURE_NAME")).startsWith(QStringLiteral("sqlqe_proc"));
    EXPECT_TRUE(found);

    const Table cats = conn->schema(Schema::Catalogs);
    QStringList names;
    for (size_t r = 0; r < cats.rows.size(); ++r) names << cats.text(r, QStringLiteral("CATALOG_NAME"));
    EXPECT_TRUE(names.contains(conn->defaultDatabase())) << names.join(QLatin1Char(',')).toStdString();
}

TEST_P(ServerBackend, DefaultDatabaseSwitches) {
    const QString original = conn->defaultDatabase();
    EXPECT_FALSE(original.isEmpty());
    const bool pg = GetParam().server.envVar == kPostgres.envVar;
    // CREATE DATABASE cannot run inside a transaction block; each call is autocommit.
    try {
        conn->exec(QStringLiteral("CREATE DATABASE sqlqe_other"));
    } catch (const Error&) {
        // exists from an earlier run
    }
    conn->setDefaultDatabase(QStringLiteral("sqlqe_other"));
    EXPECT_EQ(conn->defaultDatabase(), QStringLiteral("sqlqe_other"));
    const QString current = conn->query(pg ? QStringLiteral("SELECT current_database()") : QStringLiteral("SELECT DATABASE()"))
                                .rows.at(0).at(0).value_or(QString());
    EXPECT_EQ(current, QStringLiteral("sqlqe_other"));
    conn->setDefaultDatabase(original);
    EXPECT_EQ(conn->defaultDatabase(), original);
}

TEST_P(ServerBackend, CancelFromAnotherThreadEndsASleepAndTheConnectionStaysUsable) {
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        conn->cancel();
    });
    QElapsedTimer timer;
    timer.start();
    bool threw = false;
    try {
        auto c = conn->execute(QLatin1String(GetParam().sleep30));
        if (c->hasRows()) {
            RowBlock b;
            c->fetch(b, 10);
        }
    } catch (const Error& e) {
        threw = true;
        EXPECT_TRUE(e.isCancel()) << e.what();
    }
    canceller.join();
    EXPECT_LT(timer.elapsed(), 2000) << label();
    // MariaDB ends SLEEP() early with a result instead of an error; what counts
    // is that the call returned quickly.
    if (GetParam().server.envVar == kPostgres.envVar) {
        EXPECT_TRUE(threw);
    }
    EXPECT_EQ(conn->query(QStringLiteral("SELECT 7")).rows.at(0).at(0), QStringLiteral("7"));
}

TEST_P(ServerBackend, ServerErrorCarriesNumberStateAndMessage) {
    try {
        conn->exec(QStringLiteral("SELECT * FROM sqlqe_no_such_table"));
        FAIL() << "must fail";
    } catch (const Error& e) {
        EXPECT_FALSE(e.sqlState().isEmpty());
        EXPECT_TRUE(e.description().contains(QStringLiteral("sqlqe_no_such_table"))) << e.what();
    }
}

TEST_P(ServerBackend, WrongPasswordIsAClearErrorWithThePasswordMasked) {
    ConnectionString bad(cs);
    const QString wrong = QStringLiteral("Wr0ng-Secret-123");
    bad.set(QStringLiteral("Pwd"), wrong);
    try {
        Connection::open(bad.toString());
        FAIL() << "must fail";
    } catch (const Error& e) {
        EXPECT_FALSE(e.description().contains(wrong)) << e.what();
        EXPECT_FALSE(e.description().contains(*ConnectionString(cs).value(QStringLiteral("Pwd"))));
        EXPECT_TRUE(e.description().contains(QStringLiteral("Cannot connect")));
    }
}

TEST_P(ServerBackend, DeadPortFailsQuickly) {
    ConnectionString dead(cs);
    dead.set(QStringLiteral("Port"), QStringLiteral("1"));
    QElapsedTimer timer;
    timer.start();
    EXPECT_THROW(Connection::open(dead.toString(), {3, false}), Error);
    EXPECT_LT(timer.elapsed(), 10000);
}

INSTANTIATE_TEST_SUITE_P(Servers, ServerBackend, ::testing::ValuesIn(kDialects),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OdbcBackend, GarbageAndUnknownDriverGiveClearErrors) {
    for (const char* s : {"this is not a connection string", "Driver={No Such Driver};Pwd=Hidden-999"}) {
        try {
            Connection::open(QLatin1String(s));
            ADD_FAILURE() << "must fail: " << s;
        } catch (const Error& e) {
            EXPECT_FALSE(e.description().isEmpty());
            EXPECT_FALSE(e.description().contains(QStringLiteral("Hidden-999")));
        }
    }
}

TEST(OdbcBackend, SqliteDriverRunsScriptsStatementByStatement) {
    QTemporaryDir dir;
    auto conn = Connection::open(QStringLiteral("Driver=SQLite3;Database=") + dir.filePath(QStringLiteral("o.db")));
    EXPECT_EQ(conn->providerName(), QStringLiteral("SQLite"));
    auto c = conn->execute(QStringLiteral("CREATE TABLE t(a INTEGER, b TEXT); INSERT INTO t VALUES (1, 'ä; not a split');"
                                          "INSERT INTO t VALUES (2, NULL); SELECT a, b FROM t; SELECT count(*) FROM t;"));
    EXPECT_FALSE(c->hasRows());
    ASSERT_TRUE(c->nextResult());
    EXPECT_EQ(c->recordsAffected(), 1);
    ASSERT_TRUE(c->nextResult());
    ASSERT_TRUE(c->nextResult());
    EXPECT_EQ(rows(*c), QStringLiteral("1|ä; not a split\n2|NULL"));
    ASSERT_TRUE(c->nextResult());
    EXPECT_EQ(rows(*c), QStringLiteral("2"));
    EXPECT_FALSE(c->nextResult());
}

// A MariaDB data source that names only its driver gets the driver options a
// string naming the driver gets: a script of several statements runs.
TEST(DataSourceBackend, AMariaDbDsnRunsMultiStatementScripts) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kMariaDb, cs);
    const ConnectionString server(cs);
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("odbc.ini"));
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("[sqlqe_maria]\nDriver=%1\nServer=%2\nPort=%3\nDatabase=%4\n")
                   .arg(*server.value("Driver"), *server.value("Server"), *server.value("Port"),
                        *server.value("Database"))
                   .toUtf8());
    file.close();
    qputenv("ODBCINI", ini.toLocal8Bit());

    auto conn = Connection::open(
        QStringLiteral("DSN=sqlqe_maria;Uid=%1;Pwd=%2").arg(*server.value("Uid"), quoteValue(*server.value("Pwd"))));
    EXPECT_EQ(conn->serverFamily(), ServerFamily::MariaDB);
    auto cursor = conn->execute(QStringLiteral("SELECT 1 AS a; SELECT 2 AS b"));
    EXPECT_EQ(readTable(*cursor).text(0, QStringLiteral("a")), QStringLiteral("1"));
    ASSERT_TRUE(cursor->nextResult());
    EXPECT_EQ(readTable(*cursor).text(0, QStringLiteral("b")), QStringLiteral("2"));
}
