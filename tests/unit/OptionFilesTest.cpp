#include "db/OptionFiles_p.h"
#include "support/Files.h"
#include "support/ScopedEnvironment.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString keysText(const std::vector<std::pair<QString, QString>>& keys) {
    QStringList out;
    for (const auto& [k, v] : keys)
        out << k + QLatin1Char('=') + v;
    return out.join(QLatin1Char(';'));
}

} // namespace

// The groups, includes, flags, quotes and comments the mariadb client reads.
TEST(OptionFiles, ReadAsTheMariadbClientReadsThem) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString d = dir.path();
    QDir().mkpath(d + QStringLiteral("/conf.d"));
    writeFile(d + QStringLiteral("/conf.d/20-more.cnf"), "[client]\nport = 3310\n");
    writeFile(d + QStringLiteral("/conf.d/ignored.txt"), "[client]\nport = 1\n");
    writeFile(d + QStringLiteral("/extra.cnf"), "[mysql]\ndatabase=shop\n");
    writeFile(d + QStringLiteral("/my.cnf"), "# a comment\n"
                                             "[client]\n"
                                             "host = db.example.com   # inline comment\n"
                                             "port=3306\n"
                                             "user = \"ann lee\"\n"
                                             "password='p#ss\\sword'\n"
                                             "loose-ssl-ca = /etc/ca.pem\n"
                                             "ssl-verify-server-cert\n"
                                             "default-character-set=utf8mb4\n"
                                             "[mysqld]\n"
                                             "port=9999\n"
                                             "[mariadb]\n"
                                             "user=server-side\n"
                                             "!includedir conf.d\n"
                                             "!include extra.cnf\n"
                                             "[mariadb-client]\n"
                                             "socket=/run/x.sock\n");
    const auto options = db::maria::readOptionFiles(
        {d + QStringLiteral("/my.cnf"), d + QStringLiteral("/missing.cnf")}, db::maria::clientGroups());
    QStringList names;
    for (const auto& o : options)
        names << o.name + QLatin1Char('=') + o.value;
    EXPECT_EQ(
        names.join(QLatin1Char('|')),
        QStringLiteral("host=db.example.com|port=3306|user=ann lee|password=p#ss word|ssl-ca=/etc/ca.pem|"
                       "ssl-verify-server-cert=|default-character-set=utf8mb4|port=3310|database=shop|"
                       "socket=/run/x.sock"));
}

// ~/.my.cnf after the system's files; the last value of a key wins, and
// the client options become connection keys.
TEST(OptionFiles, TheHomeFileGivesConnectionKeys) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    writeFile(home.path() + QStringLiteral("/.my.cnf"),
              "[client]\nuser=me\npassword=secret\nport=3307\n[mysql]\nport=3308\nssl-mode=VERIFY_CA\n");
    ScopedEnvironment env;
    env.set("HOME", home.path().toUtf8());
    const auto keys = db::maria::clientConnectionKeys();
    EXPECT_TRUE(db::maria::clientFiles().last().endsWith(QStringLiteral("/.my.cnf")));
    const QString text = keysText(keys);
    EXPECT_TRUE(text.contains(QStringLiteral("Uid=me"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Pwd=secret"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Port=3308"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("FORCETLS=1;SSLVERIFY=1"))) << text.toStdString();
}
