// The schema reader on SQLite files and the real servers.
#include "settings/AppPaths.h"
#include "store/HomeSeeding.h"
#include "store/ResourceDb.h"
#include "catalog/SchemaReader.h"
#include "db/Connection.h"
#include "support/TempHome.h"
#include "support/TestServers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace catalog;

namespace {

QStringList names(const Result<QStringList>& list) {
    EXPECT_TRUE(list.ok()) << list.error().toStdString();
    return list.valueOr({});
}
QStringList texts(const NodeList& l) {
    QStringList t;
    for (const auto& n : l.nodes) t << n.text;
    return t;
}


class SchemaReaderTest : public ::testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        store::ensureSeeded();
        SQLQE_REQUIRE_BACKEND(GetParam(), dir.filePath(QStringLiteral("s.db")), cs);
        conn = db::Connection::open(cs);
        for (const char* s : {"DROP VIEW IF EXISTS sr_view", "DROP TABLE IF EXISTS sr_items", "DROP TABLE IF EXISTS sr_empty"})
            conn->exec(QLatin1String(s));
        conn->exec(QStringLiteral("CREATE TABLE sr_items (id INTEGER PRIMARY KEY, label VARCHAR(30), price DECIMAL(8,2))"));
        conn->exec(QStringLiteral("CREATE TABLE sr_empty (code CHAR(4), note VARCHAR(50))"));
        conn->exec(QStringLiteral("CREATE VIEW sr_view AS SELECT id, label FROM sr_items"));
        catalog = conn->defaultDatabase();
    }
    bool isSqlite() const { return !GetParam().server; }
    TempHome home;
    QTemporaryDir dir;
    QString cs, catalog;
    std::unique_ptr<db::Connection> conn;
};

} // namespace

TEST_P(SchemaReaderTest, ListReadersGiveNameLists) {
    const QStringList tables = names(getTableList(cs));
    EXPECT_TRUE(tables.contains(QStringLiteral("sr_items")));
    EXPECT_TRUE(tables.contains(QStringLiteral("sr_empty")));
    EXPECT_FALSE(tables.contains(QStringLiteral("sr_view")));
    EXPECT_TRUE(names(getCatalogList(cs)).contains(catalog));
    EXPECT_EQ(names(getColumnList(cs, QStringLiteral("sr_items"), QString())), (QStringList{"id", "label", "price"}));
    EXPECT_EQ(names(getColumnList(cs, QStringLiteral("SR_ITEMS"), QString())), QStringList()); // names compare exactly
    if (isSqlite()) {
        EXPECT_TRUE(names(getSystemTableList(cs)).contains(QStringLiteral("sqlite_schema")));
    }
}

TEST_P(SchemaReaderTest, FillersGiveNodesWithTheKeyGrammar) {
    const QString folder = QStringLiteral("CCU|") + catalog;
    const NodeList tables = addTableNodes(cs, folder, QStringLiteral("U"));
    EXPECT_TRUE(tables.status.ok()) << tables.status.error().toStdString();
    bool found = false;
    for (const auto& n : tables.nodes)
        if (n.text == QLatin1String("sr_items")) {
            found = true;
            EXPECT_EQ(n.key, QStringLiteral("XXXXX|CCU|") + catalog + QStringLiteral("|sr_items"));
            EXPECT_EQ(n.image, NodeImage::Table);
        }
    EXPECT_TRUE(found);
    const NodeList views = addTableNodes(cs, QStringLiteral("CCV|") + catalog, QStringLiteral("V"));
    EXPECT_TRUE(texts(views).contains(QStringLiteral("sr_view")));
    EXPECT_EQ(views.nodes.front().image, NodeImage::OtherTable);
    EXPECT_TRUE(addTableNodes(cs, folder, QStringLiteral("Q")).nodes.empty());

    const QString tableKey = QStringLiteral("XXXXX|CCU|") + catalog + QStringLiteral("|sr_empty");
    const NodeList cols = addColumnNodes(cs, tableKey);
    EXPECT_EQ(texts(cols), (QStringList{"code", "note"}));
    EXPECT_EQ(cols.nodes[0].key, QStringLiteral("YYYYYY|") + tableKey + QStringLiteral("|code"));
    // details of a column of an empty table come from the catalogue
    const NodeList info = addColumnInfoNodes(cs, cols.nodes[1].key, QStringLiteral("note"));
    ASSERT_EQ(info.nodes.size(), 2u) << info.status.error().toStdString();
    EXPECT_EQ(info.nodes[0].key, QStringLiteral("QQQQQQQQQQS|") + cols.nodes[1].key);
    EXPECT_EQ(info.nodes[0].text, QStringLiteral("50"));
    EXPECT_EQ(info.nodes[1].key, QStringLiteral("QQQQQQQQQQT|") + cols.nodes[1].key);
    EXPECT_TRUE(info.nodes[1].text.contains(QStringLiteral("Char"))) << info.nodes[1].text.toStdString();

    const NodeList flat = addFlatColumnNodes(cs, QStringLiteral("Csr_items"));
    EXPECT_EQ(texts(flat), (QStringList{"id", "label", "price"}));
    EXPECT_EQ(flat.nodes[1].key, QStringLiteral("ZZZZZZ|Csr_items|label"));
    const NodeList flatInfo = addFlatColumnInfoNodes(cs, flat.nodes[1].key, QStringLiteral("label"));
    ASSERT_EQ(flatInfo.nodes.size(), 2u);
    EXPECT_EQ(flatInfo.nodes[0].text, QStringLiteral("30"));
}

TEST_P(SchemaReaderTest, ProceduresWhereTheBackendHasThem) {
    if (isSqlite()) {
        EXPECT_TRUE(addProcedureNodes(cs, QStringLiteral("CCP|main"), QStringLiteral("P")).nodes.empty());
        return;
    }
    if (GetParam().server == &kPostgres) {
        conn->exec(QStringLiteral("CREATE OR REPLACE FUNCTION sr_proc(a integer) RETURNS integer AS 'SELECT a' LANGUAGE SQL"));
    } else {
        conn->exec(QStringLiteral("DROP PROCEDURE IF EXISTS sr_proc"));
        conn->exec(QStringLiteral("CREATE PROCEDURE sr_proc() SELECT 1"));
    }
    const NodeList procs = addProcedureNodes(cs, QStringLiteral("CCP|") + catalog, QStringLiteral("P"));
    bool found = false;
    for (const auto& n : procs.nodes)
        found |= n.text.startsWith(QStringLiteral("sr_proc")) &&
                 n.key.startsWith(QStringLiteral("ZZZZZ|CCP|") + catalog + QStringLiteral("|sr_proc"));
    EXPECT_TRUE(found);
    EXPECT_TRUE(addProcedureNodes(cs, QStringLiteral("CCP|") + catalog, QStringLiteral("U")).nodes.empty());
}

TEST_P(SchemaReaderTest, ADeadConnectionGivesAnErrorReport) {
    const QString dead = isSqlite() ? QStringLiteral("Provider=SQLite;Data Source=/nonexistent/x.db")
                                    : QStringLiteral("Driver={No Such Driver};Pwd=secret-1234");
    for (const QString& r : {getTableList(dead).error(), getCatalogList(dead).error(), getSystemTableList(dead).error(),
                             getColumnList(dead, QStringLiteral("t"), QString()).error(),
                             addTableNodes(dead, QStringLiteral("CCU|x"), QStringLiteral("U")).status.error()}) {
        EXPECT_TRUE(r.startsWith(QStringLiteral("Error: "))) << r.toStdString();
        EXPECT_TRUE(r.contains(QStringLiteral("\r\n")));
        EXPECT_FALSE(r.contains(QStringLiteral("secret-1234")));
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, SchemaReaderTest, ::testing::ValuesIn(kTestBackends), byLabel);

TEST(SchemaReaderPostgres, TablesOfTheSameNameInTwoSchemasAreBothListed) {
    QString cs;
    SQLQE_REQUIRE_SERVER(kPostgres, cs);
    auto conn = db::Connection::open(cs);
    conn->exec(QStringLiteral("DROP SCHEMA IF EXISTS sr_other CASCADE"));
    conn->exec(QStringLiteral("DROP TABLE IF EXISTS public.sr_twin"));
    conn->exec(QStringLiteral("CREATE SCHEMA sr_other"));
    conn->exec(QStringLiteral("CREATE TABLE public.sr_twin (a INTEGER)"));
    conn->exec(QStringLiteral("CREATE TABLE sr_other.sr_twin (b INTEGER, c INTEGER)"));
    const QString catalog = conn->defaultDatabase();
    const NodeList tables = addTableNodes(cs, QStringLiteral("CCU|") + catalog, QStringLiteral("U"));
    EXPECT_TRUE(tables.status.ok());
    QStringList twinKeys;
    for (const auto& n : tables.nodes)
        if (n.text == QLatin1String("sr_twin")) twinKeys << n.key;
    ASSERT_EQ(twinKeys.size(), 2);
    EXPECT_NE(twinKeys[0], twinKeys[1]);
    // each key's columns are its own table's
    QStringList all;
    for (const QString& k : twinKeys) all << texts(addColumnNodes(cs, k)).join(QLatin1Char(','));
    EXPECT_TRUE(all.contains(QStringLiteral("a")) || all.contains(QStringLiteral("b,c"))) << all.join(QLatin1Char(';')).toStdString();
}

TEST(ProviderKind, LooksTheProviderUpWithoutCaseAndKeepsTheRules) {
    TempHome home;
    store::ensureSeeded();
    EXPECT_EQ(getProviderKind(QStringLiteral("sqlite")).valueOr(ProviderKind::None), ProviderKind::SingleDatabase);
    EXPECT_EQ(getProviderKind(QStringLiteral("PostgreSQL")).valueOr(ProviderKind::None), ProviderKind::CatalogServer);
    auto res = ResourceDb::open();
    res->exec(QStringLiteral("INSERT INTO providers VALUES ('ZeroKind', '0'), ('EmptyKind', ''), ('TwoKind', '2'), "
                             "('BadKind', 'abc'), ('NullKind', NULL), ('it''s', '2')"));
    auto kind = [](const char* p) { return getProviderKind(QLatin1String(p)).valueOr(ProviderKind::None); };
    EXPECT_EQ(kind("ZeroKind"), ProviderKind::CatalogServer);
    EXPECT_EQ(kind("EmptyKind"), ProviderKind::CatalogServer);
    EXPECT_EQ(kind("TwoKind"), ProviderKind::SingleDatabase);
    EXPECT_EQ(kind("it's"), ProviderKind::SingleDatabase); // bound, not pasted
    for (const char* p : {"BadKind", "NullKind", "NoSuchProvider", ""}) {
        const Result<ProviderKind> k = getProviderKind(QLatin1String(p));
        EXPECT_FALSE(k.ok()) << p;
        EXPECT_TRUE(k.error().startsWith(QStringLiteral("Error: "))) << p;
    }
}
