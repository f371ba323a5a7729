// sqlqe-run: runs a script headless through the same engine as the editor
// and prints what the editor's text pane would show (or the grid's export
// format). The closing message goes to stderr; the exit status is 0 on
// success and 1 when the run failed. Ctrl+C cancels the running statement.

#include "settings/AppPaths.h"
#include "settings/Settings.h"
#include "db/ProcessLocale.h"
#include "run/GridExport.h"
#include "run/RunEngine.h"
#include "run/RunPlan.h"
#include "run/TextLayout.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <condition_variable>
#include <csignal>
#include <deque>
#include <functional>
#include <mutex>
#include <cstdio>
#include <pthread.h>
#include <thread>

namespace {

enum class Mode { Text, Csv, Tsv };

void writeOut(const QByteArray& bytes) { std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout); }
void writeErr(const QString& text) {
    const QByteArray b = text.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
}

// Prints a run as it arrives. Formatting and writing happen on a thread of
// their own, so the database is read while the previous rows are written.
class PrintSink : public RunSink {
public:
    explicit PrintSink(Mode mode) : mode_(mode), writer_([this] { writeLoop(); }) {}
    ~PrintSink() override { finish(); }

    void gridStarted(const std::vector<db::Field>& fields) override {
        push([this, fields] {
            gridexport::appendHeader(out_, fields, format());
            record_ = 0;
        });
    }
    void gridRows(std::shared_ptr<db::RowBlock> rows) override {
        push([this, rows] {
            for (int r = 0; r < rows->rowCount(); ++r) gridexport::appendRow(out_, ++record_, *rows, r, format());
            if (out_.size() > (1 << 20)) writePending();
        });
    }
    void appendText(Pane pane, const QString& text) override {
        // Only results reach stdout: the messages of statements without rows
        // and the server's notices go to stderr, and so does the row-limit notice in the export modes
        // (the editor keeps it out of sight behind the grid).
        const bool toStderr = pane == Pane::Messages || pane == Pane::Notices ||
                              (mode_ != Mode::Text && pane == Pane::Results);
        push([this, text, toStderr] {
            if (toStderr) {
                writePending();
                writeErr(text.trimmed() + QLatin1Char('\n'));
                return;
            }
            out_ += text.toUtf8();
            if (out_.size() > (1 << 20)) writePending();
        });
    }
    void textRows(Pane, std::shared_ptr<db::RowBlock> rows, const TextWidths& widths) override {
        push([this, rows, widths] {
            for (int r = 0; r < rows->rowCount(); ++r) textlayout::appendRowUtf8(out_, *rows, r, *widths);
            if (out_.size() > (1 << 20)) writePending();
        });
    }
    void clearPane(Pane) override {}
    void progress(qint64) override {}

    // Writes everything still queued and ends the writer.
    void finish() {
        if (!writer_.joinable()) return;
        push([this] { writePending(); }, true);
        writer_.join();
    }

private:
    using Task = std::function<void()>;
    void push(Task task, bool last = false) {
        std::unique_lock lock(mutex_);
        room_.wait(lock, [this] { return queue_.size() < 8; });
        queue_.push_back({std::move(task), last});
        ready_.notify_one();
    }
    void writeLoop() {
        for (;;) {
            std::pair<Task, bool> item;
            {
                std::unique_lock lock(mutex_);
                ready_.wait(lock, [this] { return !queue_.empty(); });
                item = std::move(queue_.front());
                queue_.pop_front();
                room_.notify_one();
            }
            item.first();
            if (item.second) return;
            // Caught up with the run: what is formatted goes out now, so the
            // first rows of a slow or long result are seen at once.
            bool idle;
            {
                std::lock_guard lock(mutex_);
                idle = queue_.empty();
            }
            if (idle && !out_.isEmpty()) writePending();
        }
    }
    void writePending() {
        writeOut(out_);
        out_.clear();
        std::fflush(stdout);
    }
    gridexport::Format format() const { return mode_ == Mode::Csv ? gridexport::kCsv : gridexport::kTab; }

    Mode mode_;
    QByteArray out_;
    qint64 record_ = 0;
    std::mutex mutex_;
    std::condition_variable ready_, room_;
    std::deque<std::pair<Task, bool>> queue_;
    std::thread writer_;
};

QString readScript(const QString& path, QString& error) {
    QFile f;
    if (path == QLatin1String("-")) {
        if (!f.open(stdin, QIODevice::ReadOnly)) error = QStringLiteral("cannot read standard input");
    } else {
        f.setFileName(path);
        if (!f.open(QIODevice::ReadOnly)) error = QStringLiteral("cannot read %1: %2").arg(path, f.errorString());
    }
    return error.isEmpty() ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

int main(int argc, char** argv) {
    // Ctrl+C is taken by a watcher thread (below), not by a signal handler.
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    sigaddset(&interrupt, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &interrupt, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("sqlqe-run"));
    db::useUtf8Ctype();

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Runs an SQL script and prints its results as the editor shows them."));
    p.addHelpOption();
    p.addOption({QStringLiteral("connect"), QStringLiteral("The connection string."), QStringLiteral("STRING")});
    p.addOption({QStringLiteral("database"), QStringLiteral("Default database for the run."), QStringLiteral("NAME")});
    p.addOption({QStringLiteral("text"), QStringLiteral("Results as aligned text (default).")});
    p.addOption({QStringLiteral("grid-csv"), QStringLiteral("Results in the grid's CSV export format.")});
    p.addOption({QStringLiteral("tsv"), QStringLiteral("Results in the grid's tab-separated export format.")});
    p.addOption({QStringLiteral("max-rows"), QStringLiteral("Row limit (overrides the settings)."), QStringLiteral("N")});
    p.addOption({QStringLiteral("home"), QStringLiteral("Application home with config.ini."), QStringLiteral("DIR")});
    p.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Script file, or - for standard input."));
    p.process(app);

    if (p.positionalArguments().size() != 1 || !p.isSet(QStringLiteral("connect"))) {
        writeErr(QStringLiteral("usage: sqlqe-run --connect STRING [--database NAME] [--text|--grid-csv|--tsv] "
                                "[--max-rows N] [--home DIR] FILE|-\n"));
        return 2;
    }
    AppPaths::resolve(p.value(QStringLiteral("home")), QCoreApplication::applicationDirPath());

    QString error;
    const QString script = readScript(p.positionalArguments().first(), error);
    if (!error.isEmpty()) {
        writeErr(QStringLiteral("sqlqe-run: %1\n").arg(error));
        return 2;
    }

    const Mode mode = p.isSet(QStringLiteral("tsv"))        ? Mode::Tsv
                      : p.isSet(QStringLiteral("grid-csv")) ? Mode::Csv
                                                            : Mode::Text;
    const RunPlan plan = planRun(script);
    if (plan.textToRun.isEmpty()) {
        writeErr(textlayout::nothingToDoMessage() + QLatin1Char('\n'));
        return 0;
    }

    RunRequest request;
    request.connectionString = p.value(QStringLiteral("connect"));
    request.database = p.value(QStringLiteral("database"));
    request.text = plan.textToRun;
    request.resultsInText = mode == Mode::Text;
    request.everySetToGrid = mode != Mode::Text; // each result set in the export format
    if (p.isSet(QStringLiteral("max-rows"))) {
        bool ok = false;
        const qint64 n = p.value(QStringLiteral("max-rows")).toLongLong(&ok);
        if (!ok) {
            writeErr(QStringLiteral("sqlqe-run: --max-rows needs a number\n"));
            return 2;
        }
        request.rowLimit = n;
    } else {
        request.rowLimit = settings::current().rowLimit();
    }
    request.loginTimeoutSeconds = settings::current().loginTimeoutSeconds();

    PrintSink sink(mode);
    RunEngine engine(request, sink);
    std::thread([&engine, interrupt] {
        int sig = 0;
        sigwait(&interrupt, &sig);
        engine.stop(); // a second Ctrl+C ends the program at once
        pthread_sigmask(SIG_UNBLOCK, &interrupt, nullptr);
        std::signal(SIGINT, SIG_DFL);
        sigwait(&interrupt, &sig);
        std::_Exit(130);
    }).detach();

    const RunResult result = engine.run();
    sink.finish();
    writeErr(result.closingMessage + QLatin1Char('\n'));
    if (result.cancelled()) return 128 + SIGINT;
    return result.isError() ? 1 : 0;
}
