// Shaping a tool's bytes for the text pane: the same text whatever the
// bytes' split, CR LF line ends, long lines cut on a character boundary
// with a note, and a total limit; and a file read a slice at a time.
#include "external/OutputFileReader.h"
#include "external/OutputShaper.h"

#include "support/Files.h"
#include "support/TempHome.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

using external::OutputShaper;

namespace {
QString shapeWhole(const QByteArray& bytes, qint64 lineLimit, qint64 total = OutputShaper::kNoLimit) {
    OutputShaper s(lineLimit, total);
    QString text = s.feed(bytes);
    return text + s.finish();
}
} // namespace

TEST(OutputShaper, GivesTheSameTextForAnySplitOfTheBytes) {
    struct Case {
        QByteArray bytes;
        qint64 lineLimit;
        QString expected;
    };
    const Case cases[] = {
        {"a\nb\r\nc", 100, QStringLiteral("a\r\nb\r\nc")},
        {"\n\n", 100, QStringLiteral("\r\n\r\n")},
        {"cr\ralone\r", 100, QStringLiteral("cr\ralone\r")},
        {"abcdefgh\nxy\n", 4, QStringLiteral("abcd\u2026 [line cut: 8 bytes, the first 4 shown]\r\nxy\r\n")},
        {"abcd\r\n", 4, QStringLiteral("abcd\r\n")}, // the CR of a CR LF is no part of the line
        // a cut never splits a character: "é" is two bytes
        {"ab\xc3\xa9xyz", 3, QStringLiteral("ab\u2026 [line cut: 7 bytes, the first 3 shown]")},
        {"caf\xc3\xa9\n", 100, QStringLiteral("caf\u00e9\r\n")},
        {QByteArray("\0\0\n", 3), 100, QString(QChar(0)) + QChar(0) + QStringLiteral("\r\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        EXPECT_EQ(shapeWhole(c.bytes, c.lineLimit), c.expected);
        for (qsizetype cut = 0; cut <= c.bytes.size(); ++cut) {
            OutputShaper s(c.lineLimit);
            QString text = s.feed(c.bytes.left(cut));
            text += s.feed(c.bytes.mid(cut));
            text += s.finish();
            EXPECT_EQ(text, c.expected) << "split at " << cut;
        }
    }
}

TEST(OutputShaper, ATotalLimitKeepsTheBeginningAndCountsTheRest) {
    EXPECT_EQ(shapeWhole("12345\n67890\n", 100, 7),
              QStringLiteral("12345\r\n67\r\n\u2026 [3 more bytes not shown]"));
    EXPECT_EQ(shapeWhole(QByteArray(5000, 'x'), 10, 100),
              QStringLiteral("xxxxxxxxxx\u2026 [line cut: 5,000 bytes, the first 10 shown]"));
}

TEST(OutputFileReader, ReadsAFileInSlicesAsUtf8OrLatin1) {
    TempHome home;
    const QString utf8 = home.file(QStringLiteral("u.txt")), latin1 = home.file(QStringLiteral("l.txt"));
    QByteArray big = QByteArray("caf\xc3\xa9\n");
    big += QByteArray(external::OutputFileReader::kSliceBytes, 'z'); // one line across slices
    big += "\nend\n";
    writeFile(utf8, big);
    writeFile(latin1, "caf\xe9\r\n");
    for (const auto& [file, expected] :
         {std::pair{utf8, QStringLiteral("caf\u00e9\r\n")}, std::pair{latin1, QStringLiteral("caf\u00e9\r\n")}}) {
        external::OutputFileReader reader;
        QString text;
        bool done = false;
        QObject::connect(&reader, &external::OutputFileReader::text, [&text](const QString& t) { text += t; });
        QObject::connect(&reader, &external::OutputFileReader::finished, [&done] { done = true; });
        ASSERT_TRUE(reader.start(file));
        ASSERT_TRUE(QTest::qWaitFor([&done] { return done; }, 10000));
        EXPECT_TRUE(text.startsWith(expected)) << text.left(20).toStdString();
        if (file == utf8) {
            EXPECT_TRUE(text.endsWith(QStringLiteral("shown]\r\nend\r\n"))) << text.right(80).toStdString();
            EXPECT_LT(text.size(), 70000);
        }
    }
    external::OutputFileReader reader;
    EXPECT_FALSE(reader.start(home.file(QStringLiteral("gone.txt"))));
    EXPECT_TRUE(reader.error().contains(QStringLiteral("gone.txt")));
}
