#include "db/RowBlock.h"

#include <gtest/gtest.h>

TEST(RowBlock, KeepsNullApartFromEmptyAndRowsInOrder) {
    db::RowBlock b;
    b.reset(2);
    b.appendCell("a", 1);
    b.appendNull();
    b.appendCell("", 0);
    b.appendCell(std::string_view("héllo"));
    ASSERT_EQ(b.rowCount(), 2);
    EXPECT_EQ(b.text(0, 0), "a");
    EXPECT_TRUE(b.isNull(0, 1));
    EXPECT_FALSE(b.isNull(1, 0));
    EXPECT_EQ(b.text(1, 0), "");
    EXPECT_EQ(b.string(1, 1), QStringLiteral("héllo"));
}

TEST(RowBlock, DropsAnUnfinishedRowAndEncodesHex) {
    db::RowBlock b;
    b.reset(2);
    b.appendCell("x", 1);
    b.appendCell("y", 1);
    b.appendCell("partial", 7);
    b.dropPartialRow();
    EXPECT_EQ(b.rowCount(), 1);
    EXPECT_EQ(b.byteSize(), 2u);
    const unsigned char bin[] = {0x00, 0xAB, 0x7F};
    b.appendHex(bin, 3);
    b.closeCell();
    b.appendNull();
    EXPECT_EQ(b.text(1, 0), "00AB7F");
}
