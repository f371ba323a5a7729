// The template library and snippets: exact group lookup whatever the title
// holds, group deletion that never strands templates, snippet tags.
#include "store/HomeSeeding.h"
#include "store/ResourceDb.h"
#include "store/TemplateStore.h"
#include "support/TempHome.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {
class TemplateStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store::ensureSeeded().isEmpty());
        // start from an empty library so the tests own every row
        auto c = ResourceDb::open();
        c->exec(QStringLiteral("DELETE FROM templates"));
        c->exec(QStringLiteral("DELETE FROM template_types"));
        c->exec(QStringLiteral("DELETE FROM objects"));
    }
    qint64 group(const QString& title) {
        auto id = TemplateStore::insertGroup(title);
        EXPECT_TRUE(id.ok()) << id.error().toStdString();
        return id.valueOr(0);
    }
    TempHome home;
};
} // namespace

TEST_F(TemplateStoreTest, HostileTitlesAreFoundExactlyAndNeverByPattern) {
    const qint64 percent = group(QStringLiteral("100% done"));
    const qint64 under = group(QStringLiteral("a_b"));
    const qint64 plain = group(QStringLiteral("axb"));
    const qint64 quote = group(QStringLiteral("it's"));
    const qint64 wide = group(QStringLiteral("100 done"));
    EXPECT_EQ(TemplateStore::groupId(QStringLiteral("100% done")).valueOr(0), percent);
    EXPECT_EQ(TemplateStore::groupId(QStringLiteral("100 done")).valueOr(0), wide);
    EXPECT_EQ(TemplateStore::groupId(QStringLiteral("a_b")).valueOr(0), under);
    EXPECT_EQ(TemplateStore::groupId(QStringLiteral("AXB")).valueOr(0), plain); // without regard to case
    EXPECT_EQ(TemplateStore::groupId(QStringLiteral("it's")).valueOr(0), quote);
    EXPECT_FALSE(TemplateStore::groupId(QStringLiteral("%")).ok());
    EXPECT_FALSE(TemplateStore::groupId(QStringLiteral("a%")).ok());
    EXPECT_FALSE(TemplateStore::groupId(QString()).ok());
}

TEST_F(TemplateStoreTest, TemplatesRoundTripAndGroupsSortByTitle) {
    const qint64 b = group(QStringLiteral("beta"));
    const qint64 a = group(QStringLiteral("Alpha"));
    const QString code = QStringLiteral("SELECT 'x' -- it's\r\nFROM t\r\n");
    const auto id = TemplateStore::insertTemplate(b, QStringLiteral("Today's \"rows\" 10%"), code);
    ASSERT_TRUE(id.ok());
    const auto rec = TemplateStore::loadTemplate(*id);
    ASSERT_TRUE(rec.ok());
    EXPECT_EQ(rec->title, QStringLiteral("Today's \"rows\" 10%"));
    EXPECT_EQ(rec->code, code);
    EXPECT_EQ(rec->groupId, b);
    EXPECT_EQ(TemplateStore::templateCode(*id).valueOr({}), code);
    ASSERT_TRUE(TemplateStore::updateTemplate(*id, a, QStringLiteral("moved"), QStringLiteral("x")).ok());
    EXPECT_EQ(TemplateStore::loadTemplate(*id)->groupId, a);

    const auto groups = TemplateStore::groups();
    ASSERT_TRUE(groups.ok());
    ASSERT_EQ(groups->size(), 2u);
    EXPECT_EQ(groups->at(0).title, QStringLiteral("Alpha"));
    EXPECT_EQ(groups->at(1).title, QStringLiteral("beta"));

    ASSERT_TRUE(TemplateStore::deleteTemplate(*id).ok());
    EXPECT_FALSE(TemplateStore::deleteTemplate(*id).ok()); // a missing row is a failure
    EXPECT_FALSE(TemplateStore::updateTemplate(*id, a, QStringLiteral("t"), QStringLiteral("c")).ok());
    EXPECT_FALSE(TemplateStore::templateCode(*id).ok());
}

TEST_F(TemplateStoreTest, AGroupWithTemplatesIsDeletedWithThemOrNotAtAll) {
    const qint64 g = group(QStringLiteral("g"));
    const qint64 other = group(QStringLiteral("other"));
    ASSERT_TRUE(TemplateStore::insertTemplate(g, QStringLiteral("one"), QStringLiteral("1")).ok());
    ASSERT_TRUE(TemplateStore::insertTemplate(g, QStringLiteral("two"), QStringLiteral("2")).ok());
    ASSERT_TRUE(TemplateStore::insertTemplate(other, QStringLiteral("three"), QStringLiteral("3")).ok());
    EXPECT_EQ(TemplateStore::templateCount(g).valueOr(-1), 2);

    const Status refused = TemplateStore::deleteGroup(g, false);
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(TemplateStore::groupTitle(g).ok()); // nothing changed
    EXPECT_EQ(TemplateStore::templateCount(g).valueOr(-1), 2);

    ASSERT_TRUE(TemplateStore::deleteGroup(g, true).ok());
    EXPECT_FALSE(TemplateStore::groupTitle(g).ok());
    EXPECT_EQ(TemplateStore::templates()->size(), 1u); // the other group's template stays
    EXPECT_FALSE(TemplateStore::deleteGroup(g, true).ok());

    ASSERT_TRUE(TemplateStore::renameGroup(other, QStringLiteral("renamed %")).ok());
    EXPECT_EQ(TemplateStore::groupTitle(other).valueOr({}), QStringLiteral("renamed %"));
    EXPECT_FALSE(TemplateStore::renameGroup(g, QStringLiteral("x")).ok());
}

TEST_F(TemplateStoreTest, SnippetTagsTurnXIntoEmptyText) {
    auto c = ResourceDb::open();
    c->exec(QStringLiteral("INSERT INTO objects (groupname, title, tag_start, tag_highlight, tag_end) VALUES "
                           "('Clauses', 'col', 'x', 'col', 'x'), ('Clauses', 'where', 'WHERE ', 'cond', ' AND x'), "
                           "('Casts', 'cast', 'CAST(', 'value', ' AS int)')"));
    const auto groups = TemplateStore::snippetGroups();
    ASSERT_TRUE(groups.ok());
    EXPECT_EQ(*groups, (std::vector<QString>{QStringLiteral("Casts"), QStringLiteral("Clauses")}));
    const auto all = TemplateStore::snippets();
    ASSERT_EQ(all->size(), 3u);
    const auto parts = TemplateStore::objectSnippet(all->at(0).key);
    ASSERT_TRUE(parts.ok());
    EXPECT_EQ(parts->start, QString());
    EXPECT_EQ(parts->highlight, QStringLiteral("col"));
    EXPECT_EQ(parts->end, QString());
    EXPECT_EQ(TemplateStore::objectSnippet(all->at(1).key)->end, QStringLiteral(" AND x")); // only a lone x is empty
    EXPECT_FALSE(TemplateStore::objectSnippet(999999).ok());
}

TEST(TemplateStoreWithoutHome, FailsWithAReasonInsteadOfThrowing) {
    TempHome home; // no resource database: opening it creates an empty file without tables
    EXPECT_FALSE(TemplateStore::groups().ok());
    EXPECT_FALSE(TemplateStore::insertGroup(QStringLiteral("x")).ok());
    EXPECT_FALSE(TemplateStore::objectSnippet(1).ok());
}

TEST_F(TemplateStoreTest, GroupTitlesCompareWithUnicodeCaseFoldingAndSortByTheLocale) {
    const QLocale before;
    const QString decomposed = QStringLiteral("U\u0308bersicht"); // "Übersicht" as U + combining diaeresis
    struct Case {
        QLocale locale;
        QStringList sorted;
    };
    // the C locale would put the accented titles after "Zeilen"
    for (const Case& c : {Case{QLocale(QLocale::German, QLocale::Germany), {"abfragen", "Éclair", "Übersicht", "Zeilen"}},
                          Case{QLocale::c(), {"abfragen", "Éclair", "Übersicht", "Zeilen"}}}) {
        SetUp();
        QLocale::setDefault(c.locale);
        const qint64 over = group(QStringLiteral("Übersicht"));
        group(QStringLiteral("Zeilen"));
        group(QStringLiteral("abfragen"));
        group(QStringLiteral("Éclair"));
        QStringList titles;
        for (const TemplateGroup& g : TemplateStore::groups().valueOr({})) titles << g.title;
        EXPECT_EQ(titles, c.sorted) << c.locale.name().toStdString();
        // one title, whatever its case or Unicode form
        for (const QString& same : {QStringLiteral("übersicht"), QStringLiteral("ÜBERSICHT"), decomposed}) {
            EXPECT_EQ(TemplateStore::groupId(same).valueOr(0), over) << same.toStdString();
            const auto again = TemplateStore::insertGroup(same);
            ASSERT_FALSE(again.ok()) << same.toStdString();
            EXPECT_TRUE(again.error().contains(QStringLiteral("already exists")));
        }
        EXPECT_TRUE(TemplateStore::renameGroup(over, QStringLiteral("ÜBERSICHT")).ok()); // its own title, recased
        EXPECT_FALSE(TemplateStore::renameGroup(over, QStringLiteral("zeilen")).ok());
    }
    QLocale::setDefault(before);
}
