// The first content of a new resource database: the keyword catalogue and
// the template library must load whole and keep the rules their readers
// rely on (classes, help texts, group links, CR LF code, snippet tags).
#include "store/HomeSeeding.h"
#include "store/ResourceDb.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {
qint64 count(db::Connection& c, const char* sql) {
    const db::Table t = c.query(QLatin1String(sql));
    return t.rows.at(0).at(0).value_or(QStringLiteral("-1")).toLongLong();
}

class SeedContent : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store::ensureSeeded().isEmpty());
        res = ResourceDb::open();
    }
    TempHome home;
    std::unique_ptr<db::Connection> res;
};
} // namespace

TEST_F(SeedContent, KeywordCatalogueCoversEveryClassWithHelp) {
    EXPECT_GE(count(*res, "SELECT count(*) FROM syntax"), 250);
    EXPECT_GE(count(*res, "SELECT count(*) FROM syntax WHERE type = 1"), 100);
    EXPECT_GE(count(*res, "SELECT count(*) FROM syntax WHERE type = 2"), 10);
    EXPECT_GE(count(*res, "SELECT count(*) FROM syntax WHERE type = 3"), 80);
    EXPECT_GE(count(*res, "SELECT count(*) FROM syntax WHERE type = 4"), 25);
    EXPECT_EQ(count(*res, "SELECT count(*) FROM syntax WHERE type NOT IN (1, 2, 3, 4)"), 0);
    // one row per word, words without blanks or line breaks, every help part present
    EXPECT_EQ(count(*res, "SELECT count(*) FROM (SELECT upper(syntax_name) FROM syntax GROUP BY 1 HAVING count(*) > 1)"), 0);
    EXPECT_EQ(count(*res, "SELECT count(*) FROM syntax WHERE syntax_name GLOB '*[ \t\r\n]*' OR syntax_name = ''"), 0);
    EXPECT_EQ(count(*res, "SELECT count(*) FROM syntax WHERE coalesce(syntax_title, '') = '' "
                          "OR coalesce(description, '') = '' OR coalesce(example, '') = ''"), 0);
    for (const char* word : {"SELECT", "JOIN", "COALESCE", "LIMIT", "TOP", "VARCHAR", "AND", "ROW_NUMBER"})
        EXPECT_EQ(res->query(QStringLiteral("SELECT count(*) FROM syntax WHERE syntax_name = ?"), {QLatin1String(word)})
                      .rows.at(0).at(0), QStringLiteral("1")) << word;
}

TEST_F(SeedContent, TemplateLibraryIsWholeAndWellFormed) {
    EXPECT_GE(count(*res, "SELECT count(*) FROM template_types"), 6);
    EXPECT_GE(count(*res, "SELECT count(*) FROM templates"), 40);
    EXPECT_EQ(count(*res, "SELECT count(*) FROM templates WHERE \"group\" NOT IN (SELECT id FROM template_types)"), 0);
    EXPECT_EQ(count(*res, "SELECT count(*) FROM templates WHERE coalesce(title, '') = '' OR coalesce(code, '') = ''"), 0);
    // code lines end with CR LF, never a bare LF
    EXPECT_EQ(count(*res, "SELECT count(*) FROM templates WHERE replace(code, char(13, 10), '') GLOB '*[\r\n]*'"), 0);
    EXPECT_EQ(count(*res, "SELECT count(*) FROM (SELECT 1 FROM templates GROUP BY \"group\", lower(title) "
                          "HAVING count(*) > 1)"), 0);
    // titles that once broke pattern lookups are part of the library on purpose
    EXPECT_GE(count(*res, "SELECT count(*) FROM templates WHERE title LIKE '%''%'"), 1);
    EXPECT_GE(count(*res, "SELECT count(*) FROM templates WHERE instr(title, '%') > 0"), 1);
}

TEST_F(SeedContent, ObjectSnippetsKeepTheirTagRules) {
    EXPECT_GE(count(*res, "SELECT count(*) FROM objects"), 20);
    EXPECT_EQ(count(*res, "SELECT count(*) FROM objects WHERE tag_start IS NULL OR tag_highlight IS NULL "
                          "OR tag_end IS NULL OR tag_start = '' OR tag_highlight = '' OR tag_end = ''"), 0);
    EXPECT_EQ(count(*res, "SELECT count(*) FROM objects WHERE instr(tag_start || tag_highlight || tag_end, '|') > 0"), 0);
    // a snippet group named like "O12" would take a snippet's tree key
    EXPECT_EQ(count(*res, "SELECT count(*) FROM objects WHERE groupname GLOB 'O[0-9]*'"), 0);
}

TEST_F(SeedContent, EveryDbmsTheEditorTalksToHasAProviderKind) {
    for (const char* dbms : {"SQLite", "PostgreSQL", "MariaDB", "MySQL", "Microsoft SQL Server"})
        EXPECT_EQ(res->query(QStringLiteral("SELECT count(*) FROM providers WHERE provider_name = ?"), {QLatin1String(dbms)})
                      .rows.at(0).at(0), QStringLiteral("1")) << dbms;
}
