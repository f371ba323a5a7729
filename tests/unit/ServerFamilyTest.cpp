#include "db/ServerFamily.h"

#include "db/ConnectionString.h"
#include "db/OdbcConnection.h"
#include "script/SqlLexer.h"
#include "support/Files.h"
#include "support/ScopedEnvironment.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using db::ServerFamily;

TEST(ServerFamily, EveryDbmsNameTheDriversAndClientsReport) {
    const std::pair<const char*, ServerFamily> names[] = {
        {"PostgreSQL", ServerFamily::PostgreSQL},  {"MariaDB", ServerFamily::MariaDB},
        {"MySQL", ServerFamily::MariaDB},          {"SQLite", ServerFamily::SQLite},
        {"Microsoft SQL Server", ServerFamily::SqlServer}, {"Adaptive Server Enterprise", ServerFamily::SqlServer},
        {"Firebird", ServerFamily::Other},         {"", ServerFamily::Other},
    };
    for (const auto& [name, family] : names) EXPECT_EQ(db::familyOfDbms(QString::fromLatin1(name)), family) << name;
}

TEST(ServerFamily, AConnectionStringSaysItsServerBeforeConnecting) {
    const std::pair<const char*, ServerFamily> strings[] = {
        {"Provider=SQLite;Data Source=/tmp/x.db", ServerFamily::SQLite},
        {"Driver={PostgreSQL Unicode};Server=h", ServerFamily::PostgreSQL},
        {"Driver=/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so;Server=h", ServerFamily::PostgreSQL},
        {"Driver={MariaDB Unicode};Server=h", ServerFamily::MariaDB},
        {"Driver=/usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so", ServerFamily::MariaDB},
        {"Driver={MySQL ODBC 8.0 Unicode Driver}", ServerFamily::MariaDB},
        {"Driver=SQLite3;Database=/tmp/x.db", ServerFamily::SQLite},
        {"Driver={FreeTDS};Server=h", ServerFamily::SqlServer},
        {"Driver={Some Other};Server=h", ServerFamily::Other},
        {"DSN=not-defined-anywhere", ServerFamily::Other},
    };
    for (const auto& [text, family] : strings)
        EXPECT_EQ(db::familyOfConnectionString(QString::fromLatin1(text)), family) << text;
}

TEST(ServerFamily, TheLexerDialectFollowsTheServer) {
    EXPECT_EQ(script::dialectOf(ServerFamily::MariaDB), script::Dialect::MySql);
    for (auto other : {ServerFamily::PostgreSQL, ServerFamily::SQLite, ServerFamily::SqlServer, ServerFamily::Other})
        EXPECT_EQ(script::dialectOf(other), script::Dialect::Generic);
}

// A data source names its driver in the user's odbc.ini: the string that
// only names the DSN reaches the same server, and gets the same driver
// options as a string naming the driver, unless the data source sets them.
TEST(ServerFamily, ADataSourceIsKnownByItsDriverAndTunedLikeIt) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString path = home.filePath(QStringLiteral("odbc.ini"));
    writeFile(path, "[maria]\nDriver=MariaDB Unicode\nServer=127.0.0.1\n\n"
                    "[maria_own]\nDriver=MariaDB Unicode\nOPTION=3\n\n"
                    "[pg]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so\n");
    ScopedEnvironment env;
    env.set("ODBCINI", path.toLocal8Bit()); // the driver manager's user data sources

    EXPECT_EQ(db::familyOfConnectionString(QStringLiteral("DSN=maria;Uid=u;Pwd=p")), ServerFamily::MariaDB);
    EXPECT_EQ(db::familyOfConnectionString(QStringLiteral("DSN=pg")), ServerFamily::PostgreSQL);
    EXPECT_EQ(db::odbcDriverOf(db::ConnectionString(QStringLiteral("DSN=maria"))), QStringLiteral("MariaDB Unicode"));

    const db::ConnectionString tuned(db::tunedConnectionString(QStringLiteral("DSN=maria;Uid=u"), 15));
    EXPECT_EQ(tuned.value("OPTION"), QStringLiteral("67108866")); // multi-statement scripts
    const QString own = QStringLiteral("DSN=maria_own;Uid=u");
    EXPECT_EQ(db::tunedConnectionString(own, 15), own);
}
