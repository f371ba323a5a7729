#include "db/ConnectionString.h"
#include "db/OdbcConnection.h"

#include <gtest/gtest.h>

using db::ConnectionString;

TEST(ConnectionString, ParsesPlainAndBracedValuesCaseInsensitively) {
    const ConnectionString cs(QStringLiteral("Driver={PostgreSQL Unicode};SERVER=127.0.0.1; Port = 5432 ;"
                                             "Pwd={a;b}}c};Extra"));
    EXPECT_EQ(cs.value("driver"), QStringLiteral("PostgreSQL Unicode"));
    EXPECT_EQ(cs.value("Server"), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(cs.value("PORT"), QStringLiteral("5432"));
    EXPECT_EQ(cs.value("pwd"), QStringLiteral("a;b}c"));
    EXPECT_EQ(cs.value("Extra"), QString());
    EXPECT_FALSE(cs.value("Database").has_value());
}

TEST(ConnectionString, AKeyGivenTwiceTakesItsLastValueLikeTheDrivers) {
    // A string extended by appending ("…;Database=other;") must reach the
    // other database on the native backends as it does through a driver.
    ConnectionString cs(QStringLiteral("Server=h;Database=first;Uid=u;database=second;"));
    EXPECT_EQ(cs.value("Database"), QStringLiteral("second"));
    cs.set(QStringLiteral("DATABASE"), QStringLiteral("third"));
    EXPECT_EQ(cs.value("Database"), QStringLiteral("third"));
    EXPECT_FALSE(cs.toString().contains(QStringLiteral("first")));
}

TEST(ConnectionString, SetKeepsOrderAndRoundTrips) {
    ConnectionString cs(QStringLiteral("Driver={MariaDB Unicode};Server=h;Database=x"));
    cs.set(QStringLiteral("database"), QStringLiteral("y;z"));
    cs.set(QStringLiteral("Port"), QStringLiteral("3306"));
    EXPECT_EQ(cs.toString(), QStringLiteral("Driver=MariaDB Unicode;Server=h;Database={y;z};Port=3306;"));
    const ConnectionString again(cs.toString());
    EXPECT_EQ(again.value("Database"), QStringLiteral("y;z"));
    cs.remove(QStringLiteral("SERVER"));
    EXPECT_FALSE(cs.has(QStringLiteral("Server")));
}

TEST(ConnectionString, RecognisesNativeSqlite) {
    EXPECT_TRUE(ConnectionString(QStringLiteral("Provider=sqlite;Data Source=/tmp/a.db")).isSqlite());
    EXPECT_EQ(ConnectionString(QStringLiteral("Provider=SQLite;Data Source=/tmp/a b.db")).sqliteFile(),
              QStringLiteral("/tmp/a b.db"));
    EXPECT_FALSE(ConnectionString(QStringLiteral("Driver=SQLite3;Database=/tmp/a.db")).isSqlite());
}

TEST(ConnectionString, MasksEveryPasswordAndKeepsTheRest) {
    EXPECT_EQ(db::maskPasswords(QStringLiteral("Driver={X};UID=me;PWD=s3cret;Server=h")),
              QStringLiteral("Driver={X};UID=me;PWD=****;Server=h"));
    EXPECT_EQ(db::maskPasswords(QStringLiteral("Password={a;b}};c};User=u")),
              QStringLiteral("Password=****;User=u"));
    EXPECT_EQ(db::maskPasswords(QStringLiteral("pwd=x")), QStringLiteral("pwd=****"));
    EXPECT_EQ(db::maskPasswords(QStringLiteral("Server=h")), QStringLiteral("Server=h"));
    EXPECT_EQ(db::scrubSecrets(QStringLiteral("login failed for s3cret"), {QStringLiteral("s3cret")}),
              QStringLiteral("login failed for ****"));
}

TEST(ConnectionString, TuningAddsDriverOptionsOnlyWhenTheUserHasNone) {
    const QString maria = db::tunedConnectionString(QStringLiteral("Driver={MariaDB Unicode};Server=h"), 15);
    EXPECT_EQ(ConnectionString(maria).value("OPTION"), QStringLiteral("67108866"));
    const QString own = QStringLiteral("Driver={MariaDB Unicode};Option=3");
    EXPECT_EQ(db::tunedConnectionString(own, 15), own);

    const ConnectionString pg(db::tunedConnectionString(QStringLiteral("Driver={PostgreSQL Unicode};X=1"), 7));
    EXPECT_EQ(pg.value("UseDeclareFetch"), QStringLiteral("1"));
    EXPECT_EQ(pg.value("pqopt"), QStringLiteral("connect_timeout=7"));
    EXPECT_EQ(pg.value("X"), QStringLiteral("1"));

    const QString dsn = QStringLiteral("DSN=mine;UID=u");
    EXPECT_EQ(db::tunedConnectionString(dsn, 15), dsn);
}

// The parser, the masker and every writer of strings (quoteValue, used by
// the connection dialog and sqliteConnectionString) share one scanner: a
// value written by one is read back whole by the others.
TEST(ConnectionString, ParserMaskerAndQuotingAgreeOnAwkwardValues) {
    const QStringList values = {QStringLiteral("plain"),       QStringLiteral("semi;colon"),  QStringLiteral("{braced}"),
                                QStringLiteral("close}only"),  QStringLiteral(" padded "),    QStringLiteral("a=b"),
                                QStringLiteral("}}{{;;"),      QStringLiteral("Grüße ;}"),    QString()};
    for (const QString& server : values)
        for (const QString& password : values) {
            const QString text = QStringLiteral("Driver=") + db::quoteValue(QStringLiteral("My Driver")) +
                                 QStringLiteral(";Server=") + db::quoteValue(server) + QStringLiteral(";Pwd=") +
                                 db::quoteValue(password) + QStringLiteral(";Uid=me;");
            const ConnectionString cs(text);
            EXPECT_EQ(cs.value("Server"), server) << text.toStdString();
            EXPECT_EQ(cs.value("Pwd"), password) << text.toStdString();
            EXPECT_EQ(cs.value("Uid"), QStringLiteral("me")) << text.toStdString();
            // the masked text keeps every other value exactly and hides the password
            const ConnectionString masked(db::maskPasswords(text));
            EXPECT_EQ(masked.value("Server"), server) << text.toStdString();
            EXPECT_EQ(masked.value("Uid"), QStringLiteral("me")) << text.toStdString();
            if (password.size() >= 2 && !server.contains(password)) {
                EXPECT_FALSE(db::maskPasswords(text).contains(password)) << text.toStdString();
            }
        }
    const QString path = QStringLiteral("/home/a;b/{odd} dir/x.db");
    EXPECT_EQ(ConnectionString(db::sqliteConnectionString(path)).sqliteFile(), path);
    EXPECT_TRUE(ConnectionString(db::sqliteConnectionString(path)).isSqlite());
}

TEST(ConnectionString, APasswordInABrokenStringIsStillMasked) {
    // an unclosed brace swallows the rest of the text into one value
    const QString broken = QStringLiteral("Driver={PostgreSQL Unicode;Server=h;Pwd=Secret99;Uid=u");
    EXPECT_FALSE(db::maskPasswords(broken).contains(QStringLiteral("Secret99")));
    EXPECT_TRUE(db::passwordValues(broken).contains(QStringLiteral("Secret99")));
    const QString upper = QStringLiteral("DSN={x;PASSWORD=Hidden1}");
    EXPECT_FALSE(db::maskPasswords(upper).contains(QStringLiteral("Hidden1")));
}
