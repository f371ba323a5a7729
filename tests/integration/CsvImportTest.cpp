// CSV files imported into each backend through its own fast path: quotes,
// line breaks inside fields and UTF-8 arrive as they were; a bad row stops
// the import with its line and leaves nothing behind, or is skipped and
// listed; a stop leaves nothing either; an existing table takes the fields
// by name; sqlqe-run --import does the same; a million rows arrive whole.
#include "db/Connection.h"
#include "import/CsvImport.h"
#include "support/Files.h"
#include "support/RunnerProcess.h"
#include "support/TestServers.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int kRows = 3000;
constexpr int kBadRecord = 2500; // after the rows the types are guessed from

// Line of the file where record n (from 1, after the header) starts: records
// 1, 11, 21, … hold a line break inside a quoted field.
qint64 lineOf(int n) { return 1 + n + (n + 8) / 10; }

// id, a name with quotes, commas, line breaks and UTF-8, an amount, a date.
QByteArray hostileFile(bool withBadRow) {
    QByteArray out = "id,name,amount,day\r\n";
    for (int n = 1; n <= kRows; ++n) {
        const QByteArray id = withBadRow && n == kBadRecord ? QByteArray("x") : QByteArray::number(n);
        QByteArray name = "\"Zoë \"\"" + QByteArray::number(n) + "\"\", 😀";
        if (n % 10 == 1) name += "\r\nsecond line";
        name += "\"";
        out += id + "," + name + "," + QByteArray::number(n) + ".25," + (n % 7 ? "2024-02-29" : "") + "\r\n";
    }
    return out;
}

// The big file: a million records on every server (PostgreSQL's import of
// a whole file sends it unparsed; the others parse every record).
constexpr int kBigRows = 1000000;
int bigBad(int rows) { return rows - 1000; } // near the end, a record that spans two lines

// Line where record n of bigFile starts: every hundredth record holds a
// line break inside a quoted field.
qint64 bigLineOf(int n) { return 1 + n + (n - 1) / 100; }
double bigAmount(int n) { return n % 1000 + 0.25; }

// rows records of quotes, commas, line breaks, UTF-8 and emoji; record
// bigBad(rows) has "x" for its id.
QByteArray bigFile(int rows) {
    QByteArray out = "id,name,amount\n";
    out.reserve(48 * rows);
    for (int n = 1; n <= rows; ++n) {
        out += n == bigBad(rows) ? QByteArray("x") : QByteArray::number(n);
        out += ",\"Zoë \"\"";
        out += QByteArray::number(n % 5000);
        out += n % 100 ? "\"\", 😀 café\"," : "\"\", 😀\nnext line\",";
        out += QByteArray::number(n % 1000);
        out += ".25\n";
    }
    return out;
}

class CsvImportTest : public ::testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        SQLQE_REQUIRE_BACKEND(GetParam(), dir.filePath(QStringLiteral("i.db")), cs);
        conn = db::Connection::open(cs);
        conn->exec(QStringLiteral("DROP TABLE IF EXISTS imp_t"));
        file = dir.filePath(QStringLiteral("in.csv"));
    }
    void TearDown() override {
        if (conn) conn->exec(QStringLiteral("DROP TABLE IF EXISTS imp_t"));
    }

    // A request for the file as the dialog would make it.
    csv::ImportRequest request(bool create, const QStringList& existing = {}) {
        const csv::Preview p = csv::readPreview(file, std::nullopt, 100, 1000);
        EXPECT_TRUE(p.error.isEmpty()) << p.error.toStdString();
        csv::ImportRequest r;
        r.connectionString = cs;
        r.file = file;
        r.format = p.format;
        r.fieldCount = int(p.fieldNames.size());
        r.table = QStringLiteral("imp_t");
        r.createTable = create;
        r.columns = create ? csv::newTableColumns(p) : csv::existingTableColumns(p, existing);
        r.batchRows = 700;
        return r;
    }
    bool tableExists() {
        try {
            conn->query(QStringLiteral("SELECT count(*) FROM imp_t"));
            return true;
        } catch (const db::Error&) {
            return false;
        }
    }
    QString cell(const QString& sql) { return conn->query(sql).rows.at(0).at(0).value_or(QStringLiteral("NULL")); }

    QTemporaryDir dir;
    QString cs, file;
    std::unique_ptr<db::Connection> conn;
};

} // namespace

TEST_P(CsvImportTest, HostileContentArrivesAsItWas) {
    writeFile(file, hostileFile(false));
    csv::CsvImport import(request(true));
    const csv::ImportResult r = import.run();
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(r.rows, kRows);
    EXPECT_EQ(r.message, QStringLiteral("%1 rows imported into imp_t.").arg(kRows));
    EXPECT_EQ(cell(QStringLiteral("SELECT count(*) FROM imp_t")), QString::number(kRows));
    EXPECT_EQ(cell(QStringLiteral("SELECT name FROM imp_t WHERE id = 11")),
              QStringLiteral("Zoë \"11\", 😀\r\nsecond line"));
    EXPECT_EQ(cell(QStringLiteral("SELECT name FROM imp_t WHERE id = 12")), QStringLiteral("Zoë \"12\", 😀"));
    EXPECT_EQ(cell(QStringLiteral("SELECT day FROM imp_t WHERE id = 14")), QStringLiteral("NULL")); // empty: NULL
    EXPECT_EQ(cell(QStringLiteral("SELECT sum(amount) FROM imp_t")).toDouble(), kRows * (kRows + 1) / 2 + kRows * 0.25);
}

TEST_P(CsvImportTest, ABadRowStopsTheImportWithItsLineAndLeavesNothing) {
    writeFile(file, hostileFile(true));
    csv::CsvImport import(request(true));
    const csv::ImportResult r = import.run();
    EXPECT_EQ(r.outcome, csv::ImportResult::Outcome::Failed);
    EXPECT_TRUE(r.message.startsWith(QStringLiteral("Line %1: ").arg(lineOf(kBadRecord)))) << r.message.toStdString();
    EXPECT_TRUE(r.message.endsWith(QStringLiteral("Nothing was imported."))) << r.message.toStdString();
    EXPECT_FALSE(tableExists()); // the table the import made is gone too
}

TEST_P(CsvImportTest, BadRowsCanBeSkippedAndListed) {
    QByteArray data = hostileFile(true);
    data += "9999,too,many,fields,here\r\n";
    writeFile(file, data);
    csv::ImportRequest req = request(true);
    req.skipBadRows = true;
    csv::CsvImport import(req);
    const csv::ImportResult r = import.run();
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(r.rows, kRows - 1);
    ASSERT_EQ(r.badRows.size(), 2u);
    EXPECT_EQ(r.badRows[0].line, lineOf(kBadRecord));
    EXPECT_EQ(r.badRows[1].line, lineOf(kRows + 1));
    EXPECT_EQ(r.badRows[1].message, QStringLiteral("5 fields where 4 were expected."));
    EXPECT_EQ(cell(QStringLiteral("SELECT count(*) FROM imp_t")), QString::number(kRows - 1));
}

TEST_P(CsvImportTest, AStoppedImportLeavesNothing) {
    writeFile(file, hostileFile(false));
    conn->exec(QStringLiteral("CREATE TABLE imp_t (id INTEGER, name VARCHAR(60), amount NUMERIC(12,2), day DATE)"));
    csv::CsvImport import(request(false, {"id", "name", "amount", "day"}));
    const csv::ImportResult r = import.run([&](const csv::ImportProgress& p) {
        EXPECT_GT(p.bytesRead, 0);
        import.stop(); // after the first batch; on PostgreSQL, while the file's bytes go
    });
    EXPECT_EQ(r.outcome, csv::ImportResult::Outcome::Stopped) << r.message.toStdString();
    EXPECT_EQ(cell(QStringLiteral("SELECT count(*) FROM imp_t")), QStringLiteral("0"));
    EXPECT_TRUE(tableExists()); // a table that was there stays
}

TEST_P(CsvImportTest, AnExistingTableTakesTheFieldsByName) {
    writeFile(file, "Day,ID,unused\n2024-01-02,7,x\n,8,y\n");
    conn->exec(QStringLiteral("CREATE TABLE imp_t (id INTEGER, note VARCHAR(10) DEFAULT 'kept', day DATE)"));
    csv::CsvImport import(request(false, {"id", "note", "day"}));
    const csv::ImportResult r = import.run();
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(cell(QStringLiteral("SELECT note FROM imp_t WHERE id = 7")), QStringLiteral("kept"));
    EXPECT_EQ(cell(QStringLiteral("SELECT day FROM imp_t WHERE id = 7")), QStringLiteral("2024-01-02"));
    EXPECT_EQ(cell(QStringLiteral("SELECT day FROM imp_t WHERE id = 8")), QStringLiteral("NULL"));
}

TEST_P(CsvImportTest, TheRunnerImportsHeadless) {
    writeFile(file, hostileFile(false));
    const RunnerOutcome ok = runRunner({"--connect", cs, "--import", file, "--table", "imp_t"}, {});
    EXPECT_EQ(ok.code, 2) << "a script and --import do not go together";
    auto runImport = [&](QStringList extra) {
        return runRunnerArgs(QStringList{"--connect", cs, "--import", file, "--table", "imp_t"} + extra);
    };
    const RunnerOutcome imported = runImport({});
    EXPECT_EQ(imported.code, 0) << imported.err.toStdString();
    EXPECT_TRUE(imported.err.contains(QStringLiteral("%1 rows imported into imp_t.").arg(kRows)));
    writeFile(file, hostileFile(true)); // into the table now there: its columns by name
    const RunnerOutcome failed = runImport({});
    EXPECT_EQ(failed.code, 1);
    EXPECT_TRUE(failed.err.contains(QStringLiteral("Line %1: ").arg(lineOf(kBadRecord)))) << failed.err.toStdString();
    EXPECT_EQ(cell(QStringLiteral("SELECT count(*) FROM imp_t")), QString::number(kRows));
    const RunnerOutcome skipped = runImport({"--skip-bad-rows"});
    EXPECT_EQ(skipped.code, 0);
    EXPECT_EQ(cell(QStringLiteral("SELECT count(*) FROM imp_t")), QString::number(2 * kRows - 1));
    EXPECT_EQ(runImport({"--delimiter", "ab"}).code, 2);
}

// A million rows through each server's path (on PostgreSQL, the file as it
// is when bad rows stop the import, the parsed rows when they are skipped).
TEST_P(CsvImportTest, AMillionRowsWithABadOneStopOrSkipIt) {
    const int rows = kBigRows, bad = bigBad(rows);
    writeFile(file, bigFile(rows));
    csv::ImportRequest req = request(true);
    req.batchRows = csv::ImportRequest().batchRows;
    QElapsedTimer timer;
    timer.start();
    const csv::ImportResult stopped = csv::CsvImport(req).run();
    EXPECT_EQ(stopped.outcome, csv::ImportResult::Outcome::Failed);
    EXPECT_TRUE(stopped.message.startsWith(QStringLiteral("Line %1: ").arg(bigLineOf(bad)))) << stopped.message.toStdString();
    EXPECT_FALSE(tableExists());

    req.createTable = false;
    conn->exec(QStringLiteral("CREATE TABLE imp_t (id INTEGER, name VARCHAR(40), amount NUMERIC(8,2))"));
    const csv::ImportResult stopped2 = csv::CsvImport(req).run();
    EXPECT_TRUE(stopped2.message.startsWith(QStringLiteral("Line %1: ").arg(bigLineOf(bad)))) << stopped2.message.toStdString();
    EXPECT_EQ(cell(QStringLiteral("SELECT count(*) FROM imp_t")), QStringLiteral("0")); // nothing half-imported

    req.skipBadRows = true;
    const csv::ImportResult skipped = csv::CsvImport(req).run();
    ASSERT_TRUE(skipped.ok()) << skipped.message.toStdString();
    EXPECT_EQ(skipped.rows, rows - 1);
    ASSERT_EQ(skipped.badRows.size(), 1u);
    EXPECT_EQ(skipped.badRows[0].line, bigLineOf(bad));
    const qint64 all = qint64(rows) * (rows + 1) / 2;
    EXPECT_EQ(cell(QStringLiteral("SELECT count(*) FROM imp_t")), QString::number(rows - 1));
    EXPECT_EQ(cell(QStringLiteral("SELECT sum(id) FROM imp_t")).toLongLong(), all - bad);
    double amounts = 0;
    for (int n = 1; n <= rows; ++n) amounts += n == bad ? 0 : bigAmount(n);
    EXPECT_DOUBLE_EQ(cell(QStringLiteral("SELECT sum(amount) FROM imp_t")).toDouble(), amounts);
    // the last records: one with a line break, one without
    EXPECT_EQ(cell(QStringLiteral("SELECT name FROM imp_t WHERE id = %1").arg(rows)),
              QStringLiteral("Zoë \"%1\", 😀\nnext line").arg(rows % 5000));
    EXPECT_EQ(cell(QStringLiteral("SELECT name FROM imp_t WHERE id = %1").arg(rows - 1)),
              QStringLiteral("Zoë \"%1\", 😀 café").arg((rows - 1) % 5000));
    std::printf("[ time     ] %s: %d rows, three imports: %lld ms\n", GetParam().label, rows, qint64(timer.elapsed()));
}

INSTANTIATE_TEST_SUITE_P(Backends, CsvImportTest, ::testing::ValuesIn(kTestBackends), byLabel);
