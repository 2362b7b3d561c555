#include "nevrik/container/Pair.h"

#include "nevrik/container/Set.h"
#include "nevrik/types/String.h"

#include <gtest/gtest.h>

namespace nevrik::container {
namespace {

TEST(PairTest, OrdersByFirstThenSecondAsSetKey) {
    using Entry = Pair<types::String, float>;
    Set<Entry> set;
    EXPECT_TRUE(set.insert(Entry(types::String("b"), 0.5f)));
    EXPECT_TRUE(set.insert(Entry(types::String("b"), 0.25f)));
    EXPECT_TRUE(set.insert(Entry(types::String("ab"), 9.0f)));
    EXPECT_FALSE(set.insert(Entry(types::String("b"), 0.5f)));
    auto it = set.begin();
    EXPECT_EQ(it->getKey().first, "ab");
    EXPECT_EQ((++it)->getKey().second, 0.25f);
    EXPECT_EQ(Entry().second, 0.0f);
}

}  // namespace
}  // namespace nevrik::container
