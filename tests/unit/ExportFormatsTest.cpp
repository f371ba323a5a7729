// The export formats as the user gets them: the exact bytes of small
// results, and hostile values read back by the standard parsers of each
// format (Python's csv, json, html.parser, sqlite3 and openpyxl).
#include "export/ExportFormat.h"
#include "export/ResultExport.h"
#include "export/ValueText.h"
#include "run/GridExport.h"
#include "run/ResultModel.h"
#include "support/ExportReadBack.h"
#include "support/Files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace exports;

namespace {

db::Field field(const char* name, db::FieldType type) {
    return db::Field{QString::fromUtf8(name), type};
}

// A grid holding the rows, as the editor has it after a run.
struct Grid {
    ResultModel model;
    Grid(const std::vector<db::Field>& fields, const Rows& rows) {
        model.reset(fields);
        model.appendRows(std::make_shared<db::RowBlock>(blockOf(rows)));
    }
};

// The file "Save as…" writes for grid in format.
QByteArray saved(const Grid& grid, Format format, const ExportOptions& options = {}) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.") + info(format).extension);
    const Status s = writeResultFile(grid.model, path, format, options);
    EXPECT_TRUE(s.ok()) << s.error().toStdString();
    return readFile(path);
}

const std::vector<db::Field> kMixed = {
    field("id", db::FieldType::Integer), field("name", db::FieldType::VarWChar),
    field("price", db::FieldType::Numeric), field("ok", db::FieldType::Boolean),
    field("data", db::FieldType::LongVarBinary)};
const Rows kMixedRows = {
    {QStringLiteral("1"), QStringLiteral("plain"), QStringLiteral("1.50"), QStringLiteral("1"),
     QStringLiteral("00FF")},
    {QStringLiteral("2"), QStringLiteral("it's \"x\", y"), QStringLiteral("NaN"), QStringLiteral("0"),
     QString()},
    {QStringLiteral("3"), QString(), Cell(), Cell(), Cell()},
};

ExportOptions withDialect(const char* provider, const char* quote) {
    ExportOptions o;
    o.dialect = SqlDialect::forServer(db::familyOfDbms(QString::fromUtf8(provider)), QString::fromUtf8(quote));
    o.tableName = QStringLiteral("Price List");
    return o;
}

struct BytesCase {
    const char* label;
    Format format;
    ExportOptions options;
    const char* expected;
};

void PrintTo(const BytesCase& c, std::ostream* os) {
    *os << c.label;
}

ExportOptions crlfNumberedMarked() {
    ExportOptions o;
    o.lineEnd = LineEnd::CrLf;
    o.rowNumbers = true;
    o.nullText = QStringLiteral("NULL");
    return o;
}

ExportOptions noHeader() {
    ExportOptions o;
    o.header = false;
    return o;
}

const BytesCase kBytes[] = {
    {"Csv",
     Format::Csv,
     {},
     "id,name,price,ok,data\n1,plain,1.50,1,00FF\n2,\"it's \"\"x\"\", y\",NaN,0,\"\"\n3,\"\",,,\n"},
    {"CsvCrLfNumberedWithNullText", Format::Csv, crlfNumberedMarked(),
     "#,id,name,price,ok,data\r\n1,1,plain,1.50,1,00FF\r\n2,2,\"it's \"\"x\"\", y\",NaN,0,\"\"\r\n"
     "3,3,\"\",NULL,NULL,NULL\r\n"},
    {"Tsv", Format::Tsv, noHeader(),
     "1\tplain\t1.50\t1\t00FF\n2\t\"it's \"\"x\"\", y\"\tNaN\t0\t\"\"\n3\t\"\"\t\t\t\n"},
    {"Json",
     Format::Json,
     {},
     "[\n{\"id\":1,\"name\":\"plain\",\"price\":1.50,\"ok\":true,\"data\":\"00FF\"},\n"
     "{\"id\":2,\"name\":\"it's \\\"x\\\", y\",\"price\":\"NaN\",\"ok\":false,\"data\":\"\"},\n"
     "{\"id\":3,\"name\":\"\",\"price\":null,\"ok\":null,\"data\":null}\n]\n"},
    {"JsonWithoutHeaderIsArrays", Format::Json, noHeader(),
     "[\n[1,\"plain\",1.50,true,\"00FF\"],\n[2,\"it's \\\"x\\\", "
     "y\",\"NaN\",false,\"\"],\n[3,\"\",null,null,null]\n]\n"},
    {"JsonLines",
     Format::JsonLines,
     {},
     "{\"id\":1,\"name\":\"plain\",\"price\":1.50,\"ok\":true,\"data\":\"00FF\"}\n"
     "{\"id\":2,\"name\":\"it's \\\"x\\\", y\",\"price\":\"NaN\",\"ok\":false,\"data\":\"\"}\n"
     "{\"id\":3,\"name\":\"\",\"price\":null,\"ok\":null,\"data\":null}\n"},
    {"SqlPostgreSql", Format::SqlInsert, withDialect("PostgreSQL", "\""),
     "INSERT INTO \"Price List\" (id, name, price, ok, data) VALUES (1, 'plain', 1.50, TRUE, "
     "'\\x00FF'::bytea);\n"
     "INSERT INTO \"Price List\" (id, name, price, ok, data) VALUES (2, 'it''s \"x\", y', 'NaN', FALSE, "
     "'\\x'::bytea);\n"
     "INSERT INTO \"Price List\" (id, name, price, ok, data) VALUES (3, '', NULL, NULL, NULL);\n"},
    {"SqlMariaDb", Format::SqlInsert, withDialect("MariaDB", "`"),
     "INSERT INTO `Price List` (id, name, price, ok, data) VALUES (1, 'plain', 1.50, 1, X'00FF');\n"
     "INSERT INTO `Price List` (id, name, price, ok, data) VALUES (2, 'it''s \"x\", y', 'NaN', 0, X'');\n"
     "INSERT INTO `Price List` (id, name, price, ok, data) VALUES (3, '', NULL, NULL, NULL);\n"},
    {"SqlTransactSql", Format::SqlInsert, withDialect("Microsoft SQL Server", "\""),
     "INSERT INTO [Price List] (id, name, price, ok, data) VALUES (1, 'plain', 1.50, 1, 0x00FF);\n"
     "INSERT INTO [Price List] (id, name, price, ok, data) VALUES (2, 'it''s \"x\", y', 'NaN', 0, 0x);\n"
     "INSERT INTO [Price List] (id, name, price, ok, data) VALUES (3, '', NULL, NULL, NULL);\n"},
    {"Markdown",
     Format::Markdown,
     {},
     "| id | name | price | ok | data |\n| ---: | --- | ---: | --- | --- |\n| 1 | plain | 1.50 | 1 | 00FF |\n"
     "| 2 | it's \"x\", y | NaN | 0 |  |\n| 3 |  |  |  |  |\n"},
    {"Html", Format::Html, noHeader(),
     "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>Results</title>\n"
     "<style>table{border-collapse:collapse;margin-bottom:1em}th,td{border:1px solid #ccc;padding:2px 6px;"
     "white-space:pre-wrap;vertical-align:top;text-align:left}td.n{text-align:right}</style>\n</"
     "head>\n<body>\n"
     "<table>\n<tbody>\n"
     "<tr><td class=\"n\">1</td><td>plain</td><td class=\"n\">1.50</td><td>1</td><td>00FF</td></tr>\n"
     "<tr><td class=\"n\">2</td><td>it&#39;s &quot;x&quot;, y</td><td "
     "class=\"n\">NaN</td><td>0</td><td></td></tr>\n"
     "<tr><td class=\"n\">3</td><td></td><td class=\"n\"></td><td></td><td></td></tr>\n"
     "</tbody>\n</table>\n</body>\n</html>\n"},
};

class ExportBytes : public testing::TestWithParam<BytesCase> {};

TEST_P(ExportBytes, FileHoldsExactlyTheFormatsText) {
    const Grid grid(kMixed, kMixedRows);
    EXPECT_EQ(QString::fromUtf8(saved(grid, GetParam().format, GetParam().options)),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Formats, ExportBytes, testing::ValuesIn(kBytes),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(ExportBytes, GridFormatsWriteWhatTheGridsOwnExportWrites) {
    const Grid grid(kMixed, kMixedRows);
    for (const auto& [format, grids] :
         {std::pair{Format::GridCsv, run::kCsv}, {Format::GridTab, run::kTab}}) {
        QTemporaryDir dir;
        ASSERT_TRUE(run::writeGridFile(grid.model, dir.filePath(QStringLiteral("old")), grids).ok());
        EXPECT_EQ(saved(grid, format), readFile(dir.filePath(QStringLiteral("old"))));
    }
}

TEST(ExportBytes, MarkupKeepsEveryCharacterOfAValue) {
    const Grid grid(
        {field("a|b", db::FieldType::VarChar)},
        {{QStringLiteral("x|y\\z *b* _i_ `c` <t> & [l] ~s~ \r\nnext")}, {QStringLiteral("x\ry")}});
    EXPECT_EQ(
        QString::fromUtf8(saved(grid, Format::Markdown)),
        QStringLiteral(
            "| a\\|b |\n| --- |\n| x\\|y\\\\z \\*b\\* \\_i\\_ \\`c\\` \\<t> \\& \\[l\\] \\~s\\~ <br>next |\n"
            "| x<br>y |\n"));
    EXPECT_TRUE(saved(grid, Format::Html)
                    .contains("<td>x|y\\z *b* _i_ `c` &lt;t&gt; &amp; [l] ~s~ &#13;\nnext</td>"));
}

TEST(ExportBytes, JsonNumbersOnlyWhereColumnAndTextAgree) {
    const Grid grid({field("n", db::FieldType::Double), field("s", db::FieldType::VarChar),
                     field("n", db::FieldType::Numeric)},
                    {{QStringLiteral("-0.5e+10"), QStringLiteral("12"), QStringLiteral("0123")},
                     {QStringLiteral("Infinity"), QStringLiteral("\x01\x1f"), QStringLiteral(".5")}});
    EXPECT_EQ(saved(grid, Format::JsonLines), "{\"n\":-0.5e+10,\"s\":\"12\",\"n_2\":\"0123\"}\n{\"n\":"
                                              "\"Infinity\",\"s\":\"\\u0001\\u001f\",\"n_2\":\".5\"}\n");
}

TEST(ExportBytes, EmptyResultIsStillAWellFormedFile) {
    const Grid grid({field("a", db::FieldType::Integer)}, {});
    EXPECT_EQ(saved(grid, Format::Json), "[]\n");
    EXPECT_EQ(saved(grid, Format::Csv), "a\n");
    EXPECT_EQ(saved(grid, Format::SqlInsert), "");
    EXPECT_TRUE(saved(grid, Format::Html).endsWith("<tbody>\n</tbody>\n</table>\n</body>\n</html>\n"));
}

// --- hostile values read back by the standard parsers ---

class ExportReadBack : public testing::TestWithParam<Format> {};

TEST_P(ExportReadBack, ParserGetsBackEveryValue) {
    if (!canReadBack()) GTEST_SKIP() << "needs /usr/bin/python3 with openpyxl (scripts/install-deps)";
    const std::vector<db::Field> fields = {
        field("id", db::FieldType::Integer), field("text \"col\"", db::FieldType::VarWChar),
        field("n", db::FieldType::Numeric), field("f", db::FieldType::Double),
        field("b", db::FieldType::LongVarBinary)};
    const QStringList numbers = {longNumber(), QStringLiteral("1.50"), QStringLiteral("-0.001"),
                                 QStringLiteral("0")};
    const QStringList doubles = {QStringLiteral("0.1"), QStringLiteral("1e+300"), QStringLiteral("-2.5"),
                                 QStringLiteral("3.141592653589793")};
    const QStringList bytes = {QStringLiteral("00FF27"), QString(), QStringLiteral("22")};
    Rows rows;
    for (int i = 0; i < hostileTexts().size(); ++i)
        rows.push_back({QString::number(i + 1), hostileTexts()[i], numbers[i % numbers.size()],
                        doubles[i % doubles.size()], i % 4 == 3 ? Cell() : Cell(bytes[i % bytes.size()])});
    rows.push_back({QStringLiteral("99"), Cell(), Cell(), Cell(), Cell()});
    const Grid grid(fields, rows);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.") + info(GetParam()).extension);
    ExportOptions options;
    options.dialect = SqlDialect::forServer(db::familyOfDbms(QStringLiteral("SQLite")), QStringLiteral("\""));
    ASSERT_TRUE(writeResultFile(grid.model, path, GetParam(), options).ok());
    expectReadsBack(
        info(GetParam()).name, path, fields, rows,
        QStringLiteral("CREATE TABLE result(id INTEGER, \"text \"\"col\"\"\" TEXT, n TEXT, f REAL, b BLOB)"));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ExportReadBack,
    testing::Values(Format::Csv, Format::Tsv, Format::Json, Format::JsonLines, Format::Html, Format::Markdown,
                    Format::SqlInsert, Format::Xlsx),
    [](const auto& p) {
        return QString(exports::info(p.param).name).replace(QLatin1Char('-'), QLatin1Char('_')).toStdString();
    });

} // namespace
