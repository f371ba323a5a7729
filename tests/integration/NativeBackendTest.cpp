// The native PostgreSQL and MariaDB backends against the real servers:
// results shaped as the ODBC path shapes them (the values themselves are the
// server's own text, see ValueTextTest), rows that stream, notices, and
// calls left half read.
#include "db/Connection.h"
#include "db/MariaConnection.h"
#include "db/OdbcConnection.h"
#include "db/PgConnection.h"
#include "run/RunEngine.h"
#include "support/PeakMemory.h"
#include "support/RunCapture.h"
#include "support/TestServers.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <thread>

using namespace db;

namespace {

// The shape of every result of a call: each field's name, type and sizing,
// then per row which cells are NULL, or the count of a statement without
// rows. The precisions go to precisions, in order.
QString shape(Connection& conn, const QString& sql, std::vector<int>& precisions) {
    QString out;
    auto cursor = conn.execute(sql);
    do {
        if (!cursor->hasRows()) {
            out += QStringLiteral("affected %1\n").arg(cursor->recordsAffected());
            continue;
        }
        for (const Field& f : cursor->fields()) {
            out += QStringLiteral("field %1 type %2%3\n")
                       .arg(f.name)
                       .arg(int(f.type))
                       .arg(f.unsized ? QStringLiteral(" unsized") : QString());
            precisions.push_back(f.precision);
        }
        RowBlock b;
        while (cursor->fetch(b, 7))
            for (int r = 0; r < b.rowCount(); ++r) {
                for (int c = 0; c < b.columnCount(); ++c) out += b.isNull(r, c) ? QStringLiteral("<NULL>|") : QStringLiteral("v|");
                out += QLatin1Char('\n');
            }
    } while (cursor->nextResult());
    return out;
}

struct Case {
    const char* label;
    const ServerUnderTest* server;
    const char* setup; // statements run once, one at a time, separated by ";;"
    const char* queries[4];
};

const Case kCases[] = {
    {"PostgreSQL", &kPostgres,
     "DROP TABLE IF EXISTS nb_types;;"
     "CREATE TABLE nb_types (i2 int2, i4 int4, i8 int8, n numeric, n102 numeric(10,2), f4 float4, f8 float8,"
     " t text, vc varchar(20), vcx varchar, ch char(4), b bool, d date, tm time, ts timestamp(3), tstz timestamptz,"
     " by bytea, u uuid, j json, iv interval, arr int[]);;"
     "INSERT INTO nb_types VALUES (1, 2, 3, 12345678901234567890.5, 1.5, 0.1, 1e-7, 'text é 東京', 'vc', 'free',"
     " 'ab', true, '2024-02-29', '13:14:15.5', '2024-02-29 13:14:15.123', '2024-02-29 13:14:15+02',"
     " '\\xdeadbeef', 'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11', '{\"a\": 1}', '1 day 02:00', '{1,2,3}'),"
     " (-1, NULL, NULL, 'NaN', NULL, 'Infinity', -0.0, '', NULL, NULL, NULL, false, 'infinity', NULL,"
     " '-infinity', 'infinity', '', NULL, NULL, NULL, '{}'),"
     " (NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,"
     " NULL, NULL, NULL, NULL)",
     {"SELECT * FROM nb_types ORDER BY i2 NULLS LAST",
      "SELECT 1 AS a, 'lit' AS l, 1.5 AS n, ARRAY['x', 'yy'] AS arr, repeat('9', 40)::numeric AS big,"
      " NULL AS nothing, now() IS NOT NULL AS b, interval '5' minute AS im, timestamp '0044-03-15 12:00:00 BC' AS bc",
      "SELECT 1 AS first; UPDATE nb_types SET i2 = i2 WHERE i2 > 0; SELECT t, vc FROM nb_types WHERE false;"
      " SELECT count(*) AS c FROM nb_types",
      "SELECT i4, t FROM nb_types ORDER BY i2 NULLS LAST"}},
    {"MariaDB", &kMariaDb,
     "DROP TABLE IF EXISTS nb_types;;"
     "CREATE TABLE nb_types (ti TINYINT, tu TINYINT UNSIGNED, si SMALLINT, mi MEDIUMINT, i INT, iu INT UNSIGNED,"
     " bi BIGINT, bu BIGINT UNSIGNED, f FLOAT, d DOUBLE, dc DECIMAL(8,2), c CHAR(5), vc VARCHAR(40), tx TEXT,"
     " bn BINARY(3), vb VARBINARY(10), bl BLOB, dt DATE, tm TIME(3), dtm DATETIME, y YEAR, bt BIT(5),"
     " en ENUM('a','bb'), st SET('x','y'), js JSON, lat VARCHAR(10) CHARACTER SET latin1);;"
     "INSERT INTO nb_types VALUES (-1, 255, -2, 3, 4, 4000000000, -5, 18446744073709551615, 1.5, 2.25, 123.45,"
     " 'ab', 'vc é 東京', 'text', 'ab', x'00ff', x'deadbeef', '2024-02-29', '-12:00:00.5', '2024-02-29 13:14:15',"
     " 2024, b'10101', 'bb', 'x,y', '{\"k\": [1,2]}', 'lät'),"
     " (NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, '', NULL, '', NULL, NULL, NULL,"
     " '0000-00-00', NULL, NULL, NULL, NULL, NULL, '', NULL, NULL)",
     {"SELECT * FROM nb_types ORDER BY ti DESC",
      "SELECT 1 AS a, 'lit' AS l, 1.5 AS n, NULL AS nothing, 10/4 AS q, 1e300 AS big, x'41' AS b,"
      " REPEAT('x', 300) AS longer, CAST('2020-01-01' AS DATE) + INTERVAL 1 DAY AS d",
      "SELECT 1 AS first; UPDATE nb_types SET i = i; SELECT c FROM nb_types WHERE 1 = 0; SELECT COUNT(*) AS c"
      " FROM nb_types",
      "SELECT i, tx FROM nb_types ORDER BY ti DESC"}},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.label; }

class NativeAndOdbc : public ::testing::TestWithParam<Case> {};

} // namespace

TEST_P(NativeAndOdbc, ResultsAreShapedAlikeThroughEitherBackend) {
    QString cs;
    SQLQE_REQUIRE_SERVER(*GetParam().server, cs);
    auto native = Connection::open(cs);
    auto odbc = Connection::open(cs + QStringLiteral("Backend=ODBC;"));
    // the string decides the backend; the explicit key sends it back to ODBC
    EXPECT_TRUE(dynamic_cast<PgConnection*>(native.get()) || dynamic_cast<MariaConnection*>(native.get()));
    EXPECT_TRUE(dynamic_cast<OdbcConnection*>(odbc.get()));
    EXPECT_EQ(native->providerName(), odbc->providerName());
    EXPECT_EQ(native->serverVersion(), odbc->serverVersion());
    EXPECT_EQ(native->defaultDatabase(), odbc->defaultDatabase());
    for (const QString& s : QString::fromUtf8(GetParam().setup).split(QStringLiteral(";;"))) native->exec(s);
    for (const char* q : GetParam().queries) {
        const QString sql = QString::fromUtf8(q);
        std::vector<int> odbcWidths, nativeWidths;
        const QString viaOdbc = shape(*odbc, sql, odbcWidths);
        EXPECT_EQ(shape(*native, sql, nativeWidths), viaOdbc) << q;
        EXPECT_GT(viaOdbc.size(), 10);
        // as wide as the driver's, or wider where the server's text is (offsets, fractions, 0x)
        ASSERT_EQ(nativeWidths.size(), odbcWidths.size()) << q;
        for (size_t i = 0; i < nativeWidths.size(); ++i) EXPECT_GE(nativeWidths[i], odbcWidths[i]) << q << " field " << i;
    }
    native->exec(QStringLiteral("DROP TABLE nb_types"));
}

INSTANTIATE_TEST_SUITE_P(Servers, NativeAndOdbc, ::testing::ValuesIn(kCases), byLabel);

TEST(PostgresNative, NoticesReachTheMessagesAndACallLeftHalfReadLeavesTheConnectionUsable) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kPostgres, cs);
    RunCapture sink;
    const RunResult result =
        runScript(sink, cs,
                  QStringLiteral("DO $$ BEGIN RAISE NOTICE 'first %', 1; END $$; SELECT 2 AS two;"
                                 " DO $$ BEGIN RAISE NOTICE 'second'; END $$"));
    EXPECT_EQ(result.outcome, RunOutcome::Success) << result.closingMessage.toStdString();
    EXPECT_EQ(sink.notices, QStringLiteral("NOTICE:  first 1\r\nNOTICE:  second\r\n"));
    EXPECT_TRUE(sink.results.contains(QStringLiteral("two")));

    auto conn = Connection::open(cs);
    QElapsedTimer t;
    t.start();
    {
        auto big = conn->execute(QStringLiteral("SELECT a * 10000 + b, repeat('x', 100) FROM generate_series(0, 4999) a,"
                                                " generate_series(1, 10000) b"));
        RowBlock b;
        ASSERT_TRUE(big->fetch(b, 100));
        EXPECT_EQ(b.text(0, 0), "1");
        EXPECT_EQ(b.text(99, 0), "100");
        // a second call while the first still streams: the first gives way
        EXPECT_EQ(conn->query(QStringLiteral("SELECT 42")).rows.at(0).at(0), QStringLiteral("42"));
        EXPECT_FALSE(big->nextResult());
    }
    {
        auto big = conn->execute(QStringLiteral("SELECT a, b FROM generate_series(1, 5000) a, generate_series(1, 10000) b"));
        RowBlock b;
        ASSERT_TRUE(big->fetch(b, 100));
    } // dropped mid-stream: the server stops sending instead of the client reading it all
    EXPECT_LT(t.elapsed(), 3000); // fifty million rows each, were they read to the end
    EXPECT_EQ(conn->query(QStringLiteral("SELECT 'still here'")).rows.at(0).at(0), QStringLiteral("still here"));
}

TEST(MariaDbNative, FirstRowsArriveBeforeTheWholeResultAndMemoryStaysFlat) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kMariaDb, cs);
    auto conn = Connection::open(cs);
    const QString crossJoin = QStringLiteral("SELECT a.seq * 10000 + b.seq AS n, 'some text' AS t"
                                             " FROM seq_1_to_3000 a, seq_1_to_3000 b");
    const OwnPeakGrowth peak;
    QElapsedTimer t;
    t.start();
    {
        auto cursor = conn->execute(crossJoin);
        RowBlock b;
        ASSERT_TRUE(cursor->fetch(b, 1024));
        const qint64 firstRows = t.elapsed();
        EXPECT_EQ(b.rowCount(), 1024);
        // nine million rows would take seconds to read and hundreds of MB to hold
        EXPECT_LT(firstRows, 1500);
        std::this_thread::sleep_for(std::chrono::milliseconds(200)); // the server keeps producing meanwhile
    } // dropped mid-stream: the statement is killed, not read to its end
    EXPECT_LT(t.elapsed(), 4000);
    EXPECT_LT(peak.bytes(), 64 << 20);
    EXPECT_EQ(conn->query(QStringLiteral("SELECT 'still here'")).rows.at(0).at(0), QStringLiteral("still here"));
}

TEST(MariaDbNative, ARowLimitBoundsTheMemoryOfAHugeResult) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kMariaDb, cs);
    RunCapture sink;
    const OwnPeakGrowth peak;
    const RunResult result =
        runScript(sink, cs,
                  QStringLiteral("SELECT a.seq, b.seq, REPEAT('x', 50) FROM seq_1_to_2000 a, seq_1_to_1000 "
                                 "b; SELECT 'after' AS a"),
                  true, 10);
    EXPECT_EQ(result.rows, 10);
    EXPECT_TRUE(sink.results.contains(QStringLiteral("...Rowcount = 10...")));
    EXPECT_LT(peak.bytes(), 64 << 20); // the driver's way: two million rows held at once
}

// A query that makes its rows slowly: the first ones show while it runs,
// not after the thousands the column sizing reads ahead or a full block.
TEST(PostgresNative, ASlowProducersFirstRowsShowWhileItRuns) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kPostgres, cs);
    struct FirstRows : RunCapture {
        QElapsedTimer clock;
        qint64 firstRowsAt = -1;
        void textRows(Pane, std::shared_ptr<RowBlock>, const TextWidths&) override {
            if (firstRowsAt < 0) firstRowsAt = clock.elapsed();
        }
    } sink;
    sink.clock.start();
    // numeric without a declared precision: sized by the values of the first rows
    const RunResult result = runScript(sink, cs,
                                       QStringLiteral("SELECT x::numeric AS n, repeat('y', 3000) AS pad FROM generate_series(1, 150) x,"
                                                      " LATERAL (SELECT pg_sleep(0.02 + x * 0)) s"));
    EXPECT_EQ(result.outcome, RunOutcome::Success) << qPrintable(result.closingMessage);
    EXPECT_GE(sink.clock.elapsed(), 2500); // 150 rows at 20 ms each
    EXPECT_GE(sink.firstRowsAt, 0);
    EXPECT_LT(sink.firstRowsAt, 1000);
}

// The server's warnings reach the messages after their statement; one that
// put NULL where a value was says so (a 100 MB value over the packet limit
// used to read as an empty cell and plain Success).
TEST(MariaDbNative, ValuesReadWithBoundParametersShowAsTheyDoWithout) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kMariaDb, cs);
    auto conn = Connection::open(cs, {15, true});
    // the same row with and without a bound value: bytes as hex, text as text
    auto read = [&](const QString& sql, const Params& params) {
        QStringList cells;
        auto cursor = conn->execute(sql, params);
        RowBlock b;
        while (cursor->fetch(b, 10))
            for (int c = 0; c < b.columnCount(); ++c) cells << (b.isNull(0, c) ? QStringLiteral("<NULL>") : b.string(0, c));
        return cells;
    };
    const QStringList bound = read(QStringLiteral("SELECT ? AS p, x'00ff10' AS b, CAST(x'c3' AS BINARY(2)) AS bn,"
                                                  " 'é 東京' AS t, NULL AS n"),
                                   {QVariant(QStringLiteral("a'b"))});
    EXPECT_EQ(bound, (QStringList{"a'b", "0x00FF10", "0xC300", QStringLiteral("é 東京"), "<NULL>"}));
    EXPECT_EQ(bound.mid(1), read(QStringLiteral("SELECT 'a''b' AS p, x'00ff10' AS b, CAST(x'c3' AS BINARY(2)) AS bn,"
                                                " 'é 東京' AS t, NULL AS n"),
                                 {})
                                .mid(1));
}

TEST(MariaDbNative, WarningsReachTheMessagesAndANulledValueIsFlagged) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kMariaDb, cs);
    RunCapture sink;
    RunResult result = runScript(sink, cs, QStringLiteral("SELECT concat(repeat('x', 100 * 1024 * 1024), 'END') AS big"));
    EXPECT_EQ(result.outcome, RunOutcome::Success);
    EXPECT_TRUE(sink.notices.startsWith(QStringLiteral("Warning 1301: Result of repeat() was larger than max_allowed_packet")))
        << qPrintable(sink.notices);
    EXPECT_TRUE(sink.notices.contains(QStringLiteral("the server shows NULL for that value"))) << qPrintable(sink.notices);

    // an earlier statement's texts are gone once the next one ran: its count is said
    sink = RunCapture();
    result = runScript(sink, cs, QStringLiteral("SELECT 1 / 0 AS a; SELECT 2 AS b; SELECT 'x' + 1 AS c"));
    EXPECT_EQ(result.outcome, RunOutcome::Success);
    const QStringList lines = sink.notices.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << qPrintable(sink.notices);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("1 warning(s)"))) << qPrintable(lines[0]);
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Warning 1292: Truncated incorrect DOUBLE value: 'x'"))) << qPrintable(lines[1]);
}
