// One run of a big query in a real query document window (run it under
// Xvfb): time from Execute to the first rows painted and to the last row,
// how long typed keys wait during the run (and, as the floor, while idle),
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
#include "run/ResultModel.h"
#include "settings/AppPaths.h"
#include "store/HomeSeeding.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
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

// Posts a key press to the script every 50 ms and notes how long each one
// waited before the editor got it.
class KeyProbe : public QObject {
public:
    explicit KeyProbe(QWidget* target) : target_(target) {
        target->installEventFilter(this);
        timer_.setInterval(50);
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (sentAt_ >= 0) return; // the last one is still waiting
            sentAt_ = clock_.nsecsElapsed();
            QApplication::postEvent(target_, new QKeyEvent(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier));
        });
        clock_.start();
    }
    void start() { timer_.start(); }
    void stop() { timer_.stop(); }
    std::vector<double> waits; // milliseconds

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == target_ && e->type() == QEvent::KeyPress && sentAt_ >= 0) {
            waits.push_back(double(clock_.nsecsElapsed() - sentAt_) / 1e6);
            sentAt_ = -1;
        }
        return false;
    }

private:
    QWidget* target_;
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 sentAt_ = -1;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s CONNECTION-STRING SQL grid|text [SCREENSHOT.png]\n", argv[0]);
        return 2;
    }
    const QString cs = QString::fromLocal8Bit(argv[1]), sql = QString::fromLocal8Bit(argv[2]);
    const bool text = QByteArray(argv[3]) == "text";
    QTemporaryDir home;
    AppPaths::resolve(home.path(), QString());
    homeseeding::ensureSeeded();

    auto* doc = new QueryDocument;
    doc->resize(1200, 800);
    doc->show();
    doc->setConnection(cs);
    doc->setResultsInText(text);
    doc->editor()->setText(sql);
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    memory::releaseFreed();
    const qint64 idle = memory::residentBytes();

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
    QObject::connect(&sampler, &QTimer::timeout, [&] { peak = std::max(peak, memory::residentBytes()); });
    sampler.start(100);

    // Waits in an event loop, as the application does, until the run has ended.
    auto waitForRun = [doc] {
        QEventLoop loop;
        QObject::connect(doc, &QueryDocument::mainStatus, &loop, [&loop](bool busy) {
            if (!busy) loop.quit();
        });
        if (doc->isRunning()) loop.exec();
    };
    clock.start();
    keys.start();
    doc->startExec();
    waitForRun();
    const qint64 last = clock.elapsed();
    keys.stop();
    sampler.stop();
    for (int i = 0; i < 10; ++i) QApplication::processEvents(); // the last paint
    peak = std::max(peak, memory::residentBytes());
    const qint64 shownRows = text ? panes->textPane()->content().lineCount() : panes->grid()->resultModel()->totalRows();
    if (argc > 4) pane->window()->grab().save(QString::fromLocal8Bit(argv[4]));
    const qint64 after = memory::residentBytes();

    // the next run clears the results
    doc->editor()->setText(QStringLiteral("SELECT 1"));
    doc->startExec();
    waitForRun();
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    const qint64 cleared = memory::residentBytes();

    delete doc; // the document closes: its results go
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    const qint64 closed = memory::residentBytes();

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
