// Exports of hostile values from SQLite, PostgreSQL and MariaDB: the runner's
// --format output is byte for byte the file the editor saves from the same
// rows, every format reads back (standard parsers) as the values the server
// returned, and the INSERT statements put the same rows back on the server.
#include "db/Connection.h"
#include "export/QueryTable.h"
#include "export/ResultExport.h"
#include "run/ResultModel.h"
#include "support/ExportReadBack.h"
#include "support/Files.h"
#include "support/RunnerProcess.h"
#include "support/TestServers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace exports;

namespace {

// How one backend stores the test values.
struct Schema {
    const char* create; // %1: the table
    const char* insert; // id, text, number, time, bytes (hex, or raw for SQLite)
    bool rawBytes;      // the bytes are bound as bytes, not as hex text
    const char* number; // the longest exact number the type holds
    const char* time;
};

Schema schemaFor(const TestBackend& backend) {
    if (!backend.server)
        return {"CREATE TABLE %1(id INTEGER, t TEXT, n TEXT, ts TEXT, b BLOB)",
                "INSERT INTO %1 VALUES (?, ?, ?, ?, ?)", true, nullptr, "2024-02-29T13:45:10.5Z"};
    if (backend.server == &kPostgres)
        return {"CREATE TABLE %1(id integer, t text, n numeric, ts timestamptz, b bytea)",
                "INSERT INTO %1 VALUES (?, ?, CAST(? AS numeric), CAST(? AS timestamptz), decode(?, 'hex'))",
                false, nullptr, "2024-02-29 13:45:10.123456+02"};
    return {"CREATE TABLE %1(id int, t text, n decimal(65,30), ts datetime(6), b varbinary(64)) DEFAULT "
            "CHARSET=utf8mb4",
            "INSERT INTO %1 VALUES (?, ?, ?, ?, UNHEX(?))", false,
            "-12345678901234567890123456789012345.123456789012345678901234567890",
            "2024-02-29 13:45:10.123456"};
}

struct Fetched {
    std::vector<db::Field> fields;
    std::shared_ptr<db::RowBlock> block = std::make_shared<db::RowBlock>();
    Rows rows;
};

Fetched fetch(db::Connection& conn, const QString& sql) {
    Fetched f;
    auto cursor = conn.execute(sql);
    f.fields = cursor->fields();
    f.block->reset(int(f.fields.size()));
    while (cursor->appendRows(*f.block, 1000) > 0) {
    }
    for (int r = 0; r < f.block->rowCount(); ++r) {
        std::vector<Cell> row;
        for (int c = 0; c < f.block->columnCount(); ++c)
            row.push_back(f.block->isNull(r, c) ? Cell() : Cell(f.block->string(r, c)));
        f.rows.push_back(std::move(row));
    }
    return f;
}

class ExportServers : public testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        SQLQE_REQUIRE_BACKEND(GetParam(), dir.filePath(QStringLiteral("export.db")), cs);
        conn = db::Connection::open(cs, {15, false});
        schema = schemaFor(GetParam());
        for (const char* table : {"export_hostile", "export_copy"}) {
            conn->execute(QStringLiteral("DROP TABLE IF EXISTS %1").arg(QLatin1String(table)));
            conn->execute(QString::fromUtf8(schema.create).arg(QLatin1String(table)));
        }
        const QStringList numbers = {schema.number ? QString::fromUtf8(schema.number) : longNumber(),
                                     QStringLiteral("1.50"), QStringLiteral("-0.001"), QStringLiteral("0")};
        const QStringList bytes = {QStringLiteral("00FF2722"), QString(), QStringLiteral("5C")};
        const QString insert = QString::fromUtf8(schema.insert).arg(QStringLiteral("export_hostile"));
        for (int i = 0; i <= hostileTexts().size(); ++i) {
            const bool nulls = i == hostileTexts().size(); // a last row of NULLs
            const QString hex = bytes[i % bytes.size()];
            const QVariant b = nulls || i % 4 == 3 ? QVariant()
                               : schema.rawBytes   ? QVariant(QByteArray::fromHex(hex.toLatin1()))
                                                   : QVariant(hex);
            conn->execute(insert, {i + 1, nulls ? QVariant() : QVariant(hostileTexts()[i]),
                                   nulls ? QVariant() : QVariant(numbers[i % numbers.size()]),
                                   nulls ? QVariant() : QVariant(QString::fromUtf8(schema.time)), b});
        }
        server = fetch(*conn, QString::fromUtf8(kQuery));
        options.dialect = SqlDialect::forServer(conn->serverFamily(), conn->identifierQuote());
        options.tableName = tableNameFromQuery(QString::fromUtf8(kQuery));
        grid.reset(server.fields);
        grid.appendRows(server.block);
    }

    static constexpr const char* kQuery = "SELECT * FROM export_hostile ORDER BY id";
    QTemporaryDir dir;
    QString cs;
    std::unique_ptr<db::Connection> conn;
    Schema schema{};
    Fetched server;
    ResultModel grid;
    ExportOptions options;
};

TEST_P(ExportServers, RunnerPrintsTheEditorsFileAndParsersReadTheServersValues) {
    if (!canReadBack()) GTEST_SKIP() << "needs /usr/bin/python3 with openpyxl (scripts/install-deps)";
    // the text values came back from the server exactly as they went in
    for (int i = 0; i < hostileTexts().size(); ++i)
        ASSERT_EQ(server.rows[size_t(i)][1], hostileTexts()[i]);
    for (Format format : {Format::Csv, Format::Tsv, Format::Json, Format::JsonLines, Format::Markdown,
                          Format::Html, Format::SqlInsert}) {
        const QString name = info(format).name;
        const RunnerOutcome ran =
            runRunner({QStringLiteral("--connect"), cs, QStringLiteral("--format"), name}, kQuery);
        ASSERT_EQ(ran.code, 0) << name.toStdString() << ": " << ran.err.toStdString();
        const QString saved = dir.filePath(QStringLiteral("saved.") + info(format).extension);
        ASSERT_TRUE(writeResultFile(grid, saved, format, options).ok());
        EXPECT_EQ(ran.out, readFile(saved)) << name.toStdString() << ": the runner and the editor differ";
        if (format != Format::SqlInsert) expectReadsBack(name, saved, server.fields, server.rows);
    }
    const QString workbook = dir.filePath(QStringLiteral("saved.xlsx"));
    ASSERT_TRUE(writeResultFile(grid, workbook, Format::Xlsx, options).ok());
    expectReadsBack(QStringLiteral("xlsx"), workbook, server.fields, server.rows);
}

TEST_P(ExportServers, InsertStatementsPutTheSameRowsBack) {
    const RunnerOutcome inserts =
        runRunner({QStringLiteral("--connect"), cs, QStringLiteral("--format"), QStringLiteral("sql-insert"),
                   QStringLiteral("--table"), QStringLiteral("export_copy")},
                  kQuery);
    ASSERT_EQ(inserts.code, 0) << inserts.err.toStdString();
    const RunnerOutcome loaded = runRunner({QStringLiteral("--connect"), cs}, inserts.out);
    ASSERT_EQ(loaded.code, 0) << loaded.err.toStdString();
    EXPECT_EQ(fetch(*conn, QStringLiteral("SELECT * FROM export_copy ORDER BY id")).rows, server.rows);
}

INSTANTIATE_TEST_SUITE_P(Backends, ExportServers, testing::ValuesIn(kTestBackends), byLabel);

TEST(RunnerFormats, SeveralResultSetsAndWrongOptions) {
    QTemporaryDir dir;
    const QString cs = newSqliteConnectionString(dir.filePath(QStringLiteral("a.db")));
    const QByteArray script = "SELECT 1 AS a, 'x' AS b; CREATE TABLE IF NOT EXISTS t(c); SELECT 2.5 AS c";
    auto run = [&](QStringList args) {
        return runRunner(QStringList{QStringLiteral("--connect"), cs} + args, script);
    };
    // JSON: one array per result set, each on its own lines (jq reads them one after the other)
    const RunnerOutcome json = run({QStringLiteral("--format"), QStringLiteral("json")});
    EXPECT_EQ(json.out, "[\n{\"a\":1,\"b\":\"x\"}\n]\n[\n{\"c\":2.5}\n]\n");
    EXPECT_TRUE(json.err.contains(QStringLiteral("0 Row(s) affected."))); // messages stay off stdout
    EXPECT_EQ(run({QStringLiteral("--format"), QStringLiteral("csv")}).out, "a,b\n1,x\n\nc\n2.5\n");
    const RunnerOutcome sql = run({QStringLiteral("--format"), QStringLiteral("sql-insert")});
    EXPECT_EQ(sql.out,
              "INSERT INTO result (a, b) VALUES (1, 'x');\n\nINSERT INTO result (c) VALUES (2.5);\n");
    EXPECT_TRUE(sql.err.contains(QStringLiteral("--table NAME")));
    for (const QStringList& bad : {QStringList{"--format", "yaml"}, QStringList{"--format", "csv", "--tsv"},
                                   QStringList{"--table", "t"}, QStringList{"--format", "xlsx"}}) {
        const RunnerOutcome refused = run(bad);
        EXPECT_EQ(refused.code, 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(refused.out.isEmpty());
    }
}

} // namespace
