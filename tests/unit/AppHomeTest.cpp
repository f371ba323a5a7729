// The application home: where it is, what a first start puts there, and how
// a damaged resource database is handled.
#include "settings/AppPaths.h"
#include "store/HomeSeeding.h"
#include "settings/Settings.h"
#include "store/HistoryStore.h"
#include "store/ResourceDb.h"
#include "store/SeedingGate.h"
#include "store/RecoveryJournal.h"
#include "support/FileMode.h"
#include "support/Files.h"
#include "support/ScopedEnvironment.h"
#include "support/TempHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

qint64 count(db::Connection& c, const QString& sql) { return c.query(sql).rows.at(0).at(0)->toLongLong(); }

// Every case runs in a throwaway home, and the folders in use are put back after it.
class AppHome : public ::testing::Test {
protected:
    TempHome home;
};

} // namespace

TEST_F(AppHome, AGivenHomeIsOneFolderAndOtherwiseTheXdgFoldersAreUsed) {
    QTemporaryDir a, exe, xdg;
    ScopedEnvironment env;
    env.set("SQLQE_HOME", QFile::encodeName(a.path() + QStringLiteral("/env")));
    env.set("XDG_CONFIG_HOME", QFile::encodeName(xdg.path() + QStringLiteral("/c")));
    env.set("XDG_DATA_HOME", QFile::encodeName(xdg.path() + QStringLiteral("/d")));
    env.set("XDG_STATE_HOME", QFile::encodeName(xdg.path() + QStringLiteral("/s")));
    const QString opt = a.path() + QStringLiteral("/opt");
    EXPECT_EQ(AppPaths::resolve(opt, exe.path()), (AppFolders{opt, opt, opt}));
    const QString fromEnv = a.path() + QStringLiteral("/env");
    EXPECT_EQ(AppPaths::resolve(QString(), exe.path()), (AppFolders{fromEnv, fromEnv, fromEnv}));
    env.set("SQLQE_HOME", std::nullopt);
    const AppFolders xdgFolders{xdg.path() + QStringLiteral("/c/sql-query-editor"),
                                xdg.path() + QStringLiteral("/d/sql-query-editor"),
                                xdg.path() + QStringLiteral("/s/sql-query-editor")};
    EXPECT_EQ(AppPaths::resolve(QString(), exe.path()), xdgFolders);
    EXPECT_EQ(AppPaths::configFile(), xdgFolders.config + QStringLiteral("/config.ini"));
    EXPECT_EQ(ResourceDb::path(), xdgFolders.data + QStringLiteral("/vsql.db"));
    EXPECT_EQ(store::demoDatabaseFile(), xdgFolders.data + QStringLiteral("/demo.db"));
    EXPECT_EQ(RecoveryJournal::folder(), xdgFolders.state + QStringLiteral("/recovery"));
    EXPECT_EQ(AppPaths::toolFolder(), xdgFolders.state);
    writeFile(exe.filePath(QStringLiteral("config.ini")), QByteArray());
    EXPECT_EQ(AppPaths::resolve(QString(), exe.path()), (AppFolders{exe.path(), exe.path(), exe.path()}));
}

// Each XDG variable set, unset, empty, relative (invalid, so ignored) and
// untidy, the others unset.
TEST_F(AppHome, EveryXdgVariableSetOrUnsetGivesItsFolder) {
    QTemporaryDir user;
    const struct {
        const char* variable;
        QString AppFolders::*folder;
        const char* fallback; // under $HOME
    } variables[] = {{"XDG_CONFIG_HOME", &AppFolders::config, "/.config"},
                     {"XDG_DATA_HOME", &AppFolders::data, "/.local/share"},
                     {"XDG_STATE_HOME", &AppFolders::state, "/.local/state"}};
    const QString mine = user.path() + QStringLiteral("/mine");
    const struct {
        std::optional<QByteArray> value;
        QString expected; // "" for the fallback under $HOME
    } cases[] = {{std::nullopt, QString()},
                 {QByteArray(), QString()},
                 {QByteArray("relative/dir"), QString()},
                 {QFile::encodeName(mine), mine},
                 {QFile::encodeName(mine + QStringLiteral("//x/../")), mine}};
    for (const auto& v : variables)
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(v.variable) + "=" + (c.value ? c.value->toStdString() : "(unset)"));
            ScopedEnvironment env;
            env.set("HOME", QFile::encodeName(user.path()));
            env.set("SQLQE_HOME", std::nullopt);
            for (const auto& other : variables) env.set(other.variable, std::nullopt);
            env.set(v.variable, c.value);
            const AppFolders f = AppPaths::resolve(QString(), QString());
            for (const auto& other : variables) {
                const QString base = &other == &v && !c.expected.isEmpty()
                                         ? c.expected
                                         : user.path() + QLatin1String(other.fallback);
                EXPECT_EQ(f.*other.folder, base + QStringLiteral("/sql-query-editor")) << other.variable;
            }
            EXPECT_FALSE(f.isOneFolder());
        }
}

TEST_F(AppHome, FirstStartSeedsSettingsResourcesAndDemo) {
    EXPECT_TRUE(store::ensureSeeded().isEmpty());
    EXPECT_EQ(fileMode(AppPaths::configFile()), 0600u);
    EXPECT_EQ(fileMode(ResourceDb::path()), 0600u);
    const auto options = settings::current();
    EXPECT_TRUE(options.flag(settings::Key::SyntaxHighlight));
    EXPECT_EQ(options.text(settings::Key::ResultsIn), QStringLiteral("0"));
    EXPECT_EQ(options.text(settings::Key::ExecutionPlan), QStringLiteral("0"));
    EXPECT_FALSE(options.text(settings::Key::Font).isEmpty());

    // the seeded tables' content is checked in SeedContentTest
    auto res = ResourceDb::open();
    EXPECT_EQ(res->query(QStringLiteral("SELECT returnvalue FROM providers WHERE provider_name LIKE ?"),
                         {QStringLiteral("sqlite")})
                  .rows.at(0)
                  .at(0),
              QStringLiteral("2"));
    const db::Table demo = res->query(QStringLiteral("SELECT cn_string, type FROM connections WHERE name = ?"),
                                      {store::demoConnectionName()});
    ASSERT_EQ(demo.rows.size(), 1u);
    EXPECT_EQ(demo.rows[0][0], store::demoConnectionString());

    auto shop = db::Connection::open(store::demoConnectionString());
    EXPECT_GE(count(*shop, QStringLiteral("SELECT count(*) FROM orders")), 1000);
    EXPECT_GT(count(*shop, QStringLiteral("SELECT count(*) FROM customers WHERE email IS NULL")), 0);
    EXPECT_GT(count(*shop, QStringLiteral("SELECT count(*) FROM order_totals")), 0);
}

TEST_F(AppHome, SecondStartChangesNothingAndKeepsUserData) {
    store::ensureSeeded();
    ASSERT_TRUE(settings::write(settings::Key::Font, QStringLiteral("Mine")));
    ResourceDb::open()->exec(QStringLiteral("INSERT INTO connections (name, cn_string, type) VALUES ('x', 'y', 1)"));
    ResourceDb::open()->exec(QStringLiteral("DELETE FROM connections WHERE name = ?"), {store::demoConnectionName()});
    EXPECT_TRUE(store::ensureSeeded().isEmpty());
    EXPECT_EQ(settings::current().text(settings::Key::Font), QStringLiteral("Mine"));
    auto res = ResourceDb::open();
    EXPECT_EQ(count(*res, QStringLiteral("SELECT count(*) FROM connections")), 1); // the deleted demo stays deleted
}

TEST_F(AppHome, DamagedResourceDatabaseIsMovedAsideAndRecreatedOnce) {
    writeFile(ResourceDb::path(), QByteArray(8192, '\x5a'));
    const QStringList notices = store::ensureSeeded();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains(QStringLiteral("corrupt-"))) << notices[0].toStdString();
    const QStringList aside = QDir(home.path()).entryList({QStringLiteral("vsql.db.corrupt-*")});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(QFileInfo(home.file(aside[0])).size(), 8192); // the user's bytes are kept
    EXPECT_NO_THROW(ResourceDb::open()->query(QStringLiteral("SELECT * FROM connections")));
    EXPECT_TRUE(store::ensureSeeded().isEmpty()); // told once only
}

TEST_F(AppHome, MissingTablesAreAddedToAnExistingResourceDatabase) {
    {
        auto c = db::Connection::open(QStringLiteral("Provider=SQLite;Data Source=") + ResourceDb::path(), {15, true});
        c->exec(QStringLiteral("CREATE TABLE connections (primarykey INTEGER PRIMARY KEY, name TEXT, cn_string TEXT, type INTEGER)"));
        c->exec(QStringLiteral("INSERT INTO connections (name, cn_string, type) VALUES ('kept', 'x', 2)"));
    }
    ASSERT_TRUE(ResourceDb::ensure().ok());
    auto res = ResourceDb::open();
    EXPECT_EQ(count(*res, QStringLiteral("SELECT count(*) FROM connections WHERE name = 'kept'")), 1);
    EXPECT_NO_THROW(res->query(QStringLiteral("SELECT * FROM objects")));
}

// Another program holding the resource database is busy, not damage: the
// file stays where it is, with everything in it, and the user is told.
TEST_F(AppHome, ABusyResourceDatabaseIsNeverMovedAside) {
    ASSERT_TRUE(store::ensureSeeded().isEmpty());
    ResourceDb::open()->exec(QStringLiteral("INSERT INTO connections (name, cn_string, type) VALUES ('mine', 'x', 3)"));
    auto holder = ResourceDb::open();
    holder->exec(QStringLiteral("BEGIN EXCLUSIVE"));
    const QStringList notices = store::ensureSeeded();
    holder->exec(QStringLiteral("COMMIT"));
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains(QStringLiteral("busy"))) << notices[0].toStdString();
    EXPECT_TRUE(QDir(home.path()).entryList({QStringLiteral("vsql.db.corrupt-*")}).isEmpty());
    EXPECT_EQ(count(*ResourceDb::open(), QStringLiteral("SELECT count(*) FROM connections WHERE name = 'mine'")), 1);
}

TEST_F(AppHome, AnEmptyResourceDatabaseIsSeededLikeANewOne) {
    writeFile(ResourceDb::path(), QByteArray());
    QFile::setPermissions(ResourceDb::path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    EXPECT_TRUE(store::ensureSeeded().isEmpty());
    EXPECT_EQ(fileMode(ResourceDb::path()), 0600u);
    auto res = ResourceDb::open();
    EXPECT_GT(count(*res, QStringLiteral("SELECT count(*) FROM syntax")), 100);
    EXPECT_GT(count(*res, QStringLiteral("SELECT count(*) FROM templates")), 10);
}

// A first start makes its databases while the window opens: the settings are
// there at once, and whatever reads vsql.db meanwhile (the history, the
// templates, the connection list) waits for the finished file instead of
// finding none or making an empty one.
TEST_F(AppHome, SeedingInTheBackgroundHoldsResourceReadersUntilTheDatabasesAreMade) {
    std::optional<QStringList> told;
    QObject context;
    const QStringList now = store::startSeeding(&context, [&](QStringList n) { told = std::move(n); });
    EXPECT_TRUE(now.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(AppPaths::configFile()));
    EXPECT_FALSE(settings::current().text(settings::Key::Font).isEmpty());

    // read on this thread while the seeding may still run: it waits for it
    auto res = ResourceDb::open();
    EXPECT_GT(count(*res, QStringLiteral("SELECT count(*) FROM templates")), 10);
    EXPECT_EQ(count(*res, QStringLiteral("SELECT count(*) FROM connections WHERE name = 'Demo (SQLite)'")), 1);
    EXPECT_EQ(HistoryStore().list(QString()).value().size(), 0u);
    auto shop = db::Connection::open(store::demoConnectionString());
    EXPECT_GE(count(*shop, QStringLiteral("SELECT count(*) FROM orders")), 1000);

    for (int i = 0; i < 1000 && !told; ++i) { // the result is posted just after the gate opens
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(told.has_value()); // handed over on this (the UI) thread
    EXPECT_TRUE(told->isEmpty());
    EXPECT_FALSE(store::isSeedingGateClosed());
}

// A home whose folder cannot be made says so at once and never closes the gate.
TEST_F(AppHome, SeedingAnUnwritableHomeReportsItAndLeavesReadersFree) {
    writeFile(home.file(QStringLiteral("file")), QByteArray());
    const AppFolders before = AppPaths::folders();
    const QString below = home.file(QStringLiteral("file/home"));
    AppPaths::set({below, below, below});
    bool called = false;
    QObject context;
    const QStringList now = store::startSeeding(&context, [&](QStringList n) {
        called = true;
        EXPECT_TRUE(n.isEmpty());
    });
    AppPaths::set(before);
    ASSERT_EQ(now.size(), 1);
    EXPECT_TRUE(now[0].contains(QStringLiteral("could not be created"))) << now[0].toStdString();
    EXPECT_TRUE(called);
    EXPECT_FALSE(store::isSeedingGateClosed());
}
