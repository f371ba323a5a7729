// The statement generator without a database: the T-SQL texts byte for
// byte, the other dialects' shapes, quoting and placeholders.
#include "catalog/StatementGenerator.h"

#include "catalog/SqlDialect.h"

#include <gtest/gtest.h>

using namespace catalog;

namespace {

const SqlDialect kTSql =
    SqlDialect::forServer(db::familyOfDbms(QStringLiteral("Microsoft SQL Server")), QStringLiteral("\""));
const SqlDialect kPg = SqlDialect::forServer(db::familyOfDbms(QStringLiteral("PostgreSQL")), QStringLiteral("\""));
const SqlDialect kMaria = SqlDialect::forServer(db::familyOfDbms(QStringLiteral("MariaDB")), QStringLiteral("`"));
const SqlDialect kSqlite = SqlDialect::forServer(db::familyOfDbms(QStringLiteral("SQLite")), QStringLiteral("\""));

ObjectRef table(const QString& catalog, const QString& name, const QString& schema = QString()) {
    ObjectRef r;
    r.kind = ObjectKind::Table;
    r.catalog = catalog;
    r.table = name;
    r.schema = schema;
    return r;
}
ObjectRef column(const QString& catalog, const QString& name, const QString& col,
                 const QString& schema = QString()) {
    ObjectRef r = table(catalog, name, schema);
    r.kind = ObjectKind::Column;
    r.column = col;
    return r;
}
const QStringList kAuthorsColumns = {QStringLiteral("au_id"), QStringLiteral("au_lname")};

} // namespace

TEST(TSqlStatements, BrowseAndSelectKeepTheirTexts) {
    EXPECT_EQ(browseStatement(kTSql, table("pubs", "authors")), QStringLiteral("SELECT TOP 20 * FROM pubs..authors"));
    EXPECT_EQ(browseStatement(kTSql, column("pubs", "authors", "au_id")),
              QStringLiteral("SELECT TOP 20 au_id FROM pubs..authors"));
    // the single-database layout has no catalogue
    EXPECT_EQ(browseStatement(kTSql, column("", "authors", "au_id")),
              QStringLiteral("SELECT TOP 20 au_id FROM authors"));
    EXPECT_EQ(browseStatement(kTSql, table("", "authors")), QStringLiteral("SELECT TOP 20 * FROM authors"));
    EXPECT_EQ(selectStatement(kTSql, table("pubs", "authors")), QStringLiteral("SELECT * FROM pubs..authors"));
    EXPECT_EQ(selectStatement(kTSql, column("pubs", "authors", "au_id")),
              QStringLiteral("SELECT au_id FROM pubs..authors"));
    // the default schema is left out, another one kept
    EXPECT_EQ(selectStatement(kTSql, table("pubs", "authors", "dbo")), QStringLiteral("SELECT * FROM pubs..authors"));
    EXPECT_EQ(selectStatement(kTSql, table("shop", "orders", "sales")),
              QStringLiteral("SELECT * FROM shop.sales.orders"));
}

TEST(TSqlStatements, TableSkeletonsLayOutEveryColumn) {
    const ObjectRef authors = table("pubs", "authors");
    EXPECT_EQ(deleteStatement(kTSql, authors, kAuthorsColumns),
              QStringLiteral("DELETE FROM pubs..authors\r\n\tWHERE au_id = 'au_id'\r\n\tAND au_lname = "
                             "'au_lname'\r\n\t\r\n\t"));
    EXPECT_EQ(
        insertStatement(kTSql, authors, kAuthorsColumns),
        QStringLiteral(
            "INSERT INTO pubs..authors\r\n\t(au_id, au_lname)\r\nVALUES\r\n\t('au_id', 'au_lname')\r\n"));
    // each assignment on its own line, the comma closing every line but the last
    EXPECT_EQ(updateStatement(kTSql, authors, kAuthorsColumns),
              QStringLiteral(
                  "UPDATE pubs..authors\r\n\tSET au_id = 'au_id',\r\n\tau_lname = 'au_lname'\r\n\t\r\n\t"));
}

TEST(TSqlStatements, OneColumnTablesHaveNoSeparators) {
    const ObjectRef t = table("pubs", "jobs");
    const QStringList one = {QStringLiteral("job_id")};
    EXPECT_EQ(deleteStatement(kTSql, t, one),
              QStringLiteral("DELETE FROM pubs..jobs\r\n\tWHERE job_id = 'job_id'\r\n\t\r\n\t"));
    EXPECT_EQ(insertStatement(kTSql, t, one),
              QStringLiteral("INSERT INTO pubs..jobs\r\n\t(job_id)\r\nVALUES\r\n\t('job_id')\r\n"));
    EXPECT_EQ(updateStatement(kTSql, t, one),
              QStringLiteral("UPDATE pubs..jobs\r\n\tSET job_id = 'job_id'\r\n\t\r\n\t"));
    // no columns: nothing to write, and no failure
    EXPECT_TRUE(deleteStatement(kTSql, t, {}).isEmpty());
    EXPECT_TRUE(insertStatement(kTSql, t, {}).isEmpty());
    EXPECT_TRUE(updateStatement(kTSql, t, {}).isEmpty());
}

TEST(TSqlStatements, ColumnSkeletonsNeedNoColumnList) {
    const ObjectRef c = column("pubs", "authors", "au_id");
    EXPECT_FALSE(needsColumns(c));
    EXPECT_TRUE(needsColumns(table("pubs", "authors")));
    EXPECT_EQ(deleteStatement(kTSql, c, {}),
              QStringLiteral("DELETE FROM pubs..authors\r\n\tWHERE authors.au_id = 'au_id'"));
    EXPECT_EQ(insertStatement(kTSql, c, {}),
              QStringLiteral("INSERT INTO pubs..authors\r\n\t(au_id) \r\nVALUES \r\n\t('au_id')"));
    EXPECT_EQ(
        updateStatement(kTSql, c, {}),
        QStringLiteral("UPDATE pubs..authors\r\n\tSET authors.au_id = 'au_id'\r\n\tWHERE au_id = 'au_id'"));
}

TEST(TSqlStatements, AwkwardNamesAreBracketed) {
    const ObjectRef c = column("my db", "Order Details", "Unit]Price");
    EXPECT_EQ(browseStatement(kTSql, c), QStringLiteral("SELECT TOP 20 [Unit]]Price] FROM [my db]..[Order Details]"));
    EXPECT_EQ(
        deleteStatement(kTSql, c, {}),
        QStringLiteral(
            "DELETE FROM [my db]..[Order Details]\r\n\tWHERE [Order Details].[Unit]]Price] = 'Unit]Price'"));
    // a quote in a name is doubled in its placeholder
    EXPECT_EQ(insertStatement(kTSql, column("pubs", "t", "it's"), {}),
              QStringLiteral("INSERT INTO pubs..t\r\n\t([it's]) \r\nVALUES \r\n\t('it''s')"));
    EXPECT_EQ(selectStatement(kTSql, column("pubs", "t", "select")), QStringLiteral("SELECT [select] FROM pubs..t"));
}

TEST(TSqlStatements, OtherNodesGetNothing) {
    ObjectRef catalog;
    catalog.kind = ObjectKind::Catalog;
    catalog.catalog = QStringLiteral("pubs");
    for (const ObjectRef& r : {catalog, ObjectRef()}) {
        EXPECT_TRUE(browseStatement(kTSql, r).isEmpty());
        EXPECT_TRUE(selectStatement(kTSql, r).isEmpty());
        EXPECT_TRUE(insertStatement(kTSql, r, kAuthorsColumns).isEmpty());
        EXPECT_TRUE(updateStatement(kTSql, r, kAuthorsColumns).isEmpty());
        EXPECT_TRUE(deleteStatement(kTSql, r, kAuthorsColumns).isEmpty());
    }
}

TEST(DialectStatements, EachDialectLimitsAndQualifiesItsOwnWay) {
    EXPECT_EQ(browseStatement(kPg, table("shop", "orders", "public")),
              QStringLiteral("SELECT * FROM public.orders LIMIT 20"));
    EXPECT_EQ(browseStatement(kPg, column("shop", "Orders", "Total", "Sales")),
              QStringLiteral("SELECT \"Total\" FROM \"Sales\".\"Orders\" LIMIT 20"));
    EXPECT_EQ(browseStatement(kMaria, table("shop", "order items")),
              QStringLiteral("SELECT * FROM shop.`order items` LIMIT 20"));
    EXPECT_EQ(browseStatement(kMaria, column("shop", "Orders", "Total")),
              QStringLiteral("SELECT Total FROM shop.Orders LIMIT 20"));
    EXPECT_EQ(browseStatement(kSqlite, table("", "orders")), QStringLiteral("SELECT * FROM orders LIMIT 20"));
    EXPECT_EQ(browseStatement(kSqlite, table("main", "orders")), QStringLiteral("SELECT * FROM orders LIMIT 20"));
    EXPECT_EQ(browseStatement(kSqlite, table("aux", "orders")), QStringLiteral("SELECT * FROM aux.orders LIMIT 20"));
    const SqlDialect other = SqlDialect::forServer(db::familyOfDbms(QStringLiteral("Firebird")), QStringLiteral("\""));
    EXPECT_EQ(other.family, DialectFamily::Standard);
    EXPECT_EQ(browseStatement(other, table("", "T", "S")),
              QStringLiteral("SELECT * FROM S.T FETCH FIRST 20 ROWS ONLY"));
    for (const SqlDialect& d : {kPg, kMaria, kSqlite})
        EXPECT_FALSE(browseStatement(d, table("pubs", "t")).contains(QLatin1String("..")));
}

TEST(DialectStatements, SkeletonsTakeNamedParametersAndFindTheRowByItsKey) {
    const ObjectRef orders = table("shop", "Orders", "public");
    const QStringList columns = {QStringLiteral("id"), QStringLiteral("Order Date"), QStringLiteral("total")};
    EXPECT_EQ(insertStatement(kPg, orders, columns),
              QStringLiteral("INSERT INTO public.\"Orders\"\r\n\t(id, \"Order Date\", total)\r\nVALUES\r\n\t"
                             "(:id, :Order_Date, :total)\r\n"));
    // by the key: the other columns are set
    EXPECT_EQ(updateStatement(kPg, orders, columns, {QStringLiteral("id")}),
              QStringLiteral("UPDATE public.\"Orders\"\r\n\tSET \"Order Date\" = :Order_Date,\r\n\ttotal = :total"
                             "\r\n\tWHERE id = :id\r\n\t"));
    EXPECT_EQ(deleteStatement(kMaria, table("shop", "orders"), columns, {QStringLiteral("id"), QStringLiteral("total")}),
              QStringLiteral("DELETE FROM shop.orders\r\n\tWHERE id = :id\r\n\tAND total = :total\r\n\t"));
    // without a key: every column, the old values apart from the new
    EXPECT_EQ(updateStatement(kSqlite, table("", "t"), {QStringLiteral("a"), QStringLiteral("b")}),
              QStringLiteral("UPDATE t\r\n\tSET a = :a,\r\n\tb = :b\r\n\tWHERE a = :old_a\r\n\tAND b = :old_b\r\n\t"));
    EXPECT_EQ(deleteStatement(kSqlite, table("", "t"), {QStringLiteral("a"), QStringLiteral("b")}),
              QStringLiteral("DELETE FROM t\r\n\tWHERE a = :a\r\n\tAND b = :b\r\n\t"));
    // column forms
    const ObjectRef total = column("shop", "Orders", "Total", "public");
    EXPECT_TRUE(usesKey(kPg, total));
    EXPECT_FALSE(usesKey(kTSql, total));
    EXPECT_EQ(updateStatement(kPg, total, {}, {QStringLiteral("id")}),
              QStringLiteral("UPDATE public.\"Orders\"\r\n\tSET \"Total\" = :Total\r\n\tWHERE id = :id"));
    EXPECT_EQ(updateStatement(kPg, total, {}, {}),
              QStringLiteral("UPDATE public.\"Orders\"\r\n\tSET \"Total\" = :Total\r\n\tWHERE \"Total\" = :old_Total"));
    EXPECT_EQ(deleteStatement(kMaria, column("shop", "t", "a\\b"), {}), QStringLiteral("DELETE FROM shop.t\r\n\tWHERE `a\\b` = :a_b"));
    EXPECT_EQ(insertStatement(kSqlite, column("", "t", "x"), {}), QStringLiteral("INSERT INTO t\r\n\t(x) \r\nVALUES \r\n\t(:x)"));
}

TEST(DialectStatements, ParameterNamesAreWordsAndUnique) {
    EXPECT_EQ(statementParameterNames({QStringLiteral("id"), QStringLiteral("say \"hi\""), QStringLiteral("it's"),
                              QStringLiteral("2nd"), QStringLiteral("naïve"), QStringLiteral("say_hi_"),
                              QStringLiteral("!"), QStringLiteral("old_id")}),
              (QStringList{"id", "say_hi_", "it_s", "p2nd", "naïve", "say_hi__2", "_", "old_id"}));
}

TEST(SqlDialectTest, QuotesOnlyWhatNeedsIt) {
    EXPECT_FALSE(kPg.needsQuoting(QStringLiteral("order_items")));
    EXPECT_TRUE(kPg.needsQuoting(QStringLiteral("Orders"))); // folded to lower case when bare
    EXPECT_FALSE(kMaria.needsQuoting(QStringLiteral("Orders")));
    EXPECT_FALSE(kSqlite.needsQuoting(QStringLiteral("Orders")));
    for (const char* n : {"select", "ORDER", "Group", "my table", "2nd", "", "naïve", "a-b"})
        for (const SqlDialect& d : {kTSql, kPg, kMaria, kSqlite})
            EXPECT_TRUE(d.needsQuoting(QString::fromUtf8(n))) << n;
    EXPECT_EQ(kPg.quotedName(QStringLiteral("say \"hi\"")), QStringLiteral("\"say \"\"hi\"\"\""));
    EXPECT_EQ(kMaria.quotedName(QStringLiteral("back`tick")), QStringLiteral("`back``tick`"));
    EXPECT_EQ(kTSql.quotedName(QStringLiteral("a]b")), QStringLiteral("[a]]b]"));
    EXPECT_EQ(kPg.quotedName(QStringLiteral("public")), QStringLiteral("public"));
    EXPECT_EQ(kTSql.quotedName(QStringLiteral("public")), QStringLiteral("[public]"));
    // a driver without a quote character gets names as they are
    const SqlDialect none = SqlDialect::forServer(db::familyOfDbms(QStringLiteral("Something")), QStringLiteral(" "));
    EXPECT_EQ(none.quotedName(QStringLiteral("my table")), QStringLiteral("my table"));
    EXPECT_EQ(kMaria.literal(QStringLiteral("it's \\")), QStringLiteral("'it''s \\\\'"));
    EXPECT_EQ(kPg.literal(QStringLiteral("it's \\")), QStringLiteral("'it''s \\'"));
}

TEST(SqlDialectTest, FamiliesFromProviderNames) {
    EXPECT_EQ(kTSql.family, DialectFamily::TransactSql);
    EXPECT_EQ(kTSql.quote, QStringLiteral("["));
    EXPECT_EQ(SqlDialect::forServer(db::familyOfDbms(QStringLiteral("MySQL")), QString()).quote, QStringLiteral("`"));
    EXPECT_EQ(kPg.family, DialectFamily::PostgreSql);
    EXPECT_EQ(kMaria.family, DialectFamily::MySql);
    EXPECT_EQ(kSqlite.family, DialectFamily::Sqlite);
}

TEST(CallSkeleton, EveryDialectCallsWithPlaceholders) {
    ObjectRef p;
    p.kind = ObjectKind::Procedure;
    p.catalog = QStringLiteral("shop");
    p.schema = QStringLiteral("public");
    p.table = QStringLiteral("restock");
    using Dir = ProcedureSignature::Direction;
    ProcedureSignature proc{false,
                            {{QStringLiteral("item"), Dir::In},
                             {QStringLiteral("Amount"), Dir::InOut},
                             {QStringLiteral("done"), Dir::Out}}};
    EXPECT_EQ(callStatement(kPg, p, proc), QStringLiteral("CALL public.restock('item', 'Amount', NULL)"));
    EXPECT_EQ(callStatement(kMaria, p, proc), QStringLiteral("CALL shop.restock('item', 'Amount', @done)"));
    ProcedureSignature fn{
        true, {{QStringLiteral("item"), Dir::In}, {QString(), Dir::In}, {QStringLiteral("r"), Dir::Out}}};
    EXPECT_EQ(callStatement(kPg, p, fn), QStringLiteral("SELECT * FROM public.restock('item', 'arg2')"));
    EXPECT_EQ(callStatement(kMaria, p, fn), QStringLiteral("SELECT shop.restock('item', 'arg2')"));
    p.table = QStringLiteral("byroyalty;1");
    p.catalog = QStringLiteral("pubs");
    p.schema = QStringLiteral("dbo");
    EXPECT_EQ(callStatement(kTSql, p, ProcedureSignature{false, {{QStringLiteral("@percentage"), Dir::In}}}),
              QStringLiteral("EXEC pubs..byroyalty @percentage = 'percentage'"));
    EXPECT_EQ(callStatement(kTSql, p, ProcedureSignature{}), QStringLiteral("EXEC pubs..byroyalty"));
    EXPECT_TRUE(callStatement(kPg, table("shop", "t"), proc).isEmpty());
}
