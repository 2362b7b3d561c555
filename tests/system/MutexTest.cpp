#include "nevrik/system/Mutex.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace nevrik::system {
namespace {

TEST(MutexTest, NestedGuardsOfOneThreadStillExcludeTheOthers) {
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
}

}  // namespace
}  // namespace nevrik::system
