// Quitting the editor while a statement runs in autocommit: on SIGTERM,
// SIGINT or the window's close, the statement is cancelled on the server
// before the editor goes, so it never commits afterwards.
#include "db/Connection.h"
#include "db/Table.h"
#include "document/QueryDocument.h"
#include "shell/MainWindow.h"
#include "shell/QuitOnSignal.h"
#include "store/HomeSeeding.h"
#include "support/ScriptedDialogs.h"
#include "support/TempHome.h"
#include "support/TestServers.h"
#include "support/Typing.h"

#include <QElapsedTimer>
#include <QTest>

#include <csignal>
#include <gtest/gtest.h>
#include <optional>

namespace {

struct QuitCase {
    const char* name;
    const ServerUnderTest* server;
    const char* update;  // changes the one row of %1 slowly (%1: the case's own table)
    const char* running; // counts the statements on %1 the server is still running
    int signal;          // 0: the main window's close instead
};
void PrintTo(const QuitCase& c, std::ostream* os) { *os << c.name; }

const char* kPgUpdate = "UPDATE %1 SET v = v + 1 WHERE pg_sleep(3) IS NOT NULL";
const char* kPgRunning = "SELECT count(*) FROM pg_stat_activity WHERE state = 'active' AND query LIKE 'UPDATE %1 %'";
const char* kMariaUpdate = "UPDATE %1 SET v = v + 1 WHERE SLEEP(3) IS NOT NULL";
const char* kMariaRunning = "SELECT count(*) FROM information_schema.PROCESSLIST WHERE INFO LIKE 'UPDATE %1 %'";

const QuitCase kCases[] = {
    {"PostgreSQL_SIGTERM", &kPostgres, kPgUpdate, kPgRunning, SIGTERM},
    {"PostgreSQL_Close", &kPostgres, kPgUpdate, kPgRunning, 0},
    {"MariaDB_SIGINT", &kMariaDb, kMariaUpdate, kMariaRunning, SIGINT},
    {"MariaDB_Close", &kMariaDb, kMariaUpdate, kMariaRunning, 0},
};

class QuitTest : public ::testing::TestWithParam<QuitCase> {};

QString scalar(db::Connection& c, const QString& sql) {
    const db::Table t = c.query(sql);
    return t.rows.empty() ? QString() : t.rows[0][0].value_or(QString());
}

} // namespace

TEST_P(QuitTest, ARunningStatementIsCancelledOnTheServerBeforeTheEditorGoes) {
    const QuitCase& c = GetParam();
    QString cs;
    SQLQE_REQUIRE_SERVER(*c.server, cs);
    TempHome home;
    ScriptedDialogs dialogs;
    store::ensureSeeded();
    // a table of the case's own: the cases may run side by side on one server
    const QString table = QStringLiteral("sqlqe_quit_") + QString::fromLatin1(c.name).toLower();
    const QString running = QString::fromLatin1(c.running).arg(table);
    auto admin = db::Connection::open(cs);
    admin->exec(QStringLiteral("DROP TABLE IF EXISTS ") + table);
    admin->exec(QStringLiteral("CREATE TABLE %1 (id INTEGER, v INTEGER)").arg(table));
    admin->exec(QStringLiteral("INSERT INTO %1 VALUES (1, 0)").arg(table));

    auto window = std::make_unique<MainWindow>();
    std::optional<int> status;
    QuitOnSignal quit(window.get(), [&status](int s) { status = s; });
    QueryDocument* doc = window->activeDocument();
    doc->setConnection(cs);
    replaceScript(doc->editor(), QString::fromLatin1(c.update).arg(table));
    doc->setChanged(false);
    QElapsedTimer sinceStart;
    sinceStart.start();
    doc->startExec();
    ASSERT_TRUE(QTest::qWaitFor([&] { return scalar(*admin, running) == QLatin1String("1"); }, 2500))
        << "the UPDATE never reached the server";

    QElapsedTimer quitting;
    quitting.start();
    if (c.signal) {
        std::raise(c.signal);
        ASSERT_TRUE(QTest::qWaitFor([&] { return status.has_value(); }, 8000));
        EXPECT_EQ(*status, 128 + c.signal);
    } else {
        EXPECT_TRUE(window->close());
    }
    EXPECT_LT(quitting.elapsed(), 2500) << "the exit waited for the statement instead of cancelling it";
    // Nothing of ours runs on the server any more, and after the time the
    // statement would have needed, it has changed nothing.
    EXPECT_EQ(scalar(*admin, running), QStringLiteral("0"));
    while (sinceStart.elapsed() < 3500) QTest::qWait(50);
    EXPECT_EQ(scalar(*admin, QStringLiteral("SELECT v FROM %1 WHERE id = 1").arg(table)), QStringLiteral("0"));
    window.reset();
    admin->exec(QStringLiteral("DROP TABLE ") + table);
}

INSTANTIATE_TEST_SUITE_P(Servers, QuitTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<QuitCase>& info) { return std::string(info.param.name); });
