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
        for (int r = 0; r < b.rowCount(); ++r) textlayout::appendRow(text, b, r, widths);
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
    const QString tail = textlayout::rowLimitNotice(4) + textlayout::setTrailer(4);
    t.append(tail);
    ref.text += tail;

    EXPECT_EQ(t.text(), ref.text);
    EXPECT_EQ(t.lineCount(), ref.text.count(QStringLiteral("\r\n")) + 1);
    EXPECT_EQ(t.line(2), QStringLiteral("1     one     "));
    EXPECT_EQ(t.line(4), QStringLiteral("3     ...")); // blanks trimmed, long value shown as ...
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
    const std::vector<int> w = textlayout::columnWidths(fields, *rows);
    EXPECT_EQ(w, (std::vector<int>{15, 6 + 5, 11 + 5, 255 + 5}));
    EXPECT_EQ(textlayout::columnWidths(fields), (std::vector<int>{15, 260, 260, 260}));
    // the header fits its column
    EXPECT_TRUE(textlayout::headerBlock(fields, w).startsWith(QStringLiteral("id             note       a_long_name     big")));
}

TEST(TextLayoutWidths, TheUtf8RowIsTheTextRowsBytes) {
    auto rows = block({{"1", " é ", nullptr, "\xff"}, {"123456789", "東京", "", "x"}});
    const std::vector<int> w = {5, 6, 6, 8};
    for (int r = 0; r < rows->rowCount(); ++r) {
        QString text;
        textlayout::appendRow(text, *rows, r, w);
        QByteArray utf8;
        textlayout::appendRowUtf8(utf8, *rows, r, w);
        EXPECT_EQ(utf8, text.toUtf8()) << r;
    }
}
