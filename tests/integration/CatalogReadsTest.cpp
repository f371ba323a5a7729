// What the object browser reads besides the tree fillers: the connection
// summary of its first levels, database switching, the driver's quote
// character and procedure parameters.
#include "catalog/ConnectionSummary.h"
#include "db/Connection.h"
#include "store/HomeSeeding.h"
#include "store/ResourceDb.h"
#include "support/TempHome.h"
#include "support/TestServers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A second database on the server, for switching.
const QString kOtherDatabase = QStringLiteral("sqlqe_catalog_b");

void ensureOtherDatabase(db::Connection& conn, bool postgres) {
    if (postgres) {
        if (conn.query(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = ?"), {kOtherDatabase})
                .rows.empty())
            conn.exec(QStringLiteral("CREATE DATABASE ") + kOtherDatabase);
    } else {
        conn.exec(QStringLiteral("CREATE DATABASE IF NOT EXISTS ") + kOtherDatabase);
    }
}

} // namespace

TEST(ConnectionSummaryTest, SqliteIsASingleDatabaseWithItsTablesAndSnippets) {
    TempHome home;
    store::ensureSeeded();
    QTemporaryDir dir;
    const QString cs = QStringLiteral("Provider=SQLite;Data Source=") + dir.filePath(QStringLiteral("s.db"));
    auto conn = db::Connection::open(cs, {15, true});
    conn->exec(QStringLiteral("CREATE TABLE b_second (x INTEGER)"));
    conn->exec(QStringLiteral("CREATE TABLE a_first (x INTEGER)"));
    EXPECT_EQ(conn->identifierQuote(), QStringLiteral("\""));

    const Result<ConnectionSummary> s = catalog::readConnectionSummary(cs, QString());
    ASSERT_TRUE(s.ok()) << s.error().toStdString();
    EXPECT_EQ(s->providerName, QStringLiteral("SQLite"));
    EXPECT_EQ(s->defaultDatabase, QStringLiteral("main"));
    EXPECT_EQ(s->kind, ProviderKind::SingleDatabase);
    EXPECT_EQ(s->dialect.family, DialectFamily::Sqlite);
    EXPECT_EQ(s->names, (QStringList{"b_second", "a_first"})); // the backend's order
    EXPECT_FALSE(s->snippetGroups.empty());
    EXPECT_FALSE(s->snippets.empty());
    EXPECT_TRUE(s->snippetsError.isEmpty());

    // an unknown provider kind is reported, not fatal
    ResourceDb::open()->exec(QStringLiteral("DELETE FROM providers WHERE provider_name = 'SQLite'"));
    const Result<ConnectionSummary> unknown = catalog::readConnectionSummary(cs, QString());
    ASSERT_TRUE(unknown.ok());
    EXPECT_EQ(unknown->kind, ProviderKind::None);
    EXPECT_TRUE(unknown->kindError.startsWith(QStringLiteral("Error: ")));
    EXPECT_TRUE(unknown->names.isEmpty());

    EXPECT_FALSE(catalog::readConnectionSummary(cs, QStringLiteral("nosuchdb")).ok());
    const Result<ConnectionSummary> dead = catalog::readConnectionSummary(
        QStringLiteral("Provider=SQLite;Data Source=/nonexistent/x.db"), QString());
    ASSERT_FALSE(dead.ok());
    EXPECT_TRUE(dead.error().contains(QStringLiteral("/nonexistent/x.db")));
}

class CatalogServerTest : public ::testing::TestWithParam<const ServerUnderTest*> {};

TEST_P(CatalogServerTest, SummaryListsCataloguesAndSwitchingReportsTheNewDatabase) {
    TempHome home;
    store::ensureSeeded();
    QString cs;
    SQLQE_REQUIRE_SERVER(*GetParam(), cs);
    const bool postgres = GetParam() == &kPostgres;
    auto conn = db::Connection::open(cs);
    EXPECT_EQ(conn->identifierQuote(), postgres ? QStringLiteral("\"") : QStringLiteral("`"));
    ensureOtherDatabase(*conn, postgres);
    const QString home_db = conn->defaultDatabase();

    const Result<ConnectionSummary> s = catalog::readConnectionSummary(cs, QString());
    ASSERT_TRUE(s.ok()) << s.error().toStdString();
    EXPECT_EQ(s->kind, ProviderKind::CatalogServer);
    EXPECT_EQ(s->defaultDatabase, home_db);
    EXPECT_TRUE(s->names.contains(home_db));
    EXPECT_TRUE(s->names.contains(kOtherDatabase));
    EXPECT_EQ(s->dialect.family, postgres ? DialectFamily::PostgreSql : DialectFamily::MySql);
    EXPECT_FALSE(s->serverVersion.isEmpty());

    // the chosen database becomes the connection's default (PostgreSQL reconnects)
    const Result<ConnectionSummary> other = catalog::readConnectionSummary(cs, kOtherDatabase);
    ASSERT_TRUE(other.ok()) << other.error().toStdString();
    EXPECT_EQ(other->defaultDatabase, kOtherDatabase);
    EXPECT_EQ(catalog::switchDatabase(cs, kOtherDatabase).valueOr({}), kOtherDatabase);
    const Result<QString> missing = catalog::switchDatabase(cs, QStringLiteral("no_such_db_here"));
    EXPECT_FALSE(missing.ok());
    EXPECT_FALSE(missing.error().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Servers, CatalogServerTest, ::testing::Values(&kPostgres, &kMariaDb),
                         [](const auto& info) { return std::string(info.param->label); });
