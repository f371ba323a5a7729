// The completion popup's catalogue cache: one read per list until the
// connection's lists are forgotten, failures not kept, answers of overtaken
// reads dropped, stale lists served while they are read again, and
// forgetEverywhere reaching every cache.
#include "assist/CatalogCache.h"

#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct Fake {
    std::shared_ptr<std::atomic<int>> tableReads = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<std::atomic<int>> columnReads = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<std::atomic<bool>> failing = std::make_shared<std::atomic<bool>>(false);

    CatalogCache::Readers readers() const {
        CatalogCache::Readers r;
        r.tables = [n = tableReads, failing = failing](const QString& cs) -> Result<CatalogCache::Tables> {
            const int read = ++*n;
            if (*failing) return fail(QStringLiteral("Error: cannot connect"));
            CatalogCache::Tables t;
            t.tables = {{QString(), cs + QStringLiteral(".t")},
                        {QString(), QStringLiteral("read%1").arg(read)}};
            return t;
        };
        r.tablesIn = [](const QString&, const QString& schema) -> Result<CatalogCache::TableList> {
            return CatalogCache::TableList{{schema, QStringLiteral("in_") + schema}};
        };
        r.columns = [n = columnReads](const QString&, const QString& database, const QString& schema,
                                      const QString& table) -> Result<QStringList> {
            ++*n;
            return QStringList{database + QLatin1Char('.') + schema + QLatin1Char('.') + table +
                               QStringLiteral(".id")};
        };
        return r;
    }
};

// The answers one requester was given: how many, and the last.
struct Answer {
    int calls = 0;
    std::optional<Result<CatalogCache::Tables>> last;
    QString secondName() const { return last && last->ok() ? last->value().tables.at(1).name : QString(); }
    auto take() {
        return [this](const Result<CatalogCache::Tables>& r) { ++calls, last = r; };
    }
};

bool waitFor(const std::function<bool()>& done) {
    return QTest::qWaitFor(done, 5000);
}

// A cache whose readers are the fake's.
class CatalogCacheTest : public ::testing::Test {
protected:
    CatalogCacheTest() { cache.setReaders(fake.readers()); }
    Fake fake;
    CatalogCache cache;
};

assist::ColumnSource source(const QString& database, const QString& schema, const QString& table) {
    return {database, schema, table};
}

} // namespace

TEST_F(CatalogCacheTest, TablesAreReadOnceAndServedAtOnceAfterwards) {
    Answer a, b;
    EXPECT_FALSE(cache.requestTables(QStringLiteral("cs1"), a.take()));
    EXPECT_FALSE(cache.requestTables(QStringLiteral("cs1"), b.take())); // joins
    EXPECT_EQ(cache.cachedTables(QStringLiteral("cs1")), nullptr);
    ASSERT_TRUE(waitFor([&] { return a.calls == 1 && b.calls == 1; }));
    EXPECT_EQ(*fake.tableReads, 1);
    EXPECT_EQ(a.last->value().tables.at(0).name, QStringLiteral("cs1.t"));
    EXPECT_EQ(a.secondName(), QStringLiteral("read1"));
    ASSERT_NE(cache.cachedTables(QStringLiteral("cs1")), nullptr);

    int sync = 0;
    EXPECT_TRUE(cache.requestTables(QStringLiteral("cs1"), [&](const auto& r) { sync += r.ok(); }));
    EXPECT_EQ(sync, 1);
    EXPECT_EQ(*fake.tableReads, 1);
    // another connection has lists of its own
    EXPECT_FALSE(cache.requestTables(QStringLiteral("cs2"), [&](const auto&) { ++sync; }));
    ASSERT_TRUE(waitFor([&] { return sync == 2; }));
    EXPECT_EQ(*fake.tableReads, 2);

    cache.refresh();
    EXPECT_EQ(cache.cachedTables(QStringLiteral("cs1")), nullptr);
    Answer c;
    EXPECT_FALSE(cache.requestTables(QStringLiteral("cs1"), c.take()));
    ASSERT_TRUE(waitFor([&] { return c.calls == 1; }));
    EXPECT_EQ(c.secondName(), QStringLiteral("read3"));
}

TEST_F(CatalogCacheTest, FailuresAreReportedButReadAgainNextTime) {
    *fake.failing = true;
    Answer a;
    cache.requestTables(QStringLiteral("cs"), a.take());
    ASSERT_TRUE(waitFor([&] { return a.calls == 1; }));
    ASSERT_FALSE(a.last->ok());
    EXPECT_TRUE(a.last->error().startsWith(QStringLiteral("Error: ")));
    *fake.failing = false;
    EXPECT_FALSE(cache.requestTables(QStringLiteral("cs"), a.take()));
    ASSERT_TRUE(waitFor([&] { return a.calls == 2; }));
    EXPECT_TRUE(a.last->ok());
    EXPECT_EQ(*fake.tableReads, 2);
}

TEST_F(CatalogCacheTest, ARefreshDuringAReadDropsTheOlderAnswer) {
    Answer a;
    cache.requestTables(QStringLiteral("cs"), a.take());
    cache.refresh(); // before the first answer is taken
    ASSERT_TRUE(waitFor([&] { return a.calls == 1; }));
    QTest::qWait(50);
    EXPECT_EQ(a.calls, 1); // answered once, by the second read
    EXPECT_EQ(*fake.tableReads, 2);
    EXPECT_EQ(cache.readsStarted(), 2);
}

TEST_F(CatalogCacheTest, ColumnsAreKeptPerDatabaseSchemaAndTable) {
    QStringList got;
    auto keep = [&](const Result<QStringList>& r) { got << r.valueOr({}); };
    cache.requestColumns(QStringLiteral("cs"), source({}, {}, QStringLiteral("Orders")), keep);
    cache.requestColumns(QStringLiteral("cs"), source(QStringLiteral("db2"), {}, QStringLiteral("Orders")),
                         keep);
    cache.requestColumns(QStringLiteral("cs"), source({}, QStringLiteral("sales"), QStringLiteral("Orders")),
                         keep);
    cache.requestColumns(QStringLiteral("cs"), source({}, {}, QStringLiteral("orders")), keep);
    ASSERT_TRUE(waitFor([&] { return got.size() == 4; }));
    EXPECT_TRUE(got.contains(QStringLiteral("db2..Orders.id")));
    EXPECT_TRUE(got.contains(QStringLiteral(".sales.Orders.id")));
    EXPECT_TRUE(got.contains(QStringLiteral("..orders.id")));
    EXPECT_TRUE(cache.requestColumns(QStringLiteral("cs"),
                                     source({}, QStringLiteral("sales"), QStringLiteral("Orders")), keep));
    EXPECT_EQ(got.last(), QStringLiteral(".sales.Orders.id"));
    EXPECT_EQ(*fake.columnReads, 4);
    // the candidate builder's view of the same lists
    const assist::CatalogView& view = cache.viewOf(QStringLiteral("cs"));
    ASSERT_NE(view.columns(source({}, QStringLiteral("sales"), QStringLiteral("Orders"))), nullptr);
    EXPECT_EQ(view.columns(source({}, QStringLiteral("public"), QStringLiteral("Orders"))), nullptr);
    EXPECT_EQ(view.tables(), nullptr);
}

TEST(CatalogCache, ForgettingAConnectionLeavesTheOthers) {
    Fake fake;
    CatalogCache first, second;
    first.setReaders(fake.readers());
    second.setReaders(fake.readers());
    int answers = 0;
    for (CatalogCache* cache : {&first, &second})
        for (const char* cs : {"a", "b"}) {
            cache->requestTables(QLatin1String(cs), [&](const auto&) { ++answers; });
            cache->requestTablesIn(QLatin1String(cs), QStringLiteral("s"), [&](const auto&) { ++answers; });
            cache->requestColumns(QLatin1String(cs), source({}, {}, QStringLiteral("t")),
                                  [&](const auto&) { ++answers; });
        }
    ASSERT_TRUE(waitFor([&] { return answers == 12; }));
    // a run that changed the schema on "a", in whichever document
    CatalogCache::forgetEverywhere(QStringLiteral("a"));
    for (CatalogCache* cache : {&first, &second}) {
        EXPECT_EQ(cache->cachedTables(QStringLiteral("a")), nullptr);
        EXPECT_EQ(cache->viewOf(QStringLiteral("a")).tablesIn(QStringLiteral("s")), nullptr);
        EXPECT_EQ(cache->viewOf(QStringLiteral("a")).columns(source({}, {}, QStringLiteral("t"))), nullptr);
        EXPECT_NE(cache->cachedTables(QStringLiteral("b")), nullptr);
        EXPECT_NE(cache->viewOf(QStringLiteral("b")).columns(source({}, {}, QStringLiteral("t"))), nullptr);
    }
}

TEST_F(CatalogCacheTest, AStaleListIsServedAndReadAgainBehindIt) {
    Answer a;
    cache.requestTables(QStringLiteral("cs"), a.take());
    ASSERT_TRUE(waitFor([&] { return a.calls == 1; }));
    QSignalSpy updated(&cache, &CatalogCache::updated);
    // fresh: served without a read
    EXPECT_TRUE(cache.requestTables(QStringLiteral("cs"), a.take()));
    EXPECT_EQ(*fake.tableReads, 1);
    cache.setMaxAge(0);
    QTest::qWait(5);
    // stale: the old list at once, the new one read behind it
    EXPECT_TRUE(cache.requestTables(QStringLiteral("cs"), a.take()));
    EXPECT_EQ(a.secondName(), QStringLiteral("read1"));
    ASSERT_TRUE(updated.wait(5000));
    EXPECT_EQ(updated.at(0).at(0).toString(), QStringLiteral("cs"));
    EXPECT_EQ(*fake.tableReads, 2);
    EXPECT_EQ(cache.cachedTables(QStringLiteral("cs"))->tables.at(1).name, QStringLiteral("read2"));
    // a stale list whose new read fails is kept
    *fake.failing = true;
    QTest::qWait(5);
    EXPECT_TRUE(cache.requestTables(QStringLiteral("cs"), [](const auto&) {}));
    ASSERT_TRUE(waitFor([&] { return *fake.tableReads == 3; }));
    QTest::qWait(50);
    ASSERT_NE(cache.cachedTables(QStringLiteral("cs")), nullptr);
    EXPECT_EQ(cache.cachedTables(QStringLiteral("cs"))->tables.at(1).name, QStringLiteral("read2"));
}
