// The completion popup's catalogue cache: one read per connection until a
// refresh, failures not kept, answers of overtaken reads dropped.
#include "assist/CatalogCache.h"

#include <QTest>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct Fake {
    std::shared_ptr<std::atomic<int>> tableReads = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<std::atomic<int>> columnReads = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<std::atomic<bool>> failing = std::make_shared<std::atomic<bool>>(false);

    CatalogCache::Readers readers() const {
        CatalogCache::Readers r;
        r.tables = [n = tableReads, failing = failing](const QString& cs) -> Result<QStringList> {
            const int read = ++*n;
            if (*failing) return fail(QStringLiteral("Error: cannot connect"));
            return QStringList{cs + QStringLiteral(".t"), QStringLiteral("read%1").arg(read)};
        };
        r.systemTables = [](const QString&) -> Result<QStringList> {
            return QStringList{QStringLiteral("sys")};
        };
        r.columns = [n = columnReads](const QString&, const QString& table,
                                      const QString& database) -> Result<QStringList> {
            ++*n;
            return QStringList{database + QLatin1Char('.') + table + QStringLiteral(".id")};
        };
        return r;
    }
};

struct Answer {
    int calls = 0;
    std::optional<Result<CatalogCache::Tables>> last;
};

} // namespace

TEST(CatalogCache, TablesAreReadOnceAndServedAtOnceAfterwards) {
    Fake fake;
    CatalogCache cache;
    cache.setReaders(fake.readers());
    Answer a, b;
    EXPECT_FALSE(cache.requestTables(QStringLiteral("cs1"), [&](const auto& r) { ++a.calls, a.last = r; }));
    EXPECT_FALSE(
        cache.requestTables(QStringLiteral("cs1"), [&](const auto& r) { ++b.calls, b.last = r; })); // joins
    EXPECT_EQ(cache.cachedTables(QStringLiteral("cs1")), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return a.calls == 1 && b.calls == 1; }, 5000));
    EXPECT_EQ(*fake.tableReads, 1);
    ASSERT_TRUE(a.last->ok());
    EXPECT_EQ(a.last->value().user, (QStringList{QStringLiteral("cs1.t"), QStringLiteral("read1")}));
    EXPECT_EQ(a.last->value().system, QStringList{QStringLiteral("sys")});
    ASSERT_NE(cache.cachedTables(QStringLiteral("cs1")), nullptr);

    int sync = 0;
    EXPECT_TRUE(cache.requestTables(QStringLiteral("cs1"), [&](const auto& r) { sync += r.ok(); }));
    EXPECT_EQ(sync, 1);
    EXPECT_EQ(*fake.tableReads, 1);
    // another connection has lists of its own
    EXPECT_FALSE(cache.requestTables(QStringLiteral("cs2"), [&](const auto&) { ++sync; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sync == 2; }, 5000));
    EXPECT_EQ(*fake.tableReads, 2);

    cache.refresh();
    EXPECT_EQ(cache.cachedTables(QStringLiteral("cs1")), nullptr);
    Answer c;
    EXPECT_FALSE(cache.requestTables(QStringLiteral("cs1"), [&](const auto& r) { ++c.calls, c.last = r; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return c.calls == 1; }, 5000));
    EXPECT_EQ(c.last->value().user.at(1), QStringLiteral("read3"));
}

TEST(CatalogCache, FailuresAreReportedButReadAgainNextTime) {
    Fake fake;
    *fake.failing = true;
    CatalogCache cache;
    cache.setReaders(fake.readers());
    Answer a;
    cache.requestTables(QStringLiteral("cs"), [&](const auto& r) { ++a.calls, a.last = r; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return a.calls == 1; }, 5000));
    ASSERT_FALSE(a.last->ok());
    EXPECT_TRUE(a.last->error().startsWith(QStringLiteral("Error: ")));
    *fake.failing = false;
    EXPECT_FALSE(cache.requestTables(QStringLiteral("cs"), [&](const auto& r) { ++a.calls, a.last = r; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return a.calls == 2; }, 5000));
    EXPECT_TRUE(a.last->ok());
    EXPECT_EQ(*fake.tableReads, 2);
}

TEST(CatalogCache, ARefreshDuringAReadDropsTheOlderAnswer) {
    Fake fake;
    CatalogCache cache;
    cache.setReaders(fake.readers());
    Answer a;
    cache.requestTables(QStringLiteral("cs"), [&](const auto& r) { ++a.calls, a.last = r; });
    cache.refresh(); // before the first answer is taken
    ASSERT_TRUE(QTest::qWaitFor([&] { return a.calls == 1; }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(a.calls, 1); // answered once, by the second read
    EXPECT_EQ(*fake.tableReads, 2);
    EXPECT_EQ(cache.readsStarted(), 2);
}

TEST(CatalogCache, ColumnsAreKeptPerDatabaseAndTable) {
    Fake fake;
    CatalogCache cache;
    cache.setReaders(fake.readers());
    QStringList got;
    auto keep = [&](const Result<QStringList>& r) { got << r.valueOr({}); };
    cache.requestColumns(QStringLiteral("cs"), QString(), QStringLiteral("Orders"), keep);
    cache.requestColumns(QStringLiteral("cs"), QStringLiteral("db2"), QStringLiteral("Orders"), keep);
    cache.requestColumns(QStringLiteral("cs"), QString(), QStringLiteral("orders"), keep);
    ASSERT_TRUE(QTest::qWaitFor([&] { return got.size() == 3; }, 5000));
    EXPECT_TRUE(got.contains(QStringLiteral("db2.Orders.id")));
    EXPECT_TRUE(got.contains(QStringLiteral(".orders.id")));
    EXPECT_TRUE(cache.requestColumns(QStringLiteral("cs"), QString(), QStringLiteral("Orders"), keep));
    EXPECT_EQ(got.last(), QStringLiteral(".Orders.id"));
    EXPECT_EQ(*fake.columnReads, 3);
}
