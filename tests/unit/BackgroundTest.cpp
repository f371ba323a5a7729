// Background work and the end of the program: a thread still inside a
// driver when main() returns must neither keep the process alive nor have
// the libraries cleaned up beneath it.
#include "base/Background.h"

#include <gtest/gtest.h>

#include <QObject>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

using namespace std::chrono_literals;

TEST(Background, DrainWaitsForRunningWorkAndReportsWhatIsLeft) {
    std::atomic<bool> release{false};
    QObject context;
    runInBackground<int>(
        &context,
        [&release] {
            while (!release) std::this_thread::sleep_for(1ms);
            return 1;
        },
        [](int) {});
    EXPECT_FALSE(base::drainBackground(50ms)) << "work still running counts";
    release = true;
    EXPECT_TRUE(base::drainBackground(5s));
}

TEST(BackgroundDeathTest, AProgramEndingUnderStuckWorkEndsWithItsStatus) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            QObject context;
            runInBackground<int>(
                &context,
                [] {
                    std::this_thread::sleep_for(60s); // a connect that never answers
                    return 1;
                },
                [](int) {});
            std::exit(base::finishProcess(7));
        },
        ::testing::ExitedWithCode(7), "");
}
