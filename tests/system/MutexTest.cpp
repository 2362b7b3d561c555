#include "nevrik/system/Mutex.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace nevrik::system {
namespace {

TEST(MutexTest, HolderMayLockAgainAndNeedsAsManyUnlocks) {
    Mutex mutex;
    EXPECT_TRUE(mutex.lock());
    EXPECT_TRUE(mutex.lock());
    EXPECT_TRUE(mutex.unlock());
    // Still held once: another thread's guarded write waits for the last unlock.
    int value = 0;
    std::thread other([&] {
        Mutex::Guard guard(mutex);
        value = 2;
    });
    value = 1;
    EXPECT_TRUE(mutex.unlock());
    other.join();
    EXPECT_EQ(value, 2);
}

TEST(MutexTest, GuardsKeepAPlainCounterExact) {
    Mutex mutex;
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) {
                Mutex::Guard guard(mutex);
                Mutex::Guard again(mutex);
                ++counter;
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counter, 40000);
    EXPECT_EQ(mutex.className(), "Object:Mutex");
}

}  // namespace
}  // namespace nevrik::system
