// The grid's rows: filling the model through the run engine (against the
// plain fetch of the same rows), its memory, sorting and filtering a million
// rows (against std::sort and a plain search of the same values, measured in
// this run), with --fill only the fill (timed from outside), and with --big: a result kept within gridmemory (peak resident
// memory, reaching any row).
#include "base/Memory.h"
#include "db/Connection.h"
#include "db/ProcessLocale.h"
#include "grid/MemoryBudget.h"
#include "grid/RowFilter.h"
#include "grid/RowOrder.h"
#include "grid/RowStore.h"
#include "run/ResultModel.h"
#include "run/RunEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {
struct ModelSink : RunSink {
    ResultModel model;
    size_t textBytes = 0;
    qint64 cells = 0, peak = 0;
    int blocks = 0;
    void gridStarted(const std::vector<db::Field>& f) override { model.reset(f); }
    void gridRows(std::shared_ptr<db::RowBlock> rows) override {
        textBytes += rows->byteSize();
        cells += qint64(rows->rowCount()) * rows->columnCount();
        model.appendRows(std::move(rows));
        if (++blocks % 64 == 0) peak = std::max(peak, base::residentBytes());
    }
    void appendText(Pane, const QString&) override {}
    void clearPane(Pane) override {}
    void progress(qint64) override {}
};

double seconds(QElapsedTimer& t) {
    const double s = double(t.nsecsElapsed()) / 1e9;
    t.restart();
    return s;
}

void line(const char* what, double ours, const char* base, double theirs, const char* target = "") {
    std::printf("%-44s %8.3f s  vs %-22s %8.3f s   ratio %.2fx%s\n", what, ours, base, theirs, ours / theirs, target);
}

double plainFetch(const QString& cs, const QString& sql) {
    QElapsedTimer t;
    t.start();
    auto conn = db::Connection::open(cs);
    auto cur = conn->execute(sql);
    db::RowBlock b;
    while (cur->fetch(b, 4096)) {
    }
    return seconds(t);
}

// Fills a model with the rows of sql; returns the seconds it took.
double fill(ModelSink& sink, const QString& cs, const QString& sql) {
    RunRequest r;
    r.connectionString = cs;
    r.text = sql;
    QElapsedTimer t;
    t.start();
    const RunResult result = RunEngine(r, sink).run();
    sink.model.finishRows();
    if (result.isError()) {
        std::fprintf(stderr, "%s\n", qPrintable(result.closingMessage));
        std::exit(1);
    }
    return seconds(t);
}

// Sorting column c of the store against std::sort of the same values as
// native numbers or byte strings.
void benchSort(const grid::RowStore& store, int c, const char* what) {
    std::vector<long long> ints;
    std::vector<double> reals;
    std::vector<std::string> texts;
    const auto kind = store.fields()[size_t(c)].type;
    const bool integer = kind == db::FieldType::Integer || kind == db::FieldType::BigInt;
    const bool real = db::isNumberType(kind) && !integer;
    store.forEachChunk([&](qint64, const grid::ChunkCells& cells) {
        for (int r = 0; r < cells.rowCount(); ++r) {
            const std::string s(cells.text(r, c));
            if (integer) ints.push_back(std::stoll(s));
            else if (real) reals.push_back(std::stod(s));
            else texts.push_back(s);
        }
    });
    QElapsedTimer t;
    t.start();
    if (integer) std::sort(ints.begin(), ints.end());
    else if (real) std::sort(reals.begin(), reals.end());
    else std::sort(texts.begin(), texts.end());
    const double baseline = seconds(t);
    const auto order = grid::sortRows(store, c, grid::SortDirection::Descending);
    const double ours = seconds(t);
    line(what, ours, integer ? "std::sort int64" : real ? "std::sort double" : "std::sort bytes", baseline,
         ours <= 1.0 ? "  (within 1 s)" : "  (OVER 1 s)");
    if (order.size() != size_t(store.rowCount())) std::exit(1);
}

void benchFilter(const grid::RowStore& store, const grid::RowFilter& filter, int column, const char* needle,
                 const char* what) {
    std::vector<std::string> texts;
    store.forEachChunk([&](qint64, const grid::ChunkCells& cells) {
        for (int r = 0; r < cells.rowCount(); ++r) texts.emplace_back(cells.text(r, column));
    });
    QElapsedTimer t;
    t.start();
    size_t hits = 0;
    for (const std::string& s : texts) hits += s.find(needle) != std::string::npos;
    const double baseline = seconds(t);
    const auto rows = grid::filterRows(store, filter);
    const double ours = seconds(t);
    // the plain search's count is printed, so it is not optimised away
    std::printf("%-44s %8.3f s  vs %-22s %8.3f s   ratio %.2fx  (%zu of %lld rows; %zu)%s\n", what, ours,
                "std::string::find", baseline, ours / baseline, rows.size(), store.rowCount(), hits,
                ours <= 0.3 ? "  (within 300 ms)" : "  (OVER 300 ms)");
}

int bigResult(const QString& cs, const QString& sql) {
    grid::MemoryBudget::instance().setLimit(grid::MemoryBudget::kDefaultLimit);
    const double fetch = plainFetch(cs, sql);
    base::releaseFreed();
    const qint64 before = base::residentBytes();
    ModelSink sink;
    const double grid = fill(sink, cs, sql);
    line("grid run, big result into the model", grid, "plain fetch", fetch);
    std::printf("%-44s %8.1f MB (process, gridmemory 256 MB; %.1f MB before the run)\n",
                "peak resident memory while filling", double(sink.peak) / 1048576.0, double(before) / 1048576.0);
    // reaching rows anywhere: a screenful of cells at random places
    QElapsedTimer t;
    t.start();
    double worst = 0;
    auto* rng = QRandomGenerator::global();
    for (int i = 0; i < 200; ++i) {
        const int top = int(rng->bounded(qint64(sink.model.rowCount() - 40)));
        QElapsedTimer one;
        one.start();
        for (int r = top; r < top + 40; ++r)
            for (int c = 0; c < sink.model.columnCount(); ++c)
                (void)sink.model.data(sink.model.index(r, c), Qt::DisplayRole);
        worst = std::max(worst, double(one.nsecsElapsed()) / 1e6);
    }
    std::printf("%-44s %8.2f ms worst of 200, %.2f ms on average (target <= 50 ms)\n",
                "a screenful of rows anywhere", worst, double(t.nsecsElapsed()) / 1e6 / 200);
    std::printf("%-44s %8.1f MB (process, after scrolling)\n", "resident memory", double(base::residentBytes()) / 1048576.0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    db::useUtf8Ctype();
    const bool big = argc > 1 && QByteArray(argv[1]) == "--big";
    if (argc == 4 && QByteArray(argv[1]) == "--fill") { // only the grid's fill, for timing the whole program
        ModelSink sink;
        fill(sink, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
        return sink.model.totalRows() > 0 ? 0 : 1;
    }
    if (argc < 3 + int(big)) {
        std::fprintf(stderr, "usage: %s [--big] CONNECTION-STRING SQL\n", argv[0]);
        return 2;
    }
    const QString cs = QString::fromLocal8Bit(argv[1 + int(big)]), sql = QString::fromLocal8Bit(argv[2 + int(big)]);
    if (big) return bigResult(cs, sql);

    grid::MemoryBudget::instance().setLimit(0); // all in memory: the times of sorting, not of the disk
    const double fetch = plainFetch(cs, sql);
    ModelSink sink;
    const double grid = fill(sink, cs, sql);
    line("grid run, 1M rows into the model", grid, "plain fetch", fetch);
    std::printf("%-44s %8.2f B  vs %-22s %8.2f B   ratio %.2fx  (%lld cells)\n", "grid model memory per cell",
                double(sink.model.memoryUse()) / double(sink.cells), "text per cell",
                double(sink.textBytes) / double(sink.cells), double(sink.model.memoryUse()) / double(sink.textBytes),
                sink.cells);

    // The same rows in a store of their own, with a NUMERIC column beside them.
    auto fields = sink.model.fields();
    fields[4].type = db::FieldType::Numeric; // y: i / 3.0, sixteen digits and more
    grid::RowStore store(fields);
    sink.model.forEachBlock([&](const db::RowBlock& b) { store.append(b); });
    store.seal();
    benchSort(store, 0, "sort 1M by an INTEGER column");
    benchSort(store, 3, "sort 1M by a REAL column");
    benchSort(store, 4, "sort 1M by a NUMERIC column (decimal text)");
    benchSort(store, 6, "sort 1M by text, 5,000 distinct (collation)");
    benchSort(store, 7, "sort 1M by text, all distinct (collation)");
    using grid::FilterOp;
    benchFilter(store, {{{6, FilterOp::Contains, QStringLiteral("AME 49")}}, {}}, 6, "ame 49",
                "filter 1M: a text column contains");
    benchFilter(store, {{}, QStringLiteral("4999")}, 7, "4999", "filter 1M: quick filter over 8 columns");
    benchFilter(store, {{{2, FilterOp::Greater, QStringLiteral("990")}}, {}}, 2, "99",
                "filter 1M: number column > 990");
    benchFilter(store, {{{0, FilterOp::Equals, QStringLiteral("500000")}}, {}}, 0, "500000",
                "filter 1M: number column = 500000");
    return 0;
}
