// The keyword catalogue: word lists by class, and help lookups by the
// beginning of a word with every value bound (quotes, "%" and "_" are
// ordinary characters).
#include "assist/KeywordCatalogue.h"

#include "store/HomeSeeding.h"
#include "store/ResourceDb.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {

class KeywordCatalogueTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(store::ensureSeeded().isEmpty()); }
    static void run(const QString& sql, const db::Params& params = {}) {
        ResourceDb::open()->exec(sql, params);
    }
    static void add(const QString& name, int type, const QString& title = QStringLiteral("t")) {
        run(QStringLiteral("INSERT INTO syntax (syntax_name, type, syntax_title, description, example) "
                           "VALUES (?, ?, ?, 'd', 'e')"),
            {name, type, title});
    }
    static std::optional<KeywordHelp> locate(const QString& word) {
        const auto r = assist::sLocateKeyword(word);
        EXPECT_TRUE(r.ok()) << r.error().toStdString();
        return r.valueOr(std::nullopt);
    }
    // The title of the help a lookup finds; "(none)" when it finds nothing.
    static QString titleOf(const QString& word) {
        const auto help = locate(word);
        return help ? help->title : QStringLiteral("(none)");
    }
    static bool exists(const QString& word) {
        const auto r = assist::bLocateKeyword(word);
        EXPECT_TRUE(r.ok()) << r.error().toStdString();
        return r.valueOr(false);
    }
    TempHome home;
};

} // namespace

TEST_F(KeywordCatalogueTest, TheShippedCatalogueFillsFourSortedLists) {
    const auto lists = assist::loadWordLists();
    ASSERT_TRUE(lists.ok()) << lists.error().toStdString();
    EXPECT_TRUE(lists->keywords.contains(QStringLiteral("SELECT")));
    EXPECT_TRUE(lists->operators.contains(QStringLiteral("AND")));
    EXPECT_TRUE(lists->functions.contains(QStringLiteral("COALESCE")));
    EXPECT_TRUE(lists->dataTypes.contains(QStringLiteral("VARCHAR")));
    for (WordClass c : assist::kAllClasses) {
        const QStringList& l = lists->of(c);
        EXPECT_FALSE(l.isEmpty());
        for (qsizetype i = 1; i < l.size(); ++i)
            EXPECT_LE(l[i - 1].compare(l[i], Qt::CaseInsensitive), 0)
                << l[i - 1].toStdString() << " " << l[i].toStdString();
    }
    // the stored spelling of any known word, keyed without regard to case
    const auto spellings = lists->spellings();
    EXPECT_EQ(spellings.value(QStringLiteral("select")), QStringLiteral("SELECT"));
    EXPECT_EQ(spellings.value(QStringLiteral("varchar")), QStringLiteral("VARCHAR"));
}

TEST_F(KeywordCatalogueTest, OtherClassesAreIgnoredDuplicatesKeptAndLineBreaksSplit) {
    run(QStringLiteral("DELETE FROM syntax"));
    add(QStringLiteral("zeta"), 1);
    add(QStringLiteral("Alpha"), 1);
    add(QStringLiteral("alpha"), 1);
    add(QStringLiteral("FIVE"), 5);
    add(QStringLiteral("ONE\nTWO"), 3);
    add(QStringLiteral("NUMERIC"), 4);
    run(QStringLiteral("INSERT INTO syntax (syntax_name, type) VALUES (NULL, 1), ('nothing', NULL)"));
    const auto lists = assist::loadWordLists();
    ASSERT_TRUE(lists.ok()) << lists.error().toStdString();
    EXPECT_EQ(lists->keywords,
              (QStringList{QStringLiteral("Alpha"), QStringLiteral("alpha"), QStringLiteral("zeta")}));
    EXPECT_TRUE(lists->operators.isEmpty());
    EXPECT_EQ(lists->functions, (QStringList{QStringLiteral("ONE"), QStringLiteral("TWO")}));
    EXPECT_EQ(lists->dataTypes, QStringList{QStringLiteral("NUMERIC")});
    run(QStringLiteral("DELETE FROM syntax"));
    const auto none = assist::loadWordLists();
    ASSERT_TRUE(none.ok());
    EXPECT_TRUE(none->isEmpty());
}

TEST_F(KeywordCatalogueTest, AMissingTableIsAFailureNotACrash) {
    run(QStringLiteral("DROP TABLE syntax"));
    EXPECT_FALSE(assist::loadWordLists().ok());
    EXPECT_FALSE(assist::bLocateKeyword(QStringLiteral("sel")).ok());
    EXPECT_FALSE(assist::sLocateKeyword(QStringLiteral("sel")).ok());
}

TEST_F(KeywordCatalogueTest, LookupsMatchTheBeginningWithoutRegardToCase) {
    EXPECT_TRUE(exists(QStringLiteral("sel")));
    EXPECT_FALSE(exists(QStringLiteral("nosuchword")));
    const auto sel = locate(QStringLiteral("sel"));
    ASSERT_TRUE(sel);
    EXPECT_EQ(sel->name, QStringLiteral("SELECT"));
    EXPECT_FALSE(sel->description.isEmpty());
    EXPECT_FALSE(sel->example.isEmpty());
    // a word equal to the text wins over longer words that begin with it
    const auto in = locate(QStringLiteral("in"));
    ASSERT_TRUE(in);
    EXPECT_EQ(in->name, QStringLiteral("IN"));
    EXPECT_FALSE(locate(QStringLiteral("nosuchword")));
}

TEST_F(KeywordCatalogueTest, QuotesPercentAndUnderscoreAreOrdinaryCharacters) {
    add(QStringLiteral("O'BRIEN"), 1, QStringLiteral("apostrophe"));
    add(QStringLiteral("100%"), 2, QStringLiteral("percent"));
    add(QStringLiteral("A_B"), 3, QStringLiteral("underscore"));
    add(QStringLiteral("AXB"), 3, QStringLiteral("no underscore"));
    add(QStringLiteral("back\\slash"), 3, QStringLiteral("backslash"));
    EXPECT_EQ(titleOf(QStringLiteral("o'b")), QStringLiteral("apostrophe"));
    EXPECT_TRUE(exists(QStringLiteral("O'"))); // not a broken statement
    EXPECT_FALSE(exists(QStringLiteral("'")));
    EXPECT_FALSE(exists(QStringLiteral("x'; DROP TABLE syntax; --")));
    EXPECT_TRUE(exists(QStringLiteral("sel")));
    // "%" and "_" match only themselves
    EXPECT_FALSE(exists(QStringLiteral("%ELECT")));
    EXPECT_FALSE(exists(QStringLiteral("_ELECT")));
    EXPECT_EQ(titleOf(QStringLiteral("100%")), QStringLiteral("percent"));
    EXPECT_EQ(titleOf(QStringLiteral("a_")), QStringLiteral("underscore"));
    EXPECT_EQ(titleOf(QStringLiteral("back\\s")), QStringLiteral("backslash"));
    EXPECT_EQ(assist::likePrefixPattern(QStringLiteral("a%_\\")), QStringLiteral("a\\%\\_\\\\%"));
}
