// The text of a results pane kept as literal lines and row blocks: it must
// read exactly as the text a run wrote, whatever way the pieces arrived.
#include "run/ResultText.h"
#include "run/TextLayout.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<db::RowBlock> block(const std::vector<std::vector<const char*>>& rows) {
    auto b = std::make_shared<db::RowBlock>();
    b->reset(int(rows.front().size()));
    for (const auto& r : rows)
        for (const char* c : r) {
            if (c)
                b->appendCell(std::string_view(c));
            else
                b->appendNull();
        }
    return b;
}

// The same pieces written out as text, the way a plain text pane gets them.
struct Reference {
    QString text;
    void rows(const db::RowBlock& b, const std::vector<int>& widths) {
        for (int r = 0; r < b.rowCount(); ++r) run::appendRow(text, b, r, widths);
    }
};

TextWidths widths(std::vector<int> w) { return std::make_shared<const std::vector<int>>(std::move(w)); }

} // namespace

TEST(ResultText, ReadsAsTheTextThatWasAppended) {
    ResultText t;
    Reference ref;
    const auto w = widths({6, 8});
    auto first = block({{"1", "one"}, {"2", nullptr}, {"  3 ", "a value too long"}});
    auto second = block({{"é", "東京"}});
    const QString header = QStringLiteral("id    name    \r\n--------------\r\n");
    t.append(header);
    ref.text += header;
    t.appendRows(first, w);
    ref.rows(*first, *w);
    t.appendRows(second, w);
    ref.rows(*second, *w);
    const QString tail = run::rowLimitNotice(4) + run::setTrailer(4);
    t.append(tail);
    ref.text += tail;

    EXPECT_EQ(t.text(), ref.text);
    EXPECT_EQ(t.lineCount(), ref.text.count(QStringLiteral("\r\n")) + 1);
    EXPECT_EQ(t.line(2), QStringLiteral("1     one     "));
    EXPECT_EQ(t.line(4), QStringLiteral("3     a va... ")); // blanks trimmed, a long value cut to its column
    EXPECT_EQ(t.line(5), QStringLiteral("é     東京      "));
    EXPECT_GE(t.longestLine(), 14);
    // any range reads as the same range of the text
    const QStringList lines = ref.text.split(QStringLiteral("\r\n"));
    EXPECT_EQ(t.text({2, 3}, {5, 2}), ref.text.mid(ref.text.indexOf(lines[2]) + 3,
                                                   ref.text.indexOf(lines[5]) + 2 - ref.text.indexOf(lines[2]) - 3));
    EXPECT_EQ(t.text({5, 2}, {2, 3}), t.text({2, 3}, {5, 2})); // either order
    EXPECT_EQ(t.text({3, 0}, {3, 99}), t.line(3));              // columns past the end stop at it
}

TEST(ResultText, RowsAfterAnUnfinishedLineAndLineBreaksSplitBetweenPieces) {
    ResultText t;
    const auto w = widths({3});
    t.append(QStringLiteral("open"));
    t.appendRows(block({{"a"}, {"b"}}), w);
    t.append(QStringLiteral("x\r"));
    t.append(QStringLiteral("\ny"));
    EXPECT_EQ(t.text(), QStringLiteral("opena  \r\nb  \r\nx\r\ny"));
    EXPECT_EQ(t.lineCount(), 4);
    EXPECT_EQ(t.line(3), QStringLiteral("y"));
    t.clear();
    EXPECT_TRUE(t.isEmpty());
    EXPECT_EQ(t.lineCount(), 1);
    EXPECT_EQ(t.text(), QString());
}

// Every Linux tool ends its lines with LF alone; old Mac files with CR.
TEST(ResultText, LinesBreakAtLfCrLfAndCrHoweverThePiecesArrive) {
    struct Case {
        const char* label;
        std::vector<const char*> pieces;
        std::vector<const char*> lines;
    };
    const Case cases[] = {
        {"LF", {"one\ntwo\n"}, {"one", "two", ""}},
        {"CR LF", {"one\r\ntwo"}, {"one", "two"}},
        {"CR", {"one\rtwo\r"}, {"one", "two", ""}},
        {"mixed", {"a\nb\r\nc\rd"}, {"a", "b", "c", "d"}},
        {"empty lines", {"\n\r\n\r"}, {"", "", "", ""}},
        {"CR LF split between pieces", {"a\r", "\nb"}, {"a", "b"}},
        {"CR then CR", {"a\r", "\rb"}, {"a", "", "b"}},
        {"LF first in a later piece", {"a", "\nb"}, {"a", "b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ResultText t;
        for (const char* p : c.pieces) t.append(QString::fromUtf8(p));
        ASSERT_EQ(t.lineCount(), qint64(c.lines.size()));
        for (size_t i = 0; i < c.lines.size(); ++i) EXPECT_EQ(t.line(qint64(i)), QString::fromUtf8(c.lines[i])) << i;
        // copied text joins the lines with CR LF
        QStringList joined;
        for (const char* l : c.lines) joined << QString::fromUtf8(l);
        EXPECT_EQ(t.text(), joined.join(QStringLiteral("\r\n")));
    }
    // a CR that ended the text before rows does not swallow anything after them
    ResultText t;
    t.append(QStringLiteral("head\r"));
    t.appendRows(block({{"x"}}), widths({3}));
    t.append(QStringLiteral("\ntail"));
    EXPECT_EQ(t.text(), QStringLiteral("head\r\nx  \r\n\r\ntail"));
}

TEST(ResultText, HoldsTheBlocksNotTheLaidOutText) {
    ResultText t;
    const auto w = widths({15, 15, 260});
    size_t cellBytes = 0;
    for (int b = 0; b < 50; ++b) {
        auto rows = std::make_shared<db::RowBlock>();
        rows->reset(3);
        for (int r = 0; r < 1000; ++r) {
            const QByteArray n = QByteArray::number(b * 1000 + r);
            rows->appendCell(std::string_view(n.constData(), size_t(n.size())));
            rows->appendCell(std::string_view("some text"));
            rows->appendNull();
        }
        rows->shrinkToFit();
        cellBytes += rows->byteSize();
        t.appendRows(rows, w);
    }
    EXPECT_EQ(t.lineCount(), 50001);
    EXPECT_EQ(t.line(49999).left(6), QStringLiteral("49999 "));
    // the laid-out lines would take 290 characters each; the blocks a fraction
    EXPECT_LT(t.memoryUse(), cellBytes + 50000 * 3 * sizeof(uint32_t) + 64 * 1024);
}

TEST(TextLayoutWidths, UnsizedColumnsTakeTheWidestOfNameAndFirstRowsUpTo255) {
    std::vector<db::Field> fields = {{QStringLiteral("id"), db::FieldType::Integer, 10, 4, false},
                                     {QStringLiteral("note"), db::FieldType::LongVarWChar, 255, 2147483647, true},
                                     {QStringLiteral("a_long_name"), db::FieldType::LongVarWChar, 255, 0, true},
                                     {QStringLiteral("big"), db::FieldType::LongVarWChar, 255, 0, true}};
    const QByteArray wide(300, 'x');
    auto rows = block({{"1", "  tiny  ", "ab", wide.constData()}, {"2", "東京東京東京", nullptr, "y"}});
    const std::vector<int> w = run::columnWidths(fields, *rows);
    EXPECT_EQ(w, (std::vector<int>{15, 6 + 5, 11 + 5, 255 + 5}));
    EXPECT_EQ(run::columnWidths(fields), (std::vector<int>{15, 260, 260, 260}));
    // the header fits its column
    EXPECT_TRUE(run::headerBlock(fields, w).startsWith(QStringLiteral("id             note       a_long_name     big")));
}

// A value wider than its column shows its start, "..." and a blank: the
// columns after it stay where the header puts them.
TEST(TextLayoutWidths, AValueTooWideShowsWhatFitsAndKeepsTheColumnsAligned) {
    const QByteArray long2000(2000, 'v');
    struct Case {
        const char* label;
        QByteArray value;
        int width;
        const char* cell;
    };
    const Case cases[] = {
        {"fits exactly", "abcdef", 6, "abcdef"},
        {"one too many", "abcdefg", 6, "ab... "},
        {"2,000 characters", long2000, 10, "vvvvvv... "},
        {"blanks trimmed first", "   abcdef   ", 6, "abcdef"},
        {"non-ASCII", "ééééééé", 6, "éé... "},
        {"never half a surrogate pair", "a\U0001F600bcdef", 6, "a... "},
        {"a pair that fits whole", "\U0001F600bcdefg", 7, "\U0001F600b... "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        auto rows = std::make_shared<db::RowBlock>();
        rows->reset(2);
        rows->appendCell(std::string_view(c.value.constData(), size_t(c.value.size())));
        rows->appendCell(std::string_view("next"));
        const std::vector<int> w = {c.width, 6};
        QString line;
        run::appendLine(line, *rows, 0, w);
        const QString cell = QString::fromUtf8(c.cell);
        EXPECT_EQ(line, cell + QString(c.width - cell.size(), QLatin1Char(' ')) + QStringLiteral("next  "));
        EXPECT_EQ(line.indexOf(QStringLiteral("next")), c.width); // under its header
        QByteArray utf8;
        run::appendRowUtf8(utf8, *rows, 0, w);
        EXPECT_EQ(utf8, (line + QStringLiteral("\r\n")).toUtf8());
    }
    // a header name too long for its column is cut the same way
    const std::vector<db::Field> fields = {{QStringLiteral("is_a_long_flag"), db::FieldType::Boolean, 1, 2},
                                           {QStringLiteral("b"), db::FieldType::Integer, 1, 4}};
    EXPECT_EQ(run::headerBlock(fields), QStringLiteral("is... b     \r\n------------\r\n"));
}

TEST(TextLayoutWidths, TheUtf8RowIsTheTextRowsBytes) {
    auto rows = block({{"1", " é ", nullptr, "\xff"},
                       {"123456789", "東京", "", "x"},
                       {"12\xff" "45678", "東京東京東", "\xed\xa0\x80", "\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xc3"}});
    const std::vector<int> w = {5, 6, 6, 8};
    for (int r = 0; r < rows->rowCount(); ++r) {
        QString text;
        run::appendRow(text, *rows, r, w);
        QByteArray utf8;
        run::appendRowUtf8(utf8, *rows, r, w);
        EXPECT_EQ(utf8, text.toUtf8()) << r;
    }
}
