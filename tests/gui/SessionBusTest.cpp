// A session bus that accepts and never answers once kept the editor from
// ever showing a window (the accessibility bridge waited for it on the UI
// thread). The probe tells such a bus apart, and the real program under
// Xvfb shows its window within seconds and says it runs without the bus.
#include "shell/SessionBusProbe.h"

#include "support/SilentSocket.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#ifndef SQLQE_PATH
#error "SQLQE_PATH must name the sqlqe executable"
#endif

TEST(SessionBus, TheProbeTellsASilentBusFromOneThatAnswers) {
    using shell::SessionBusState;
    SilentSocket silent;
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(shell::probeSessionBus(silent.address(), 500), SessionBusState::Silent);
    EXPECT_LT(t.elapsed(), 3000);
    SilentSocket answering("OK 1234\r\n");
    EXPECT_EQ(shell::probeSessionBus(answering.address(), 2000), SessionBusState::Answers);
    EXPECT_EQ(shell::probeSessionBus(QStringLiteral("unix:path=/nonexistent/bus"), 500), SessionBusState::Unreachable);
    EXPECT_EQ(shell::probeSessionBus(QString(), 500), SessionBusState::NotConfigured);
    EXPECT_EQ(shell::probeSessionBus(QStringLiteral("tcp:host=localhost,port=1"), 500), SessionBusState::NotConfigured);
}

TEST(SessionBus, TheEditorShowsItsWindowWhenTheBusNeverAnswers) {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (xvfb.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xwininfo")).isEmpty())
        GTEST_SKIP() << "xvfb-run and xwininfo (packages xvfb, x11-utils) are needed to start the real editor";
    SilentSocket silent;
    QTemporaryDir home;
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), silent.address());
    env.remove(QStringLiteral("QT_QPA_PLATFORM")); // a real X display: that is where the bridge lives
    run.setProcessEnvironment(env);
    // the editor, then up to 15 s for its main window; the script says when it is there
    const QString script = QStringLiteral(
        "\"$0\" --home \"$1\" & pid=$!\n"
        "for i in $(seq 75); do\n"
        "  if xwininfo -root -tree | grep -q 'SQL Query Editor - \\['; then echo \"WINDOW after $i\"; break; fi\n"
        "  sleep 0.2\n"
        "done\n"
        "kill $pid; wait $pid 2>/dev/null; exit 0\n");
    run.start(xvfb, {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1280x800x24"),
                     QStringLiteral("/bin/sh"), QStringLiteral("-c"), script, QStringLiteral(SQLQE_PATH), home.path()});
    ASSERT_TRUE(run.waitForFinished(60000));
    const QString out = QString::fromLocal8Bit(run.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(run.readAllStandardError());
    EXPECT_TRUE(out.contains(QStringLiteral("WINDOW"))) << out.toStdString() << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("did not answer"))) << err.toStdString();
}
