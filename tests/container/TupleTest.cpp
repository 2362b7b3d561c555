#include "nevrik/container/Tuple.h"

#include "nevrik/container/Map.h"
#include "nevrik/types/String.h"

#include <gtest/gtest.h>

namespace nevrik::container {
namespace {

TEST(TupleTest, StartsValueInitialisedAndRefusesBadIndices) {
    Tuple<const int*, 16> slots;
    for (const int* slot : slots) {
        EXPECT_EQ(slot, nullptr);
    }
    EXPECT_THROW(slots[16], object::Exception);
    EXPECT_THROW(slots[-1], object::Exception);
}

TEST(TupleTest, OrdersLexicographicallyAndKeysAMap) {
    int buffers[3] = {};
    Tuple<const int*, 3> a;
    Tuple<const int*, 3> b;
    a[2] = &buffers[0];
    b[2] = &buffers[0];
    EXPECT_EQ(a, b);
    b[1] = &buffers[1];  // Differs before the last slot: it decides.
    a[2] = &buffers[2];
    EXPECT_TRUE(a < b);
    EXPECT_FALSE(b < a);
    EXPECT_NE(a, b);

    Map<Tuple<const int*, 3>, int> map;
    map.insert(a, 1);
    map.insert(b, 2);
    map.insert(a, 3);
    EXPECT_EQ(map.getCount(), 2);
    EXPECT_EQ(*map.find(a), 3);
}

TEST(TupleTest, StringElementsCompareAsKeys) {
    Tuple<types::String, 2> shorter;
    Tuple<types::String, 2> longer;
    shorter[0] = "b";
    longer[0] = "ab";
    EXPECT_TRUE(longer < shorter);
    EXPECT_EQ(shorter.compare(shorter), 0);
}

}  // namespace
}  // namespace nevrik::container
