// A million-row grid result: memory held by the grid model per cell against
// the cells' text, and the time to fill it through the run engine, next to
// the plain fetch of the same rows as the baseline of this run.
#include "db/Connection.h"
#include "db/ProcessLocale.h"
#include "run/ResultModel.h"
#include "run/RunEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {
struct ModelSink : RunSink {
    ResultModel model;
    size_t textBytes = 0;
    qint64 cells = 0;
    void gridStarted(const std::vector<db::Field>& f) override { model.reset(f); }
    void gridRows(std::shared_ptr<db::RowBlock> rows) override {
        textBytes += rows->byteSize();
        cells += qint64(rows->rowCount()) * rows->columnCount();
        model.appendRows(std::move(rows));
    }
    void appendText(Pane, const QString&) override {}
    void clearPane(Pane) override {}
    void progress(qint64) override {}
};
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    db::useUtf8Ctype();
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s CONNECTION-STRING SQL\n", argv[0]);
        return 2;
    }
    const QString cs = QString::fromLocal8Bit(argv[1]), sql = QString::fromLocal8Bit(argv[2]);
    QElapsedTimer t;
    t.start();
    {
        auto conn = db::Connection::open(cs);
        auto cur = conn->execute(sql);
        db::RowBlock b;
        while (cur->fetch(b, 4096)) {
        }
    }
    const double fetch = double(t.nsecsElapsed()) / 1e9;
    ModelSink sink;
    RunRequest r;
    r.connectionString = cs;
    r.text = sql;
    t.restart();
    const RunResult result = RunEngine(r, sink).run();
    const double grid = double(t.nsecsElapsed()) / 1e9;
    if (result.isError()) {
        std::fprintf(stderr, "%s\n", qPrintable(result.closingMessage));
        return 1;
    }
    std::printf("%-44s %8.3f s  vs %-22s %8.3f s   ratio %.2fx\n", "grid run, 1M rows into the model", grid,
                "plain fetch", fetch, grid / fetch);
    std::printf("%-44s %8.2f B  vs %-22s %8.2f B   ratio %.2fx  (%lld cells)\n", "grid model memory per cell",
                double(sink.model.memoryUse()) / double(sink.cells), "text per cell",
                double(sink.textBytes) / double(sink.cells), double(sink.model.memoryUse()) / double(sink.textBytes),
                sink.cells);
    return 0;
}
