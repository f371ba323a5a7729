// Reading CSV files as the import does: records with quotes, delimiters and
// line breaks inside fields, in every encoding offered, their line numbers;
// the format detected from a file's start; the column types guessed.
#include "import/ColumnTypes.h"
#include "import/CsvFormat.h"
#include "import/CsvPreview.h"
#include "import/CsvReader.h"
#include "support/Files.h"

#include <QBuffer>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace csv;

namespace {

// Each record as its line and fields joined by "|" (NULL-free: the reader
// knows no NULL), e.g. "1:a|b".
QStringList readAll(const QByteArray& bytes, Format format = {}, QString* error = nullptr) {
    QByteArray data = bytes;
    QBuffer in(&data);
    in.open(QIODevice::ReadOnly);
    CsvReader reader(in, format);
    QStringList out;
    Record r;
    while (reader.next(r)) {
        QStringList fields;
        for (int i = 0; i < r.size(); ++i) fields << (r.quoted(i) ? QStringLiteral("\"%1\"").arg(r.string(i)) : r.string(i));
        out << QString::number(r.line) + QLatin1Char(':') + fields.join(QLatin1Char('|'));
    }
    if (error) *error = reader.error();
    return out;
}

} // namespace

TEST(CsvReader, FieldsQuotesAndLineBreaks) {
    EXPECT_EQ(readAll("a,b\r\n\"x, \"\"y\"\"\",\"multi\r\nline\"\n3,\n\n\"\",z"),
              (QStringList{"1:a|b", "2:\"x, \"y\"\"|\"multi\r\nline\"", "4:3|", "6:\"\"|z"}));
    // a lone CR ends a record too; text after a closing quote is kept
    EXPECT_EQ(readAll("a\rb\"c\"\r\"d\"e,f"), (QStringList{"1:a", "2:b\"c\"", "3:\"de\"|f"}));
    // other delimiters, no quoting
    Format tabs;
    tabs.delimiter = '\t';
    tabs.quote = '\0';
    EXPECT_EQ(readAll("a\t\"b\tc\n", tabs), (QStringList{"1:a|\"b|c"}));
}

TEST(CsvReader, AQuotedFieldLeftOpenIsAnErrorWithItsLine) {
    QString error;
    EXPECT_EQ(readAll("a\n\"b\nc\nd", {}, &error), QStringList{"1:a"});
    EXPECT_EQ(error, "Line 2: a quoted field starts here and never ends.");
}

TEST(CsvReader, RecordsAcrossThePiecesItReadsAreWhole) {
    // fields and line breaks straddling the 1 MB pieces the reader takes
    QByteArray big;
    QStringList expected;
    const QByteArray field(1000, 'x');
    for (int i = 0; i < 3000; ++i) {
        big += "\"" + field + "\r\n" + QByteArray::number(i) + "\"\"\"," + QByteArray::number(i) + "\r\n";
        expected << QStringLiteral("%1:\"%2\r\n%3\"\"|%3").arg(2 * i + 1).arg(QString::fromLatin1(field)).arg(i);
    }
    EXPECT_EQ(readAll(big), expected);
}

TEST(CsvReader, EveryEncodingReadsAsUtf8) {
    const QString text = QStringLiteral("n,ä\n1,\"😀, ü\"\n");
    for (Encoding e : encodings()) {
        if (e == Encoding::Latin1) continue; // no emoji in Latin-1
        const QStringConverter::Encoding qt = e == Encoding::Utf16LE   ? QStringConverter::Utf16LE
                                              : e == Encoding::Utf16BE ? QStringConverter::Utf16BE
                                                                       : QStringConverter::Utf8;
        QStringEncoder encode(qt, QStringConverter::Flag::WriteBom);
        const QByteArray bytes = encode(text);
        EXPECT_EQ(detectFormat(bytes).encoding, e) << encodingName(e).toStdString();
        Format f;
        f.encoding = e;
        EXPECT_EQ(readAll(bytes, f), (QStringList{"1:n|ä", "2:1|\"😀, ü\""})) << encodingName(e).toStdString();
    }
    const QByteArray latin1 = "name\nM\xFCller\n";
    EXPECT_EQ(detectFormat(latin1).encoding, Encoding::Latin1);
    Format f;
    f.encoding = Encoding::Latin1;
    EXPECT_EQ(readAll(latin1, f), (QStringList{"1:name", "2:Müller"}));
}

TEST(CsvFormat, DetectedFromTheFilesStart) {
    struct Case {
        const char* sample;
        char delimiter;
        char quote;
        bool header;
    } cases[] = {
        {"id,name,total\n1,\"a, b\",2.5\n2,c,3\n", ',', '"', true},
        {"id;name;total\n1;a,b;2,5\n2;c;3\n", ';', '"', true},
        {"1\tx\t2024-01-01\n2\ty\t2024-01-02\n", '\t', '"', false},
        {"a|b\nc|d\ne|f\n", '|', '"', true},
        {"name,city\nann,rome\nbob,rome\nname,oslo\n", ',', '"', false}, // "name" is also a value
        {"'a,1',5\n'b,2',6\n", ',', '\'', false},
        // cut in the middle of a record: the part is not counted
        {"k,v\n1,2\n3,4\n5,\"long cut", ',', '"', true},
    };
    for (const Case& c : cases) {
        const Format f = detectFormat(c.sample);
        EXPECT_EQ(f.delimiter, c.delimiter) << c.sample;
        EXPECT_EQ(f.quote, c.quote) << c.sample;
        EXPECT_EQ(f.header, c.header) << c.sample;
    }
}

TEST(ColumnTypes, TheNarrowestTypeEveryValueFits) {
    auto guess = [](std::initializer_list<const char*> values) {
        TypeGuess g;
        for (const char* v : values) g.add(v);
        return columnTypeName(g.type());
    };
    EXPECT_EQ(guess({"1", "-22", "", "+3"}), "Integer");
    EXPECT_EQ(guess({"1", "3000000000"}), "BigInt");
    EXPECT_EQ(guess({"1", "2.50", "-.5"}), "Decimal");
    EXPECT_EQ(guess({"1", "2.5e3"}), "Double");
    EXPECT_EQ(guess({"007", "1"}), "Text"); // a code keeps its zeros
    EXPECT_EQ(guess({"true", "No"}), "Boolean");
    EXPECT_EQ(guess({"2024-02-29", "2024-03-01"}), "Date");
    EXPECT_EQ(guess({"2024-02-29", "2024-03-01T10:15:30.25"}), "Timestamp");
    EXPECT_EQ(guess({"2023-02-29"}), "Text"); // no such day
    EXPECT_EQ(guess({"2024-01-01 24:00"}), "Text");
    EXPECT_EQ(guess({"1", "x"}), "Text");
    EXPECT_EQ(guess({}), "Text");

    TypeGuess money;
    for (const char* v : {"12345.5", "1.125"}) money.add(v);
    EXPECT_EQ(sqlType(money.type(), db::ServerFamily::MariaDB, money), "DECIMAL(13,3)");
    EXPECT_EQ(sqlType(ColumnType::Decimal, db::ServerFamily::PostgreSQL), "NUMERIC");
    EXPECT_EQ(*booleanText("Yes", db::ServerFamily::SQLite), "1");
    EXPECT_EQ(*booleanText("Yes", db::ServerFamily::PostgreSQL), "Yes");
    EXPECT_FALSE(booleanText("maybe", db::ServerFamily::MariaDB));
}

TEST(CsvPreview, NamesTypesAndTheColumnsOfANewOrExistingTable) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("p.csv"));
    writeFile(file, "ID,Name,,Name\n1,a,x,y\n2,b,,z\n3,c,w,q,extra\n");
    const Preview p = readPreview(file);
    ASSERT_TRUE(p.error.isEmpty());
    EXPECT_TRUE(p.format.header);
    // empty and repeated names are numbered; a longer row adds no column
    EXPECT_EQ(p.fieldNames, (QStringList{"ID", "Name", "column3", "column4"}));
    EXPECT_EQ(p.rows.size(), 3u);
    const auto fresh = newTableColumns(p);
    ASSERT_EQ(fresh.size(), 4u);
    EXPECT_EQ(fresh[0].type, ColumnType::Integer);
    EXPECT_EQ(fresh[1].type, ColumnType::Text);
    const auto existing = existingTableColumns(p, {"name", "other", "id"});
    ASSERT_EQ(existing.size(), 3u);
    EXPECT_EQ(existing[0].source, 1);
    EXPECT_EQ(existing[1].source, -1); // keeps its default
    EXPECT_EQ(existing[2].source, 0);
    EXPECT_FALSE(readPreview(dir.filePath(QStringLiteral("missing.csv"))).error.isEmpty());
}
