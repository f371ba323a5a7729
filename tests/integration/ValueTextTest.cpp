// Every value reads as the server's own text: sqlqe-run's export cells are
// compared byte for byte with what psql -At and mariadb -B (with
// --binary-as-hex) print for the same query, type by type, and the text
// mode shows each of those values whole.
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "support/RunnerProcess.h"
#include "support/TestServers.h"

#include <gtest/gtest.h>

namespace {

RunnerOutcome runner(const QString& cs, const QString& mode, const QString& script) {
    return runRunner({QStringLiteral("--connect"), cs, mode}, script.toUtf8());
}

// The cells of one line of the grid's export format: each in double quotes,
// quotes inside doubled.
QStringList exportLine(const QString& line, QChar separator) {
    QStringList cells;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted && c == QLatin1Char('"')) {
            if (i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                cell += c;
                ++i;
            } else {
                quoted = false;
            }
        } else if (!quoted && c == QLatin1Char('"')) {
            quoted = true;
        } else if (!quoted && c == separator) {
            cells << cell;
            cell.clear();
        } else {
            cell += c;
        }
    }
    cells << cell;
    return cells;
}

// The cells of the last result set of an export: the header row's names
// and the data rows' values (the record number dropped).
struct Cells {
    QStringList names;
    std::vector<QStringList> rows;
};
Cells exportCells(const QString& tsv) {
    Cells cells;
    for (const QString& line : tsv.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        QStringList fields = exportLine(line, QLatin1Char('\t'));
        const bool header = fields.value(0).isEmpty();
        fields.removeFirst();
        if (header) {
            cells.names = fields;
            cells.rows.clear();
        } else {
            cells.rows.push_back(fields);
        }
    }
    return cells;
}

// The rows a command-line client printed, tab-separated.
std::vector<QStringList> cliRows(const QString& out) {
    std::vector<QStringList> rows;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        rows.push_back(line.split(QLatin1Char('\t')));
    return rows;
}

void expectSameValues(const QString& cs, const QString& script, const std::vector<QStringList>& cli) {
    const RunnerOutcome tsv = runner(cs, QStringLiteral("--tsv"), script);
    ASSERT_EQ(tsv.code, 0) << qPrintable(tsv.err);
    const Cells ours = exportCells(tsv.outText());
    ASSERT_EQ(ours.rows.size(), cli.size()) << tsv.out.constData();
    const RunnerOutcome text = runner(cs, QStringLiteral("--text"), script);
    ASSERT_EQ(text.code, 0) << qPrintable(text.err);
    for (size_t r = 0; r < cli.size(); ++r) {
        ASSERT_EQ(ours.rows[r].size(), cli[r].size()) << tsv.out.constData();
        for (qsizetype c = 0; c < cli[r].size(); ++c) {
            SCOPED_TRACE(ours.names.value(c).toStdString());
            EXPECT_EQ(ours.rows[r][c], cli[r][c]);
            // the text mode's column holds it whole
            EXPECT_TRUE(text.outText().contains(cli[r][c])) << qPrintable(cli[r][c]);
        }
    }
}

} // namespace

TEST(ValueText, PostgresValuesReadAsPsqlPrintsThem) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kPostgres, cs);
    const QString psqlConninfo = qEnvironmentVariable("SQLQE_TEST_PG_PSQL");
    if (psqlConninfo.isEmpty()) GTEST_SKIP() << "SQLQE_TEST_PG_PSQL is not set";
    auto conn = db::Connection::open(cs);
    conn->exec(QStringLiteral("DROP TYPE IF EXISTS vt_mood"));
    conn->exec(QStringLiteral("CREATE TYPE vt_mood AS ENUM ('happy', 'sad')"));
    const QString setup = QStringLiteral("SET timezone = 'America/New_York'");
    const QString query = QStringLiteral(
        "SELECT '2024-03-31 01:30+02'::timestamptz AS tstz, '2024-07-01 12:00:00.123456+05:30'::timestamptz "
        "AS tstz_frac,"
        " '13:14:15.5+02'::timetz AS ttz, '13:14:15.123456'::time AS tm, '1 year 2 mons 3 days "
        "04:05:06.7'::interval AS iv,"
        " 12345678901234567890.123456789::numeric AS num, 'NaN'::numeric AS nan, 1234.56::money AS m,"
        " '\\xdeadbeef'::bytea AS by, B'10101'::bit(5) AS bt, B'101'::varbit AS vb,"
        " 'A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11'::uuid AS u, '192.168.0.1/24'::inet AS ip, "
        "'10.0.0.0/8'::cidr AS net,"
        " '08:00:2b:01:02:03'::macaddr AS mac, ARRAY[1, 2, 3] AS ia, ARRAY['a b', 'c', NULL]::text[] AS ta,"
        " '{\"a\": [1, 2]}'::json AS j, '{\"b\": 1, \"a\": [1, 2]}'::jsonb AS jb, int4range(1, 10) AS r,"
        " tstzrange('2024-01-01', 'infinity') AS tr, 'infinity'::timestamp AS ts_inf,"
        " '-infinity'::timestamptz AS tstz_ninf, 'infinity'::date AS d_inf, '0044-03-15 12:00:00 "
        "BC'::timestamp AS bc,"
        " true AS t, false AS f, 1.5::float8 AS f8, 0.1::float4 AS f4, 1e-7::float8 AS small, 'sad'::vt_mood "
        "AS mood,"
        " point(1, 2) AS pt, 'text é 東京'::text AS txt, 'x'::char(3) AS ch, 42::int8 AS i8");
    const RunnerOutcome psql =
        runProgram(QStringLiteral("psql"),
                   {psqlConninfo, QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-A"),
                    QStringLiteral("-t"), QStringLiteral("-F"), QStringLiteral("\t"), QStringLiteral("-c"),
                    setup, QStringLiteral("-c"), query});
    ASSERT_EQ(psql.code, 0) << qPrintable(psql.err);
    expectSameValues(cs, setup + QStringLiteral(";\n") + query, cliRows(psql.outText()));
    conn->exec(QStringLiteral("DROP TYPE vt_mood"));
}

TEST(ValueText, MariaDbValuesReadAsTheMariadbClientPrintsThem) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kMariaDb, cs);
    auto conn = db::Connection::open(cs);
    conn->exec(QStringLiteral("DROP TABLE IF EXISTS vt_types"));
    conn->exec(QStringLiteral(
        "CREATE TABLE vt_types (dt6 DATETIME(6), tm TIME, tm3 TIME(3), y YEAR, bt BIT(5), dc DECIMAL(65,30),"
        " js JSON, g GEOMETRY, ts TIMESTAMP(3) NULL, d DATE, f FLOAT, dbl DOUBLE, bu BIGINT UNSIGNED, vb "
        "VARBINARY(8),"
        " en ENUM('a', 'bb'), st SET('x', 'y'), txt VARCHAR(20))"));
    conn->exec(
        QStringLiteral("INSERT INTO vt_types VALUES ('2024-02-29 13:14:15.123456', '-838:59:59', "
                       "'12:00:00.5', 2024, b'10101',"
                       " '12345678901234567890.123456789', '{\"k\": [1, 2]}', ST_GeomFromText('POINT(1 2)'), "
                       "'2024-02-29 13:14:15.5',"
                       " '0000-00-00', 1.5, 2.25e-300, 18446744073709551615, x'00ff', 'bb', 'x,y', 'é 東京'),"
                       " ('1000-01-01 00:00:00', '00:00:00', '-00:00:01.250', 1901, b'0', "
                       "'-0.000000000000000000000000000001',"
                       " '[]', ST_GeomFromText('LINESTRING(0 0,1 1)'), '1970-01-01 00:00:01', '9999-12-31', "
                       "-0.5, 1e300, 0, x'',"
                       " 'a', '', 'plain')"));
    const QString query =
        QStringLiteral("SELECT dt6, tm, tm3, y, bt, dc, js, ST_AsText(g) AS g, ts, d, f, dbl, bu, vb, en,"
                       " st, txt FROM vt_types ORDER BY y DESC");
    const db::ConnectionString parts(cs);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MYSQL_PWD"), parts.value(QStringLiteral("Pwd")).value_or(QString()));
    const RunnerOutcome cli =
        runProgram(QStringLiteral("mariadb"),
                   {QStringLiteral("--no-defaults"), QStringLiteral("-h"),
                    parts.value(QStringLiteral("Server")).value_or(QString()), QStringLiteral("-P"),
                    parts.value(QStringLiteral("Port")).value_or(QString()), QStringLiteral("-u"),
                    parts.value(QStringLiteral("Uid")).value_or(QString()), QStringLiteral("-B"),
                    QStringLiteral("-N"), QStringLiteral("--binary-as-hex"),
                    parts.value(QStringLiteral("Database")).value_or(QString()), QStringLiteral("-e"), query},
                   {}, env);
    ASSERT_EQ(cli.code, 0) << qPrintable(cli.err);
    expectSameValues(cs, query, cliRows(cli.outText()));
    conn->exec(QStringLiteral("DROP TABLE vt_types"));
}
