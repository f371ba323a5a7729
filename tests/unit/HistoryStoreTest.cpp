// The query history in vsql.db: scripts kept as written, passwords never
// written, the limit, searching with LIKE's own characters, the table added
// to an older file, and the background writer.
#include "db/Connection.h"
#include "db/ConnectionString.h"
#include "settings/Settings.h"
#include "store/HistoryStore.h"
#include "store/HistoryWriter.h"
#include "store/HomeSeeding.h"
#include "store/ResourceDb.h"
#include "support/Files.h"
#include "support/TempHome.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const QDateTime kMorning(QDate(2024, 3, 1), QTime(9, 0), Qt::UTC);

HistoryEntry entry(const QString& text, int minute = 0, const QString& connection = QStringLiteral("Demo")) {
    HistoryEntry e;
    e.started = kMorning.addSecs(60 * minute);
    e.durationMs = 1234;
    e.connection = connection;
    e.database = QStringLiteral("main");
    e.rows = 3;
    e.outcome = QStringLiteral("Success");
    e.message = QStringLiteral("Success");
    e.text = text;
    e.textLength = text.size();
    return e;
}

QStringList texts(const std::vector<HistoryEntry>& entries) {
    QStringList out;
    for (const HistoryEntry& e : entries) out << e.text;
    return out;
}

// Every cell of the raw table, as SQLite holds it.
QStringList rawCells() {
    QStringList out;
    const db::Table t = ResourceDb::open()->query(QStringLiteral("SELECT * FROM history"));
    for (const auto& row : t.rows)
        for (const db::Cell& c : row) out << c.value_or(QString());
    return out;
}

class HistoryStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(store::ensureSeeded().isEmpty()); }
    TempHome home;
    HistoryStore store;
};

} // namespace

TEST_F(HistoryStoreTest, HostileScriptsComeBackAsWrittenNewestFirst) {
    const QStringList hostile = {
        QStringLiteral("SELECT 'it''s' AS \"q\"; -- 100% _done_"),
        QStringLiteral("'); DROP TABLE history; --"),
        QStringLiteral("SELECT 1\r\nGO\r\n\r\nSELECT 2\n"),
        QStringLiteral("Grüße 東京 🦀 \\ \\% \\_"),
        QStringLiteral("before") + QChar(0) + QStringLiteral("after"), // a NUL the engine refuses to run
        QStringLiteral("   "),
        QString(),
    };
    for (int i = 0; i < hostile.size(); ++i) ASSERT_TRUE(store.add(entry(hostile[i], i), 100).ok());

    const auto listed = store.list();
    ASSERT_TRUE(listed.ok()) << listed.error().toStdString();
    QStringList expected = hostile;
    std::reverse(expected.begin(), expected.end());
    // SQLite's substr() stops at a NUL: that listing shows the text before
    // it and the whole script is read when it is wanted
    expected[2] = QStringLiteral("before");
    EXPECT_EQ(texts(*listed), expected);
    EXPECT_FALSE(listed->at(2).textComplete());
    EXPECT_EQ(*store.fullText(listed->at(2).id), hostile[4]);
    const HistoryEntry& newest = listed->front();
    EXPECT_EQ(newest.started, kMorning.addSecs(60 * (hostile.size() - 1)));
    EXPECT_EQ(newest.durationMs, 1234);
    EXPECT_EQ(newest.database, QStringLiteral("main"));
    EXPECT_EQ(newest.rows, 3);
    for (size_t i : {0, 1, 3, 4, 5, 6}) EXPECT_TRUE(listed->at(i).textComplete()) << i;
    EXPECT_EQ(*store.fullText(listed->back().id), hostile[0]);
    EXPECT_NO_THROW(ResourceDb::open()->query(QStringLiteral("SELECT * FROM connections")));

    // Newest by start, not by the order the runs finished in.
    ASSERT_TRUE(store.add(entry(QStringLiteral("a long run that started first"), -10), 100).ok());
    EXPECT_EQ(store.list()->back().text, QStringLiteral("a long run that started first"));
}

TEST_F(HistoryStoreTest, ALongScriptIsListedByItsBeginningAndReadWhole) {
    const QString longer = QStringLiteral("SELECT ") + QString(HistoryStore::kPreviewChars * 3, QLatin1Char('x'));
    ASSERT_TRUE(store.add(entry(longer), 10).ok());
    const HistoryEntry e = store.list()->at(0);
    EXPECT_EQ(e.text, longer.left(HistoryStore::kPreviewChars));
    EXPECT_EQ(e.textLength, longer.size());
    EXPECT_TRUE(e.textKept());
    EXPECT_FALSE(e.textComplete());
    EXPECT_EQ(*store.fullText(e.id), longer);

    // Too long to keep: only its length, so a cut script is never run by mistake.
    const QString huge(HistoryStore::kMaxTextChars + 1, QLatin1Char('y'));
    ASSERT_TRUE(store.add(entry(huge, 1), 10).ok());
    const HistoryEntry h = store.list()->at(0);
    EXPECT_FALSE(h.textKept());
    EXPECT_TRUE(h.text.isEmpty());
    EXPECT_EQ(h.textLength, huge.size());
    const auto whole = store.fullText(h.id);
    ASSERT_FALSE(whole.ok());
    EXPECT_TRUE(whole.error().contains(QStringLiteral("too long"))) << whole.error().toStdString();
    EXPECT_FALSE(store.fullText(987654).ok());
}

TEST_F(HistoryStoreTest, PasswordsInConnectionStringsAreNeverStored) {
    // Each secret is distinct, so a hit names the string that leaked.
    const QStringList strings = {
        QStringLiteral("Driver={PostgreSQL Unicode};Server=h;UID=u;PWD=Sesame-One;"),
        QStringLiteral("Driver={MariaDB Unicode};User=u;Password={Sesame;Two}};x};Database=d"),
        QStringLiteral("DSN=mine;pWd = Sesame-Three ;Option=3"),
        QStringLiteral("Driver={X};PASSWORD={Sesame-Four"), // unclosed brace swallowing the rest
        QStringLiteral("Provider=SQLite;Data Source=/tmp/a.db;Password=Sesame-Five"),
    };
    const QStringList secrets = {QStringLiteral("Sesame-One"), QStringLiteral("Sesame;Two}"),
                                 QStringLiteral("Sesame-Three"), QStringLiteral("Sesame-Four"),
                                 QStringLiteral("Sesame-Five")};
    int minute = 0;
    for (const QString& cs : strings) {
        HistoryEntry e = entry(QStringLiteral("SELECT 1"), minute++, HistoryStore::connectionLabel(QString(), cs));
        // a driver that echoes the password in its error
        e.message = HistoryStore::messageLine(QStringLiteral("Error: #28000\r\nlogin failed with ") +
                                                  db::passwordValues(cs).value(0),
                                              cs);
        ASSERT_TRUE(store.add(e, 100).ok());
        // a caller that forgot to mask: the store masks on the way in
        ASSERT_TRUE(store.add(entry(QStringLiteral("SELECT 2"), minute++, cs), 100).ok());
    }
    ASSERT_TRUE(store.add(entry(QStringLiteral("SELECT 3"), minute++,
                                HistoryStore::connectionLabel(QStringLiteral("Saved name"), strings[0])),
                          100)
                    .ok());

    const QStringList cells = rawCells();
    ASSERT_EQ(cells.size(), 11 * 10);
    for (const QString& cell : cells)
        for (const QString& secret : secrets)
            EXPECT_FALSE(cell.contains(secret)) << cell.toStdString();
    const QByteArray bytes = readFile(ResourceDb::path());
    ASSERT_FALSE(bytes.isEmpty());
    for (const QString& secret : secrets) EXPECT_FALSE(bytes.contains(secret.toUtf8())) << secret.toStdString();

    const auto listed = store.list();
    EXPECT_EQ(listed->at(0).connection, QStringLiteral("Saved name"));
    EXPECT_TRUE(listed->back().connection.contains(QStringLiteral("PWD=****"))) << listed->back().connection.toStdString();
    EXPECT_TRUE(listed->back().message.startsWith(QStringLiteral("Error: #28000 login failed with ****")))
        << listed->back().message.toStdString();
}

TEST_F(HistoryStoreTest, TheLimitKeepsTheNewestAndZeroStopsAddingWithoutDeleting) {
    std::vector<qint64> ids;
    for (int i = 0; i < 10; ++i) ids.push_back(store.add(entry(QStringLiteral("run %1").arg(i), i), 4).value());
    EXPECT_EQ(texts(*store.list()), (QStringList{"run 9", "run 8", "run 7", "run 6"}));
    ASSERT_TRUE(store.remove({ids[8]}).ok()); // a gap in the ids
    ASSERT_TRUE(store.add(entry(QStringLiteral("run 10"), 10), 2).ok());
    EXPECT_EQ(texts(*store.list()), (QStringList{"run 10", "run 9"}));
    // a larger limit later keeps what is there
    ASSERT_TRUE(store.add(entry(QStringLiteral("run 11"), 11), 100).ok());
    EXPECT_EQ(store.list()->size(), 3u);
    EXPECT_EQ(store.add(entry(QStringLiteral("run 12"), 12), 0).value(), 0);
    EXPECT_EQ(texts(*store.list()), (QStringList{"run 11", "run 10", "run 9"}));
    // ids never come back after a clear: trimming by id stays right
    const qint64 next = store.add(entry(QStringLiteral("run 13"), 13), 5).value();
    EXPECT_GT(next, ids.back());
    ASSERT_TRUE(store.clear().ok());
    EXPECT_TRUE(store.list()->empty());
}

TEST_F(HistoryStoreTest, SearchTakesPercentUnderscoreBackslashAndQuotesLiterally) {
    const QStringList scripts = {QStringLiteral("SELECT '100%' AS done"), QStringLiteral("SELECT 1000 AS done"),
                                 QStringLiteral("SELECT a_b FROM t"),     QStringLiteral("SELECT axb FROM t"),
                                 QStringLiteral("SELECT 'it''s'"),        QStringLiteral("SELECT 'C:\\temp'"),
                                 QStringLiteral("select lower")};
    for (int i = 0; i < scripts.size(); ++i) ASSERT_TRUE(store.add(entry(scripts[i], i), 100).ok());
    ASSERT_TRUE(store.add(entry(QStringLiteral("SELECT 2"), 50, QStringLiteral("Sales 50%_off")), 100).ok());

    auto found = [this](const QString& search) { return texts(store.list(search).value()); };
    EXPECT_EQ(found(QStringLiteral("100%")), (QStringList{"SELECT '100%' AS done"}));
    EXPECT_EQ(found(QStringLiteral("a_b")), (QStringList{"SELECT a_b FROM t"}));
    EXPECT_EQ(found(QStringLiteral("''s")), (QStringList{"SELECT 'it''s'"}));
    EXPECT_EQ(found(QStringLiteral("C:\\t")), (QStringList{"SELECT 'C:\\temp'"}));
    EXPECT_EQ(found(QStringLiteral("%_off")), (QStringList{"SELECT 2"})); // the connection is searched too
    EXPECT_EQ(found(QStringLiteral("SELECT LOWER")), (QStringList{"select lower"}));
    EXPECT_TRUE(found(QStringLiteral("no such text")).isEmpty());
    EXPECT_EQ(found(QString()).size(), scripts.size() + 1);
    EXPECT_EQ(HistoryStore::containsPattern(QStringLiteral("5%_\\")), QStringLiteral("%5\\%\\_\\\\%"));
}

TEST_F(HistoryStoreTest, TheClosingMessageBecomesOneLine) {
    const QString none;
    EXPECT_EQ(HistoryStore::messageLine(QStringLiteral("Success\r\n\r\n3  Row(s) affected"), none),
              QStringLiteral("Success"));
    EXPECT_EQ(HistoryStore::messageLine(QStringLiteral("Error: #1\r\nno such table: x"), none),
              QStringLiteral("Error: #1 no such table: x"));
    EXPECT_EQ(HistoryStore::messageLine(QStringLiteral("\r\n...Query cancelled by User...\r\n\r\n2  Row(s) affected"), none),
              QStringLiteral("...Query cancelled by User..."));
    EXPECT_EQ(HistoryStore::messageLine(QStringLiteral(" 5 Row(s) affected.\r\n 1 Row(s) affected."), none),
              QStringLiteral("5 Row(s) affected."));
    EXPECT_EQ(HistoryStore::messageLine(QString(), none), QString());
    EXPECT_LE(HistoryStore::messageLine(QString(5000, QLatin1Char('m')), none).size(), 1000);
    EXPECT_EQ(HistoryStore::connectionLabel(QStringLiteral("  "), QStringLiteral("DSN=a;PWD=b")),
              QStringLiteral("DSN=a;PWD=****"));
}

TEST(HistoryTable, IsAddedToAnOlderResourceDatabaseKeepingItsRows) {
    TempHome home;
    {
        // a file from before the history: the six tables of the first release
        auto c = db::Connection::open(db::sqliteConnectionString(ResourceDb::path()), {15, true});
        for (const char* t : {"syntax (syntax_name TEXT, type INTEGER, syntax_title TEXT, description TEXT, example TEXT)",
                              "providers (provider_name TEXT, returnvalue TEXT)",
                              "connections (primarykey INTEGER PRIMARY KEY, name TEXT, cn_string TEXT, type SMALLINT)",
                              "template_types (id INTEGER PRIMARY KEY, title TEXT)",
                              "templates (id INTEGER PRIMARY KEY, \"group\" INTEGER, title TEXT, code TEXT)",
                              "objects (primarykey INTEGER PRIMARY KEY, groupname TEXT, title TEXT, tag_start TEXT, "
                              "tag_highlight TEXT, tag_end TEXT)"})
            c->exec(QStringLiteral("CREATE TABLE ") + QLatin1String(t));
        c->exec(QStringLiteral("INSERT INTO connections (name, cn_string, type) VALUES ('kept', 'x', 2)"));
    }
    HistoryStore store;
    EXPECT_FALSE(store.list().ok()); // not there yet
    ASSERT_TRUE(ResourceDb::ensure().ok());
    ASSERT_TRUE(store.add(entry(QStringLiteral("SELECT 1")), 10).ok());
    EXPECT_EQ(store.list()->size(), 1u);
    auto res = ResourceDb::open();
    EXPECT_EQ(res->query(QStringLiteral("SELECT name FROM connections")).rows.at(0).at(0), QStringLiteral("kept"));
    EXPECT_EQ(res->query(QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE name = 'history_started'"))
                  .rows.at(0)
                  .at(0),
              QStringLiteral("1"));
}

TEST(HistoryTable, WithoutAResourceDatabaseEveryOperationFailsAndCreatesNothing) {
    TempHome home; // nothing seeded
    HistoryStore store;
    EXPECT_FALSE(store.add(entry(QStringLiteral("SELECT 1")), 10).ok());
    EXPECT_FALSE(store.list().ok());
    EXPECT_FALSE(store.remove({1}).ok());
    EXPECT_FALSE(store.clear().ok());
    EXPECT_FALSE(QFileInfo::exists(ResourceDb::path()));
}

TEST(HistorySetting, LimitReadsItsNumberAndFallsBackTo5000) {
    TempHome home;
    EXPECT_EQ(settings::current().historyLimit(), 5000); // no config.ini
    const std::pair<const char*, qint64> cases[] = {{"0", 0}, {"12", 12}, {"", 5000}, {"-3", 5000}, {"lots", 5000}};
    for (const auto& [text, limit] : cases) {
        ASSERT_TRUE(settings::write(settings::Key::HistoryLimit, QString::fromLatin1(text)));
        EXPECT_EQ(settings::current().historyLimit(), limit) << text;
    }
    EXPECT_TRUE(settings::firstStartFile().contains("historylimit=5000\n"));
}

TEST(HistoryWriterTest, WritesInOrderOffTheCallersThreadAndIntoTheHomeOfTheCall) {
    TempHome first;
    ASSERT_TRUE(store::ensureSeeded().isEmpty());
    const QString firstFile = ResourceDb::path();
    HistoryWriter& writer = HistoryWriter::instance();
    QSignalSpy changed(&writer, &HistoryWriter::changed);
    for (int i = 0; i < 20; ++i) writer.add(entry(QStringLiteral("run %1").arg(i), i), 5);
    {
        TempHome second; // the home changes while the writes are queued
        ASSERT_TRUE(writer.waitIdle(10000));
        EXPECT_FALSE(QFileInfo::exists(ResourceDb::path()));
    }
    EXPECT_TRUE(writer.lastError().isEmpty()) << writer.lastError().toStdString();
    EXPECT_EQ(texts(*HistoryStore(firstFile).list()), (QStringList{"run 19", "run 18", "run 17", "run 16", "run 15"}));
    ASSERT_TRUE(changed.wait(5000) || changed.count() > 0);

    const qint64 newest = HistoryStore().list()->at(0).id;
    writer.remove({newest});
    writer.clear();
    ASSERT_TRUE(writer.waitIdle(10000));
    EXPECT_TRUE(HistoryStore().list()->empty());

    // a failed write is told, not thrown, and the next good one clears it
    QFile::remove(firstFile);
    writer.add(entry(QStringLiteral("lost")), 5);
    ASSERT_TRUE(writer.waitIdle(10000));
    EXPECT_FALSE(writer.lastError().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(firstFile));
    ASSERT_TRUE(store::ensureSeeded().isEmpty());
    writer.add(entry(QStringLiteral("kept")), 5);
    ASSERT_TRUE(writer.waitIdle(10000));
    EXPECT_TRUE(writer.lastError().isEmpty());
}
