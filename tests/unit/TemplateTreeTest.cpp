// The template tree's and snippet branch's nodes: order, orphans, keys that
// tell every kind apart by prefix and never collide; group titles that name
// one group; templates never filed under a missing group.
#include "store/TemplateTree.h"

#include "store/HomeSeeding.h"
#include "store/ResourceDb.h"
#include "store/TemplateStore.h"
#include "support/TempHome.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace store;

namespace {
QStringList texts(const std::vector<TemplateNode>& nodes, const QString& parent) {
    QStringList out;
    for (const TemplateNode& n : nodes)
        if (n.parentKey == parent) out << n.text;
    return out;
}
bool keysUnique(const std::vector<TemplateNode>& nodes) {
    QSet<QString> keys;
    for (const TemplateNode& n : nodes)
        keys.insert(n.key);
    return keys.size() == qsizetype(nodes.size());
}
} // namespace

TEST(TemplateTree, GroupsInGivenOrderTemplatesInTableOrderOrphansUnderTheirOwnNode) {
    const std::vector<TemplateGroup> groups = {
        {7, QStringLiteral("alpha")}, {12, QStringLiteral("Beta")}, {3, QStringLiteral("empty")}};
    const std::vector<TemplateEntry> rows = {{1, 12, QStringLiteral("b1")},
                                             {2, 7, QStringLiteral("a1")},
                                             {3, 99, QStringLiteral("lost")},
                                             {4, 12, QStringLiteral("b2")},
                                             {5, 0, QStringLiteral("no group at all")}};
    const auto nodes = buildTemplateTree(groups, rows);
    ASSERT_FALSE(nodes.empty());
    EXPECT_EQ(nodes.front().key, QStringLiteral("MYROOT"));
    EXPECT_EQ(nodes.front().text, QStringLiteral("Templates"));
    EXPECT_EQ(texts(nodes, QStringLiteral("MYROOT")),
              (QStringList{"alpha", "Beta", "empty", "(No group)"})); // the orphans' node after the groups
    EXPECT_EQ(texts(nodes, QStringLiteral("C12")), (QStringList{"b1", "b2"}));
    EXPECT_EQ(texts(nodes, QStringLiteral("C7")), (QStringList{"a1"}));
    EXPECT_EQ(texts(nodes, QStringLiteral("NOGROUP")), (QStringList{"lost", "no group at all"}));
    EXPECT_TRUE(keysUnique(nodes));
    for (const TemplateNode& n : nodes) { // every parent is added before its children
        if (n.parentKey.isEmpty()) continue;
        const auto parent = std::find_if(nodes.begin(), nodes.end(),
                                         [&](const TemplateNode& p) { return p.key == n.parentKey; });
        ASSERT_NE(parent, nodes.end()) << n.key.toStdString();
        EXPECT_LT(parent - nodes.begin(), &n - nodes.data());
    }

    const auto tidy = buildTemplateTree(groups, {{1, 7, QStringLiteral("a")}});
    EXPECT_EQ(texts(tidy, QStringLiteral("MYROOT")),
              (QStringList{"alpha", "Beta", "empty"})); // no empty "(No group)"
}

TEST(TemplateTree, KeysAreReadByPrefixSoAGroupLeafIsNeverATemplate) {
    EXPECT_EQ(parseTemplateKey(QStringLiteral("MYROOT")).kind, TemplateNodeKind::Root);
    EXPECT_EQ(parseTemplateKey(QStringLiteral("NOGROUP")).kind, TemplateNodeKind::Orphans);
    const ParsedTemplateKey group =
        parseTemplateKey(groupKey(12)); // "C12": dropping two characters would read template 2
    EXPECT_EQ(group.kind, TemplateNodeKind::Group);
    EXPECT_EQ(group.id, 12);
    const ParsedTemplateKey tmpl = parseTemplateKey(templateKey(12));
    EXPECT_EQ(tmpl.kind, TemplateNodeKind::Template);
    EXPECT_EQ(tmpl.id, 12);
    for (const char* bad : {"", "C", "CC", "Cx", "CC1x", "C-1", "C 1", "OO", "OOx", "R2", "XXXXX|CCU|db|t"})
        EXPECT_EQ(parseTemplateKey(QLatin1String(bad)).kind, TemplateNodeKind::Unknown) << bad;
}

TEST(TemplateTree, SnippetGroupKeysNeverCollideWithSnippetKeys) {
    // a group named O5 would have had the key of snippet 5
    const std::vector<ObjectSnippet> snippets = {{5, QStringLiteral("O5"), QStringLiteral("five")},
                                                 {6, QStringLiteral("Clauses"), QStringLiteral("where")},
                                                 {7, QStringLiteral("O5"), QStringLiteral("seven")},
                                                 {8, QString(), QStringLiteral("loose")},
                                                 {9, QStringLiteral("clauses"), QStringLiteral("lower")}};
    const auto nodes = buildSnippetTree(snippets);
    EXPECT_TRUE(keysUnique(nodes));
    EXPECT_EQ(texts(nodes, QStringLiteral("R2")), (QStringList{"(No group)", "Clauses", "clauses", "O5"}));
    EXPECT_EQ(texts(nodes, snippetGroupKey(QStringLiteral("O5"))), (QStringList{"five", "seven"}));
    for (const TemplateNode& n : nodes) {
        const ParsedTemplateKey k = parseTemplateKey(n.key);
        EXPECT_EQ(k.kind, n.kind) << n.key.toStdString();
        if (n.kind == TemplateNodeKind::Snippet) {
            EXPECT_TRUE(n.key.startsWith(QStringLiteral("OO")));
            EXPECT_EQ(k.id, n.id);
        } else {
            EXPECT_FALSE(n.key.startsWith(QStringLiteral("OO"))) << n.key.toStdString();
        }
    }
}

namespace {
class TemplateLibrary : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(store::ensureSeeded().isEmpty()); }
    TempHome home;
};
} // namespace

TEST_F(TemplateLibrary, TheStarterLibraryLoadsWholeWithNothingStranded) {
    const auto nodes = loadTemplateTree();
    ASSERT_TRUE(nodes.ok()) << nodes.error().toStdString();
    const auto groups = TemplateStore::groups().value();
    const auto rows = TemplateStore::templates().value();
    qsizetype templates = 0;
    for (const TemplateNode& n : *nodes)
        templates += n.kind == TemplateNodeKind::Template;
    EXPECT_EQ(templates, qsizetype(rows.size()));
    EXPECT_EQ(texts(*nodes, QStringLiteral("NOGROUP")), QStringList()); // every seeded template has its group
    QStringList titles;
    for (const auto& g : groups)
        titles << g.title;
    EXPECT_EQ(texts(*nodes, QStringLiteral("MYROOT")), titles);
    QStringList sorted = titles;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    EXPECT_EQ(titles, sorted);
    const auto snippetNodes = loadSnippetTree();
    ASSERT_TRUE(snippetNodes.ok());
    EXPECT_TRUE(keysUnique(*snippetNodes));
}

TEST_F(TemplateLibrary, AGroupTitleNamesOneGroupAndTemplatesNeedAnExistingGroup) {
    const qint64 a = TemplateStore::insertGroup(QStringLiteral("  Mine's 100%  ")).valueOr(0);
    ASSERT_GT(a, 0);
    EXPECT_EQ(TemplateStore::groupTitle(a).valueOr({}), QStringLiteral("Mine's 100%")); // stored trimmed
    EXPECT_FALSE(TemplateStore::insertGroup(QStringLiteral("MINE'S 100%")).ok()); // the same name, other case
    EXPECT_FALSE(TemplateStore::insertGroup(QStringLiteral("   ")).ok());
    EXPECT_FALSE(TemplateStore::renameGroup(a, QStringLiteral("queries")).ok()); // a seeded group's name
    EXPECT_TRUE(
        TemplateStore::renameGroup(a, QStringLiteral("MINE'S 100%")).ok()); // its own name, other case
    EXPECT_EQ(TemplateStore::groupId(QStringLiteral("mine's 100%")).valueOr(0), a);

    const qint64 before = qint64(TemplateStore::templates()->size());
    EXPECT_FALSE(TemplateStore::insertTemplate(987654, QStringLiteral("t"), QStringLiteral("c")).ok());
    EXPECT_EQ(qint64(TemplateStore::templates()->size()), before);
    const qint64 t = TemplateStore::insertTemplate(a, QStringLiteral("t"), QStringLiteral("c")).valueOr(0);
    ASSERT_GT(t, 0);
    EXPECT_FALSE(TemplateStore::updateTemplate(t, 987654, QStringLiteral("moved"), QStringLiteral("c")).ok());
    EXPECT_EQ(TemplateStore::loadTemplate(t)->groupId, a);
    EXPECT_EQ(TemplateStore::loadTemplate(t)->title, QStringLiteral("t"));
}
