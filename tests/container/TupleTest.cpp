#include "nevrik/container/Tuple.h"

#include "nevrik/container/Map.h"

#include <gtest/gtest.h>

namespace nevrik::container {
namespace {

TEST(TupleTest, OrdersElementByElementAndKeysAMap) {
    int buffers[3] = {};
    Tuple<const int*, 16> a;
    for (const int* slot : a) {
        EXPECT_EQ(slot, nullptr);
    }
    EXPECT_THROW(a[16], object::Exception);
    EXPECT_THROW(a[-1], object::Exception);
    Tuple<const int*, 16> b = a;
    a[15] = &buffers[2];
    b[1] = &buffers[1];  // An earlier slot decides.
    EXPECT_TRUE(a < b);
    EXPECT_FALSE(b < a);
    Map<Tuple<const int*, 16>, int> map;
    map.insert(a, 1);
    map.insert(b, 2);
    map.insert(a, 3);
    EXPECT_EQ(map.getCount(), 2);
    EXPECT_EQ(*map.find(a), 3);
}

}  // namespace
}  // namespace nevrik::container
