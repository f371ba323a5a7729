// One run of a big query in the editor's main window (run it under Xvfb):
// time from the F5 key press (sent by xdotool through the X server) to the
// first rows painted and to the last row, how long a typed key takes to be
// painted during the run (and, as the floor, while idle),
// and the process's memory before, during and after the run, after the next
// run has cleared the results and after the document is closed. Prints
// "name value" lines for bench/run-gui.sh, which sets them against the
// baselines it measures in the same run.
//
//   bench_gui_run CONNECTION-STRING SQL grid|text [SCREENSHOT.png]
#include "base/Memory.h"
#include "document/QueryDocument.h"
#include "document/ResultGrid.h"
#include "document/ResultPanes.h"
#include "document/ResultTextView.h"
#include "editor/SqlEditor.h"
#include "run/ResultModel.h"
#include "shell/MainWindow.h"
#include "settings/AppPaths.h"
#include "store/HomeSeeding.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double mb(qint64 bytes) { return double(bytes) / (1024.0 * 1024.0); }

// Notes when the results pane first paints with rows in it.
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget* viewport, std::function<bool()> hasRows, QElapsedTimer& clock)
        : hasRows_(std::move(hasRows)), clock_(clock) {
        viewport->installEventFilter(this);
    }
    qint64 at = -1;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && at < 0 && hasRows_()) at = clock_.elapsed(); // painted right after
        return false;
    }

private:
    std::function<bool()> hasRows_;
    QElapsedTimer& clock_;
};

// Types into the script every 50 ms, as a user would (a digit, then
// Backspace, in a comment at the end so no suggestion list opens), and notes
// how long each key took from being queued to the editor painting its result.
class KeyProbe : public QObject {
public:
    explicit KeyProbe(SqlEditor* editor) : editor_(editor) {
        editor->installEventFilter(this);
        editor->viewport()->installEventFilter(this);
        timer_.setInterval(50);
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (sentAt_ >= 0) return; // the last one is still waiting
            sentAt_ = clock_.nsecsElapsed();
            handled_ = false;
            const bool digit = (sent_++ % 2) == 0;
            const int key = digit ? Qt::Key_1 : Qt::Key_Backspace;
            const QString text = digit ? QStringLiteral("1") : QString();
            QApplication::postEvent(editor_, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
            QApplication::postEvent(editor_, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
        });
        clock_.start();
    }
    void start() { timer_.start(); }
    void stop() { timer_.stop(); }
    std::vector<double> waits; // milliseconds, key queued to its change painted

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (sentAt_ < 0) return false;
        if (o == editor_ && e->type() == QEvent::KeyPress) handled_ = true;
        if (o == editor_->viewport() && e->type() == QEvent::Paint && handled_) {
            waits.push_back(double(clock_.nsecsElapsed() - sentAt_) / 1e6); // painted right after
            sentAt_ = -1;
        }
        return false;
    }

private:
    SqlEditor* editor_;
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 sentAt_ = -1;
    bool handled_ = false;
    int sent_ = 0;
};

// Starts the clock when the F5 key press reaches the application.
class KeyArrival : public QObject {
public:
    KeyArrival(QElapsedTimer& clock) : clock_(clock) { qApp->installEventFilter(this); }
    bool arrived = false;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        // a key bound to a menu command comes first as a shortcut override
        const bool key = e->type() == QEvent::KeyPress || e->type() == QEvent::ShortcutOverride;
        if (!arrived && key && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F5) {
            arrived = true;
            clock_.start();
        }
        return false;
    }

private:
    QElapsedTimer& clock_;
};

} // namespace

int main(int argc, char** argv) {
    base::useOneHeap(); // as the editor does
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s CONNECTION-STRING SQL grid|text [SCREENSHOT.png]\n", argv[0]);
        return 2;
    }
    const QString cs = QString::fromLocal8Bit(argv[1]), sql = QString::fromLocal8Bit(argv[2]);
    const bool text = QByteArray(argv[3]) == "text";
    QTemporaryDir home;
    AppPaths::resolve(home.path(), QString());
    store::ensureSeeded();

    MainWindow window;
    window.resize(1200, 800);
    window.show();
    QueryDocument* doc = window.activeDocument();
    doc->setConnection(cs);
    doc->setResultsInText(text);
    // typed keys go to a comment after the statement
    doc->editor()->setText(sql + QStringLiteral("\n-- "));
    doc->editor()->setCursorPosition(1, 3);
    doc->editor()->setFocus();
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    window.activateWindow(); // mapped by now: the X input focus can go to it
    doc->editor()->setFocus();
    QApplication::processEvents();
    base::releaseFreed();
    const qint64 idle = base::residentBytes();

    // how long a typed key waits while nothing runs: the floor of this machine
    KeyProbe idleKeys(doc->editor());
    idleKeys.start();
    {
        QEventLoop idleFor;
        QTimer::singleShot(1000, &idleFor, &QEventLoop::quit);
        idleFor.exec();
    }
    idleKeys.stop();

    QElapsedTimer clock;
    ResultPanes* panes = doc->parts().results;
    QAbstractScrollArea* pane = text ? static_cast<QAbstractScrollArea*>(panes->textPane()) : panes->grid();
    FirstPaint first(pane->viewport(),
                     text ? std::function<bool()>([panes] { return panes->textPane()->content().lineCount() > 3; })
                          : std::function<bool()>([panes] { return panes->grid()->resultModel()->rowCount() > 0; }),
                     clock);
    KeyProbe keys(doc->editor());
    qint64 peak = idle;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] { peak = std::max(peak, base::residentBytes()); });
    sampler.start(100);

    // Waits in an event loop, as the application does, until the run has ended.
    auto waitForRun = [doc] {
        QEventLoop loop;
        QObject::connect(doc, &QueryDocument::mainStatus, &loop, [&loop](bool busy) {
            if (!busy) loop.quit();
        });
        if (doc->isRunning()) loop.exec();
    };
    // F5 as a user presses it: through the X server to the focused window
    KeyArrival f5(clock);
    QProcess::startDetached(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("F5")});
    QElapsedTimer patience;
    patience.start();
    while (!doc->isRunning() && patience.elapsed() < 5000) QApplication::processEvents(QEventLoop::AllEvents, 5);
    if (!f5.arrived || !doc->isRunning()) {
        std::fprintf(stderr, "F5 did not start the run (is xdotool installed and the window focused?)\n");
        return 1;
    }
    keys.start();
    waitForRun();
    const qint64 last = clock.elapsed();
    keys.stop();
    sampler.stop();
    for (int i = 0; i < 10; ++i) QApplication::processEvents(); // the last paint
    peak = std::max(peak, base::residentBytes());
    const qint64 shownRows = text ? panes->textPane()->content().lineCount() : panes->grid()->resultModel()->totalRows();
    if (argc > 4) pane->window()->grab().save(QString::fromLocal8Bit(argv[4]));
    const qint64 after = base::residentBytes();

    // the next run clears the results
    doc->editor()->setText(QStringLiteral("SELECT 1"));
    doc->startExec();
    waitForRun();
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    const qint64 cleared = base::residentBytes();

    doc->setChanged(false);
    doc->parentWidget()->close(); // the document closes: its results go
    for (int i = 0; i < 10; ++i) {
        // processEvents() alone leaves deleteLater() to the event loop that
        // asked for it: the closed window would still be alive here
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        QThread::msleep(10);
    }
    const qint64 closed = base::residentBytes();

    auto quantile = [](std::vector<double> w, double q) {
        if (w.empty()) return 0.0;
        std::sort(w.begin(), w.end());
        return w[size_t(double(w.size() - 1) * q)];
    };
    std::printf("first_rows_ms %lld\nlast_row_ms %lld\n", first.at, last);
    std::printf("key_max_ms %.1f\nkey_p95_ms %.1f\nkeys %zu\nidle_key_max_ms %.1f\nidle_key_p95_ms %.1f\n",
                quantile(keys.waits, 1.0), quantile(keys.waits, 0.95), keys.waits.size(), quantile(idleKeys.waits, 1.0),
                quantile(idleKeys.waits, 0.95));
    std::printf("rss_idle_mb %.1f\nrss_peak_mb %.1f\nrss_after_run_mb %.1f\nrss_cleared_mb %.1f\nrss_closed_mb %.1f\n"
                "rows %lld\n",
                mb(idle), mb(peak), mb(after), mb(cleared), mb(closed), shownRows);
    return 0;
}
