// The living-positions set against a plain array of flags, on sizes around
// its word and summary-level edges, killed in random order.
#include "script/LivePositions.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <vector>

TEST(LivePositions, NextPreviousAndCountAgreeWithAPlainArray) {
    QRandomGenerator rng(7);
    for (const int64_t n : {0, 1, 63, 64, 65, 4095, 4096, 4097, 262144 + 5}) {
        SCOPED_TRACE(n);
        LivePositions live(n);
        std::vector<bool> model(static_cast<size_t>(n), true);
        std::vector<int64_t> order(static_cast<size_t>(n));
        for (int64_t i = 0; i < n; ++i) order[size_t(i)] = i;
        for (int64_t i = n - 1; i > 0; --i) std::swap(order[size_t(i)], order[size_t(rng.bounded(int(i + 1)))]);
        const auto expectNext = [&](int64_t i) {
            int64_t j = std::max<int64_t>(i, 0);
            while (j < n && !model[size_t(j)]) ++j;
            return j;
        };
        const auto expectPrevious = [&](int64_t i) {
            int64_t j = std::min(i, n - 1);
            while (j >= 0 && !model[size_t(j)]) --j;
            return j;
        };
        size_t killed = 0;
        // check after kills in growing steps, until every position is dead
        for (size_t step = 1; killed <= order.size(); step *= 3) {
            for (int probe = 0; probe < 200; ++probe) {
                const int64_t i = int64_t(rng.bounded(int(n + 2))) - 1;
                ASSERT_EQ(live.next(i), expectNext(i)) << i;
                ASSERT_EQ(live.previous(i), expectPrevious(i)) << i;
                ASSERT_EQ(live.alive(i), i >= 0 && i < n && model[size_t(i)]) << i;
                if (model.empty() || i < 0) continue;
                const int64_t dead = live.nextKilled(i);
                int64_t j = i;
                while (j < n && model[size_t(j)]) ++j;
                ASSERT_EQ(dead, j) << i;
            }
            int64_t alive = 0;
            for (bool b : model) alive += b;
            ASSERT_EQ(live.countBelow(n), alive);
            if (killed == order.size()) break;
            for (size_t k = 0; k < step && killed < order.size(); ++k, ++killed) {
                live.kill(order[killed]);
                model[size_t(order[killed])] = false;
            }
        }
        EXPECT_EQ(live.next(0), n);
        EXPECT_EQ(live.previous(n), -1);
    }
}
