// The grid's row store: rows read back as they came across chunks, in
// memory and from the temporary file; a file that cannot be written keeps
// the rows in memory; and a 20-million-row result stays within the memory
// limit (the process's resident size, read from /proc/self/status).
#include "base/Memory.h"
#include "grid/MemoryBudget.h"
#include "grid/RowStore.h"
#include "run/ResultModel.h"
#include "run/RunEngine.h"
#include "support/ExportReadBack.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace grid;

namespace {

// Sets the grids' memory limit for one test.
class BudgetLimit {
public:
    explicit BudgetLimit(qint64 bytes) : old_(MemoryBudget::instance().limit()) {
        MemoryBudget::instance().setLimit(bytes);
    }
    ~BudgetLimit() { MemoryBudget::instance().setLimit(old_); }

private:
    qint64 old_;
};

std::vector<db::Field> twoColumns() {
    return {db::Field{QStringLiteral("n"), db::FieldType::Integer},
            db::Field{QStringLiteral("t"), db::FieldType::VarChar}};
}

// Row i: its number, and text that is NULL, empty or long by turns.
Rows numbered(int from, int count) {
    Rows rows;
    for (int i = from; i < from + count; ++i) {
        Cell text = i % 3 == 0 ? Cell() : i % 3 == 1 ? Cell(QString()) : Cell(QString(200, QChar(u'é')) + QString::number(i));
        rows.push_back({QString::number(i), text});
    }
    return rows;
}

void expectRows(const RowStore& store, int count) {
    ASSERT_EQ(store.rowCount(), count);
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(store.cellText(i, 0), QString::number(i)) << i;
        ASSERT_EQ(store.isNull(i, 1), i % 3 == 0) << i;
        const QString expected = i % 3 == 2 ? QString(200, QChar(u'é')) + QString::number(i) : QString();
        ASSERT_EQ(store.cellText(i, 1), expected) << i;
    }
}

} // namespace

TEST(GridStore, RowsReadBackAcrossChunksInMemoryAndFromTheFile) {
    for (const qint64 limit : {qint64(0), qint64(64) << 10}) { // no limit; a limit every chunk passes
        const BudgetLimit budget(limit);
        RowStore store(twoColumns(), RowStore::Limits{100, 0, {}});
        for (int from = 0; from < 5000; from += 700) store.append(blockOf(numbered(from, std::min(700, 5000 - from))));
        expectRows(store, 5000); // the chunk being filled included
        store.seal();
        expectRows(store, 5000);
        if (limit == 0) {
            EXPECT_EQ(store.spilledBytes(), 0);
        } else {
            EXPECT_GT(store.spilledBytes(), 256 << 10);
            EXPECT_LT(store.residentBytes(), 4 * (64 << 10) + (256 << 10)); // the budget and a few mapped windows
        }
        // a block of rows picked out, in the order asked
        const uint32_t picked[] = {4999, 0, 2, 2500};
        db::RowBlock block;
        store.copyRows(picked, 4, block);
        ASSERT_EQ(block.rowCount(), 4);
        EXPECT_EQ(block.text(0, 0), "4999");
        EXPECT_TRUE(block.isNull(1, 1));
        EXPECT_EQ(block.string(2, 1), QString(200, QChar(u'é')) + QStringLiteral("2"));
        EXPECT_EQ(block.text(3, 0), "2500");
    }
}

TEST(GridStore, AFileThatCannotBeWrittenKeepsTheRowsInMemory) {
    const BudgetLimit budget(qint64(64) << 10);
    QTemporaryDir dir;
    RowStore store(twoColumns(), RowStore::Limits{100, 0, dir.filePath(QStringLiteral("missing/folder"))});
    store.append(blockOf(numbered(0, 3000)));
    store.seal();
    EXPECT_FALSE(store.spillError().isEmpty());
    EXPECT_TRUE(store.spillError().contains(QStringLiteral("missing/folder"))) << store.spillError().toStdString();
    expectRows(store, 3000);
}

TEST(GridStore, ClosingTheResultGivesItsMemoryBack) {
    const BudgetLimit budget(0);
    const qint64 before = MemoryBudget::instance().held();
    {
        RowStore store(twoColumns());
        store.append(blockOf(numbered(0, 20000)));
        store.seal();
        EXPECT_GT(MemoryBudget::instance().held(), before + (2 << 20));
    }
    EXPECT_EQ(MemoryBudget::instance().held(), before);
}

namespace {
// Puts a run's grid rows into a model and notes the largest resident size seen.
struct MeasuringSink : RunSink {
    ResultModel model;
    qint64 peak = 0;
    int blocks = 0;
    void gridStarted(const std::vector<db::Field>& f) override { model.reset(f); }
    void gridRows(std::shared_ptr<db::RowBlock> rows) override {
        model.appendRows(std::move(rows));
        if (++blocks % 128 == 0) peak = std::max(peak, base::residentBytes());
    }
    void appendText(Pane, const QString&) override {}
    void clearPane(Pane) override {}
    void progress(qint64) override {}
};
} // namespace

TEST(GridStore, TwentyMillionRowsStayWithinTheMemoryLimit) {
    constexpr qint64 kLimit = qint64(16) << 20;
    const BudgetLimit budget(kLimit);
    base::releaseFreed();
    const qint64 before = base::residentBytes();
    MeasuringSink sink;
    RunRequest request;
    request.connectionString = QStringLiteral("Provider=SQLite;Data Source=:memory:");
    // 2 × 10^7 rows of one digit, made by joining small tables (quicker than counting)
    request.text = QStringLiteral("WITH d(x) AS (VALUES(0),(1),(2),(3),(4),(5),(6),(7),(8),(9)), t(y) AS (VALUES(0),(1)) "
                                  "SELECT t.y * 10 + a.x FROM t, d a, d b, d c, d e, d f, d g, d h");
    const RunResult result = RunEngine(request, sink).run();
    ASSERT_FALSE(result.isError()) << result.closingMessage.toStdString();
    sink.model.finishRows();
    ASSERT_EQ(sink.model.totalRows(), 20000000);
    // without the file the rows would take about 220 MB
    EXPECT_LT(sink.peak - before, kLimit) << "grew by " << (sink.peak - before) / 1024 << " kB";
    EXPECT_EQ(sink.model.cellText(0, 0), QStringLiteral("0"));
    EXPECT_EQ(sink.model.cellText(19999999, 0), QStringLiteral("19"));
}
