// Saving and copying results: files appear whole or not at all (a full
// disk, a missing folder, a stopped export, a value a workbook cannot
// hold), copied selections, the format table, the table name of INSERTs.
#include "export/ExportFormat.h"
#include "export/QueryTable.h"
#include "export/ResultExport.h"
#include "export/ValueText.h"
#include "run/ResultModel.h"
#include "support/ExportReadBack.h"
#include "support/Files.h"

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace exports;

namespace {

std::shared_ptr<db::RowBlock> rowsOf(const Rows& rows) {
    return std::make_shared<db::RowBlock>(blockOf(rows));
}

// A grid of n rows of two columns, a number and a 100-character text.
void fill(ResultModel& grid, int n) {
    grid.reset({db::Field{QStringLiteral("n"), db::FieldType::Integer},
                db::Field{QStringLiteral("t"), db::FieldType::VarChar}});
    Rows rows;
    for (int i = 0; i < n; ++i)
        rows.push_back({QString::number(i), QString(100, QLatin1Char('a' + i % 26))});
    grid.appendRows(rowsOf(rows));
}

// Files may grow to at most `bytes` in this process (a full disk without
// mounting one): writes beyond fail with EFBIG.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limited = old_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }

private:
    rlimit old_{};
};

class ExportFailures : public testing::TestWithParam<Format> {
protected:
    QTemporaryDir dir;
    QString target() const { return dir.filePath(QStringLiteral("result.") + info(GetParam()).extension); }
    void expectOnlyTheOldFile() {
        EXPECT_EQ(readFile(target()), "old content");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QFileInfo(target()).fileName()});
    }
};

TEST_P(ExportFailures, FullDiskSaysSoAndLeavesTheOldFile) {
    ResultModel grid;
    fill(grid, 40000); // about 4 MB of text
    writeFile(target(), "old content");
    Status s;
    {
        const FileSizeLimit limit(256 * 1024);
        s = writeResultFile(grid, target(), GetParam(), {});
    }
    ASSERT_FALSE(s.ok());
    EXPECT_FALSE(s.error().isEmpty());
    expectOnlyTheOldFile();
}

TEST_P(ExportFailures, StoppedExportLeavesTheOldFile) {
    ResultModel grid;
    fill(grid, 3000); // written 1,024 rows at a time
    writeFile(target(), "old content");
    qint64 seen = 0;
    const Status s =
        writeResultFile(grid, target(), GetParam(), {}, [&](qint64 rows) { return (seen = rows) < 2048; });
    EXPECT_FALSE(s.ok());
    EXPECT_EQ(seen, 2048);
    expectOnlyTheOldFile();
}

TEST_P(ExportFailures, MissingFolderIsNamed) {
    ResultModel grid;
    fill(grid, 1);
    const Status s = writeResultFile(grid, dir.filePath(QStringLiteral("gone/result.out")), GetParam(), {});
    ASSERT_FALSE(s.ok());
    EXPECT_TRUE(s.error().contains(QStringLiteral("does not exist"))) << s.error().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Formats, ExportFailures, testing::Values(Format::Csv, Format::Json, Format::Xlsx),
                         [](const auto& p) { return exports::info(p.param).name.toStdString(); });

TEST(XlsxExport, ValueLongerThanACellEndsTheExportWithoutAFile) {
    QTemporaryDir dir;
    ResultModel grid;
    grid.reset({db::Field{QStringLiteral("doc"), db::FieldType::LongVarChar}});
    grid.appendRows(rowsOf({{QStringLiteral("short")}, {QString(40000, QLatin1Char('x'))}}));
    const Status s = writeResultFile(grid, dir.filePath(QStringLiteral("big.xlsx")), Format::Xlsx, {});
    ASSERT_FALSE(s.ok());
    EXPECT_TRUE(s.error().contains(QStringLiteral("Row 2 of column \"doc\""))) << s.error().toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(XlsxExport, NumbersStayNumbersOnlyWhenExact) {
    if (!canReadBack()) GTEST_SKIP() << "needs /usr/bin/python3 with openpyxl (scripts/install-deps)";
    QTemporaryDir dir;
    ResultModel grid;
    grid.reset({db::Field{QStringLiteral("n"), db::FieldType::Numeric},
                db::Field{QStringLiteral("b"), db::FieldType::Boolean}});
    grid.appendRows(rowsOf({{QStringLiteral("12.25"), QStringLiteral("1")},
                            {QStringLiteral("12345678901234567"), QStringLiteral("0")},
                            {QStringLiteral("0.10000000000000001"), QStringLiteral("maybe")}}));
    const QString path = dir.filePath(QStringLiteral("n.xlsx"));
    ASSERT_TRUE(writeResultFile(grid, path, Format::Xlsx, {}).ok());
    const auto sets = readBack(QStringLiteral("xlsx"), path);
    ASSERT_EQ(sets.size(), 1u);
    const Rows want = {{QStringLiteral("12.25"), QStringLiteral("true")},
                       {QStringLiteral("12345678901234567"), QStringLiteral("false")},
                       {QStringLiteral("0.10000000000000001"), QStringLiteral("maybe")}};
    EXPECT_EQ(sets[0].rows, want); // numbers that a double would change come back as their text
}

TEST(CopySelection, CopiesTheChosenCellsInTheChosenFormat) {
    ResultModel grid;
    grid.reset({db::Field{QStringLiteral("id"), db::FieldType::Integer},
                db::Field{QStringLiteral("name"), db::FieldType::VarChar},
                db::Field{QStringLiteral("note"), db::FieldType::VarChar}});
    grid.appendRows(rowsOf({{QStringLiteral("1"), QStringLiteral("a,b"), Cell()},
                            {QStringLiteral("2"), QStringLiteral("c"), QString()}}));
    grid.appendRows(rowsOf({{QStringLiteral("3"), QStringLiteral("d"), QStringLiteral("x")}}));
    const CellSelection cells = CellSelection::rectangle(2, 0, 2, 1); // rows 0..2, columns 1..2, backwards
    EXPECT_EQ(selectionText(grid, cells, Format::Csv, {}),
              QStringLiteral("name,note\n\"a,b\",\nc,\"\"\nd,x\n"));
    ExportOptions plain;
    plain.header = false;
    plain.lineEnd = LineEnd::CrLf;
    EXPECT_EQ(selectionText(grid, CellSelection{{1}, {0, 1, 7}}, Format::Tsv, plain),
              QStringLiteral("2\tc\r\n"));
    EXPECT_EQ(selectionText(grid, CellSelection{{0, 2}, {0, 2}}, Format::Json, {}),
              QStringLiteral("[\n{\"id\":1,\"note\":null},\n{\"id\":3,\"note\":\"x\"}\n]\n"));
    ExportOptions sql;
    sql.tableName = QStringLiteral("people");
    EXPECT_EQ(selectionText(grid, CellSelection{{2, 99}, {0, 1}}, Format::SqlInsert, sql),
              QStringLiteral("INSERT INTO people (id, name) VALUES (3, 'd');\n"));
    EXPECT_EQ(selectionText(grid, CellSelection{{0}, {1}}, Format::Markdown, {}),
              QStringLiteral("| name |\n| --- |\n| a,b |\n"));
    EXPECT_TRUE(selectionText(grid, cells, Format::Xlsx, {}).isEmpty());
}

TEST(ExportFormatTable, NamesExtensionsAndFilters) {
    EXPECT_EQ(formatForFileName(QStringLiteral("/tmp/r.CSV")), Format::Csv);
    EXPECT_EQ(formatForFileName(QStringLiteral("r.tab")), Format::GridTab);
    EXPECT_EQ(formatForFileName(QStringLiteral("r.ndjson")), Format::JsonLines);
    EXPECT_EQ(formatForFileName(QStringLiteral("r.htm")), Format::Html);
    EXPECT_EQ(formatForFileName(QStringLiteral("r.txt")), std::nullopt);
    EXPECT_EQ(formatNamed(QStringLiteral("SQL-INSERT")), Format::SqlInsert);
    EXPECT_EQ(formatNamed(QStringLiteral("yaml")), std::nullopt);
    QStringList names;
    for (const FormatInfo& f : formats()) {
        EXPECT_FALSE(names.contains(f.name)) << f.name.toStdString();
        names << f.name;
        EXPECT_TRUE(fileDialogFilters().contains(f.filter));
        EXPECT_TRUE(f.filter.contains(QStringLiteral("*.") + f.extension));
    }
}

TEST(InsertTable, ReadFromAOneTableQuery) {
    const std::pair<const char*, const char*> cases[] = {
        {"SELECT * FROM orders", "orders"},
        {"select a, (select max(x) from other) from public.\"Order Lines\" ol where a > 1 order by 1;",
         "public.\"Order Lines\""},
        {"-- report\nSELECT a FROM `db`.`t` AS x LIMIT 5", "`db`.`t`"},
        {"SELECT count(*) FROM t GROUP BY a HAVING count(*) > 1", "t"},
        {"SELECT * FROM a JOIN b ON a.id = b.id", ""},
        {"SELECT * FROM a x, b y", ""},
        {"SELECT * FROM (SELECT 1) s", ""},
        {"SELECT * FROM generate_series(1, 3)", ""},
        {"SELECT * FROM a UNION SELECT * FROM b", ""},
        {"SELECT 1", ""},
        {"UPDATE t SET a = 1", ""},
        {"SELECT * FROM t; SELECT * FROM u", ""},
    };
    for (const auto& [sql, table] : cases)
        EXPECT_EQ(tableNameFromQuery(QString::fromUtf8(sql)), QString::fromUtf8(table)) << sql;
    EXPECT_EQ(
        tableNamesOfScript(QStringLiteral("SELECT * FROM a;\nselect x from b join c on true; SELECT 2")),
        (QStringList{"a", "", ""}));
    EXPECT_TRUE(tableNamesOfScript(QStringLiteral("SELECT * FROM a; CALL p()")).isEmpty());

    const SqlDialect pg = SqlDialect::forServer(db::familyOfDbms(QStringLiteral("PostgreSQL")), QStringLiteral("\""));
    EXPECT_EQ(tableReference(QStringLiteral("sales.\"Q1\""), pg), QStringLiteral("sales.\"Q1\""));
    EXPECT_EQ(tableReference(QStringLiteral("my table"), pg), QStringLiteral("\"my table\""));
    EXPECT_EQ(tableReference(QStringLiteral("select"), pg), QStringLiteral("\"select\""));
    EXPECT_EQ(tableReference(QString(), pg), kDefaultTable);
}

TEST(ValueText, NumbersThatWriteAsNumbers) {
    for (const char* yes : {"0", "-0", "12", "-1.5", "1e10", "2.5E-3", "0.000"})
        EXPECT_TRUE(isPlainNumber(yes)) << yes;
    for (const char* no : {"", "-", "01", ".5", "5.", "+1", "1e", "NaN", "Infinity", "1,5", " 1", "0x1F"})
        EXPECT_FALSE(isPlainNumber(no)) << no;
    EXPECT_EQ(exactDouble("12.250"), 12.25);
    EXPECT_EQ(exactDouble("-1e-7"), -1e-7);
    EXPECT_EQ(exactDouble("123456789012345"), 123456789012345.0);
    EXPECT_EQ(exactDouble("1234567890123456"), std::nullopt); // 16 digits
    EXPECT_EQ(exactDouble("1e400"), std::nullopt);
    EXPECT_EQ(booleanValue("TRUE"), true);
    EXPECT_EQ(booleanValue("f"), false);
    EXPECT_EQ(booleanValue("2"), std::nullopt);
}

} // namespace
