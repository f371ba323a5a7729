// An external tool's gigabyte: a 1 GB sparse output file read into text for
// the results pane, and 1 GB printed on one line, each next to a plain pass
// over the same bytes in the same run; with the longest the event loop
// waited between two slices and the peak memory each took.
#include "external/OutputFileReader.h"
#include "external/OutputShaper.h"
#include "external/ToolCommand.h"
#include "external/ToolProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

long peakKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

constexpr qint64 kGigabyte = qint64(1) << 30;

// Reads the file through the reader; returns seconds, the longest wait of
// the event loop, the characters kept and the memory it grew by.
double readFile(const QString& file, qint64& longestWaitMs, qint64& kept, long& grewKb) {
    const long before = peakKb();
    external::OutputFileReader reader;
    QElapsedTimer clock, gap;
    bool done = false;
    kept = longestWaitMs = 0;
    QObject::connect(&reader, &external::OutputFileReader::text, [&](const QString& s) { kept += s.size(); });
    QObject::connect(&reader, &external::OutputFileReader::finished, [&] { done = true; });
    QTimer ticker; // what the window would do meanwhile: how long it had to wait
    QObject::connect(&ticker, &QTimer::timeout, [&] { longestWaitMs = std::max(longestWaitMs, gap.restart()); });
    clock.start();
    gap.start();
    ticker.start(0);
    if (!reader.start(file)) return -1;
    while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents);
    grewKb = peakKb() - before;
    return clock.elapsed() / 1000.0;
}

// Runs the tool to its end, its output shaped for the pane or dropped.
double runTool(const external::ToolCommand& command, bool shape, qint64& kept, long& grewKb) {
    external::ToolProcess tool;
    external::OutputShaper shaper;
    const long before = peakKb();
    bool ended = false;
    kept = 0;
    QObject::connect(&tool, &external::ToolProcess::output, [&](const QByteArray& bytes, bool) {
        if (shape) kept += shaper.feed(bytes).size();
    });
    QObject::connect(&tool, &external::ToolProcess::finished, [&](int, bool) { ended = true; });
    QElapsedTimer clock;
    clock.start();
    if (!tool.start(command, QString())) return -1;
    while (!ended) QCoreApplication::processEvents(QEventLoop::AllEvents);
    kept += shaper.finish().size();
    grewKb = peakKb() - before;
    return clock.elapsed() / 1000.0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("out.txt"));
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly) || !f.resize(kGigabyte)) return 1; // sparse: NUL bytes, one line
    }

    // the file: read in the same slices with nothing done, against read into text (best of three each)
    double plain = 1e9, read = 1e9;
    qint64 longestWait = 0, kept = 0;
    long grew = 0;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer clock;
        clock.start();
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) return 1;
        while (!f.read(external::OutputFileReader::kSliceBytes).isEmpty()) {}
        plain = std::min(plain, clock.elapsed() / 1000.0);
        read = std::min(read, readFile(file, longestWait, kept, grew));
    }
    std::printf("%-44s %8.3f s  vs %-22s %8.3f s   ratio %.2fx   longest wait %lld ms, %lld chars kept, +%ld MB\n",
                "1 GB sparse output file into text", read, "plain read", plain, read / plain,
                static_cast<long long>(longestWait), static_cast<long long>(kept), grew / 1024);

    // printed on one line: the same tool and process, its output dropped, then shaped
    settings::Snapshot s;
    s.set(settings::Key::ExecutionSelected, QStringLiteral("Other"));
    s.set(settings::Key::OtherExecute, QStringLiteral("head"));
    s.set(settings::Key::OtherServer, QStringLiteral("-c1073741824"));
    s.set(settings::Key::OtherDatabase, QStringLiteral("/dev/zero"));
    const external::ToolCommand command = *external::buildToolCommand(s, dir.path());
    const double dropped = runTool(command, false, kept, grew);
    const double printed = runTool(command, true, kept, grew);
    std::printf("%-44s %8.3f s  vs %-22s %8.3f s   ratio %.2fx   %lld chars kept, +%ld MB\n",
                "1 GB printed on one line, shaped", printed, "the same, output dropped", dropped, printed / dropped,
                static_cast<long long>(kept), grew / 1024);
    return 0;
}
