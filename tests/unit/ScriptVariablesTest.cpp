// Harvesting the variables of a script for the completion popup.
#include "assist/ScriptVariables.h"

#include <gtest/gtest.h>

using assist::buildItem;

namespace {
QStringList L(std::initializer_list<const char*> names) {
    QStringList out;
    for (const char* n : names)
        out << QString::fromUtf8(n);
    return out;
}
} // namespace

TEST(ScriptVariables, NamesEndWhereTheNameEnds) {
    // an assignment, a list, a line break without a blank
    EXPECT_EQ(buildItem(QStringLiteral("SET @a=1\r\nSELECT @a")), L({"@a"}));
    EXPECT_EQ(buildItem(QStringLiteral("SELECT @x,@y")), L({"@x", "@y"}));
    EXPECT_EQ(buildItem(QStringLiteral("DECLARE @total_1 INT;\nSELECT @total_1+@Rate\tFROM t")),
              L({"@total_1", "@Rate"}));
    EXPECT_EQ(buildItem(QStringLiteral("SELECT @@ROWCOUNT, @#tmp, @a$b")),
              L({"@@ROWCOUNT", "@#tmp", "@a$b"}));
    EXPECT_EQ(buildItem(QStringLiteral("SELECT @äpfel")), L({"@äpfel"}));
}

TEST(ScriptVariables, EachNameOnceWithoutRegardToCaseInOrderOfUse) {
    EXPECT_EQ(buildItem(QStringLiteral("@b @a @B @A @ab @a")), L({"@b", "@a", "@ab"}));
    EXPECT_TRUE(buildItem(QString()).isEmpty());
    EXPECT_TRUE(buildItem(QStringLiteral("@ @@ x@ @")).isEmpty()); // markers alone name nothing
}

TEST(ScriptVariables, StringsQuotedNamesAndCommentsHoldNoVariables) {
    const QString script = QStringLiteral(
        "SELECT 'mail me@example.com', 'it''s @not', \"@quoted\", [@bracket], `@tick` -- @comment\n"
        "/* @block\n @more */ , @real, user@host");
    EXPECT_EQ(buildItem(script), L({"@real"}));
    // unclosed quotes and comments run to the end of the script
    EXPECT_EQ(buildItem(QStringLiteral("@a 'open @b")), L({"@a"}));
    EXPECT_EQ(buildItem(QStringLiteral("@a /* open @b")), L({"@a"}));
    EXPECT_EQ(buildItem(QStringLiteral("@x"), QLatin1Char(':')), QStringList());
    EXPECT_EQ(buildItem(QStringLiteral(":x = :y"), QLatin1Char(':')), L({":x", ":y"}));
}

TEST(ScriptVariables, LongScriptsWithoutBlanksAreOnePass) {
    // a script whose markers are never followed by a blank: every earlier
    // harvesting step used to copy the rest of the script
    QString big;
    big.reserve(4'000'000);
    for (int i = 0; i < 400'000; ++i)
        big += QStringLiteral("@v%1,").arg(i % 1000);
    const QStringList names = buildItem(big);
    EXPECT_EQ(names.size(), 1000);
    EXPECT_EQ(names.front(), QStringLiteral("@v0"));
}
