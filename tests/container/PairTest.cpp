#include "nevrik/container/Pair.h"

#include "nevrik/container/Array.h"
#include "nevrik/container/Set.h"
#include "nevrik/types/String.h"

#include <gtest/gtest.h>

namespace nevrik::container {
namespace {

using types::String;

TEST(PairTest, OrdersByFirstThenSecond) {
    const Pair<String, int> a(String("b"), 1);
    const Pair<String, int> b(String("b"), 2);
    const Pair<String, int> c(String("a"), 9);
    EXPECT_TRUE(a < b);
    EXPECT_TRUE(c < a);
    EXPECT_FALSE(b < c);
    EXPECT_EQ(a, (Pair<String, int>(String("b"), 1)));
    EXPECT_NE(a, b);
}

TEST(PairTest, WorksAsSetKeyAndArrayElement) {
    int meshes[2] = {};
    Set<Pair<int*, float>> set;
    EXPECT_TRUE(set.insert(Pair<int*, float>(&meshes[1], 0.5f)));
    EXPECT_TRUE(set.insert(Pair<int*, float>(&meshes[1], 0.25f)));
    EXPECT_FALSE(set.insert(Pair<int*, float>(&meshes[1], 0.5f)));
    EXPECT_EQ(set.getCount(), 2);

    Array<Pair<int*, float>> entries(2);
    EXPECT_EQ(entries[1].first, nullptr);
    EXPECT_EQ(entries[1].second, 0.0f);
}

}  // namespace
}  // namespace nevrik::container
