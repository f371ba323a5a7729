// Moving the single-folder home of an earlier version to the XDG folders:
// once, with everything in it, the saved demo connection following its
// file; a move that fails midway leaves the old home exactly as it was and
// in use; a move cut short is finished by the next start.
#include "store/HomeMove.h"

#include "db/Connection.h"
#include "settings/AppPaths.h"
#include "store/HomeSeeding.h"
#include "store/RecoveryJournal.h"
#include "store/ResourceDb.h"
#include "support/FileMode.h"
#include "support/Files.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Every file under a folder with its bytes (links as "-> target").
QMap<QString, QByteArray> snapshot(const QString& dir) {
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        files.insert(QDir(dir).relativeFilePath(path),
                     info.isSymLink() ? "-> " + QFile::encodeName(info.symLinkTarget()) : readFile(path));
    }
    return files;
}

class HomeMoveTest : public ::testing::Test {
protected:
    void SetUp() override {
        before_ = AppPaths::folders();
        xdg_ = {root_.filePath(QStringLiteral("config/sql-query-editor")),
                root_.filePath(QStringLiteral("data/sql-query-editor")),
                root_.filePath(QStringLiteral("state/sql-query-editor"))};
        // the home an earlier version made: everything in the config folder
        AppPaths::set(xdg_.config);
        ASSERT_TRUE(store::ensureSeeded().isEmpty());
        ResourceDb::open()->exec(
            QStringLiteral("INSERT INTO connections (name, cn_string, type) VALUES (?, ?, 1)"),
            {QStringLiteral("mine"), QStringLiteral("DSN=shop")});
        // the journal of a session that crashed
        QDir().mkpath(RecoveryJournal::folder());
        writeFile(RecoveryJournal::folder() + QStringLiteral("/crashed-1.json"),
                  R"({"pid":1,"instance":"gone","file":"","title":"Query1","text":"SELECT 'unsaved'"})");
        writeFile(xdg_.config + QStringLiteral("/vsql.db.corrupt-20250101"), "kept bytes");
        oldHome_ = snapshot(xdg_.config);
        AppPaths::set(xdg_);
    }
    void TearDown() override { AppPaths::set(before_); }
    // The saved connection string named name, from the resource database in use.
    static QString savedString(const QString& name) {
        return ResourceDb::open()
            ->query(QStringLiteral("SELECT cn_string FROM connections WHERE name = ?"), {name})
            .rows.at(0)
            .at(0)
            .value_or(QString());
    }

    QTemporaryDir root_;
    AppFolders before_, xdg_;
    QMap<QString, QByteArray> oldHome_;
};

} // namespace

TEST_F(HomeMoveTest, AnOldHomeMovesOnceAndEverythingInItStaysUsable) {
    const QByteArray config = readFile(AppPaths::configFile());
    const QStringList notices = store::moveOldHome();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains(xdg_.config) && notices[0].contains(xdg_.data) &&
                notices[0].contains(xdg_.state))
        << notices[0].toStdString();

    // config.ini stays, alone; the rest is where the XDG rules put it, byte for byte
    EXPECT_EQ(snapshot(xdg_.config).keys(), QStringList{QStringLiteral("config.ini")});
    EXPECT_EQ(readFile(AppPaths::configFile()), config);
    const QMap<QString, QByteArray> data = snapshot(xdg_.data);
    EXPECT_EQ(data.value(QStringLiteral("vsql.db.corrupt-20250101")), QByteArray("kept bytes"));
    EXPECT_EQ(data.value(QStringLiteral("demo.db")), oldHome_.value(QStringLiteral("demo.db")));
    EXPECT_TRUE(data.contains(QStringLiteral("vsql.db")));
    EXPECT_EQ(fileMode(ResourceDb::path()), 0600u); // still owner-only

    const auto journal = RecoveryJournal::orphans();
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_EQ(journal[0].text, QStringLiteral("SELECT 'unsaved'"));
    EXPECT_TRUE(journal[0].entryPath.startsWith(xdg_.state));

    // the saved connections are there, and the demo one opens the moved file
    EXPECT_EQ(savedString(QStringLiteral("mine")), QStringLiteral("DSN=shop"));
    const QString demo = savedString(store::demoConnectionName());
    EXPECT_EQ(demo, store::demoConnectionString());
    EXPECT_GT(db::Connection::open(demo)
                  ->query(QStringLiteral("SELECT count(*) FROM orders"))
                  .rows.at(0)
                  .at(0)
                  ->toInt(),
              0);

    // once: the next start finds nothing to move and seeds nothing anew
    const QMap<QString, QByteArray> moved = snapshot(xdg_.data);
    EXPECT_TRUE(store::moveOldHome().isEmpty());
    EXPECT_TRUE(store::ensureSeeded().isEmpty());
    EXPECT_EQ(snapshot(xdg_.config).keys(), QStringList{QStringLiteral("config.ini")});
    EXPECT_EQ(snapshot(xdg_.data).keys(), moved.keys());
}

TEST_F(HomeMoveTest, AMoveThatFailsMidwayLeavesTheOldHomeAsItWasAndInUse) {
    int copies = 0;
    const QStringList notices = store::moveOldHome([&](const QString& from, const QString& to) -> Status {
        if (++copies == 2) return fail(QStringLiteral("No space left on device"));
        return store::copyAtomically(from, to);
    });
    ASSERT_EQ(copies, 2);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains(QStringLiteral("No space left on device"))) << notices[0].toStdString();
    EXPECT_EQ(snapshot(xdg_.config), oldHome_); // every file, every byte
    EXPECT_TRUE(snapshot(xdg_.data).isEmpty()); // the copy made before the failure is gone again
    EXPECT_EQ(AppPaths::folders(), (AppFolders{xdg_.config, xdg_.config, xdg_.config}));
    EXPECT_EQ(ResourceDb::path(), xdg_.config + QStringLiteral("/vsql.db"));
    EXPECT_EQ(RecoveryJournal::orphans().size(), 1u);

    // the next start moves it
    AppPaths::set(xdg_);
    EXPECT_EQ(store::moveOldHome().size(), 1);
    EXPECT_EQ(snapshot(xdg_.config).keys(), QStringList{QStringLiteral("config.ini")});
}

TEST_F(HomeMoveTest, AMoveCutShortIsFinishedAndAFileTheNewPlaceHasOtherwiseIsKeptAside) {
    // a crash after the database's copy, before the old files went
    ASSERT_TRUE(store::copyAtomically(xdg_.config + QStringLiteral("/vsql.db"), ResourceDb::path()).ok());
    // and an older version that made a demo database of its own in the old place afterwards
    QDir().mkpath(xdg_.data);
    writeFile(store::demoDatabaseFile(), "a newer demo database");
    const QStringList notices = store::moveOldHome();
    ASSERT_EQ(notices.size(), 2);
    EXPECT_TRUE(notices[1].contains(QStringLiteral("demo.db.not-moved"))) << notices[1].toStdString();
    EXPECT_EQ(readFile(store::demoDatabaseFile()), QByteArray("a newer demo database"));
    EXPECT_EQ(readFile(xdg_.config + QStringLiteral("/demo.db.not-moved")),
              oldHome_.value(QStringLiteral("demo.db")));
    EXPECT_FALSE(QFileInfo::exists(xdg_.config + QStringLiteral("/vsql.db")));
    EXPECT_EQ(readFile(ResourceDb::path()), oldHome_.value(QStringLiteral("vsql.db")));
}

TEST_F(HomeMoveTest, AHomeGivenAsOneFolderNeverMoves) {
    AppPaths::set(xdg_.config); // --home, $SQLQE_HOME or a portable install
    EXPECT_TRUE(store::moveOldHome().isEmpty());
    EXPECT_EQ(snapshot(xdg_.config), oldHome_);
}

TEST_F(HomeMoveTest, ALinkedDatabaseMovesAsTheSameLink) {
    const QString elsewhere = root_.filePath(QStringLiteral("synced.db"));
    const QString old = xdg_.config + QStringLiteral("/vsql.db");
    ASSERT_TRUE(QFile::rename(old, elsewhere));
    ASSERT_TRUE(QFile::link(elsewhere, old));
    EXPECT_EQ(store::moveOldHome().size(), 1);
    EXPECT_EQ(QFileInfo(ResourceDb::path()).symLinkTarget(), elsewhere);
    EXPECT_FALSE(QFileInfo(old).isSymLink() || QFileInfo::exists(old));
    // the linked file is the one in use (the demo connection was pointed at the moved demo database in it)
    EXPECT_EQ(savedString(QStringLiteral("mine")), QStringLiteral("DSN=shop"));
}
