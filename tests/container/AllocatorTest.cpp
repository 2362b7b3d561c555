#include "nevrik/container/Allocator.h"

#include "container/Tracked.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace nevrik::container {
namespace {

TEST(AllocatorTest, SixtyFifthSlotStartsSecondBlockAndGivingBackNeverFrees) {
    Allocator<double, 64> allocator;
    std::vector<void*> slots;
    for (int i = 0; i < 64; ++i) {
        slots.push_back(allocator.allocate());
        EXPECT_EQ(slots.back(), static_cast<double*>(slots.front()) + i);  // Address order.
    }
    EXPECT_EQ(allocator.getBlockCount(), 1);
    slots.push_back(allocator.allocate());
    EXPECT_EQ(allocator.getBlockCount(), 2);
    EXPECT_EQ(allocator.getTotalSlots(), 128);
    EXPECT_EQ(std::set<void*>(slots.begin(), slots.end()).size(), slots.size());
    for (void* slot : slots) {
        allocator.deallocate(slot);
    }
    EXPECT_EQ(allocator.allocate(), slots.back());  // Last given back, first out.
    for (int i = 0; i < 127; ++i) {
        allocator.allocate();
    }
    EXPECT_EQ(allocator.getBlockCount(), 2);
    EXPECT_STREQ(allocator.className().c_str(), "Object:Allocator");
}

TEST(AllocatorTest, CreateAndDestroyRunEachLifetimeOnce) {
    test::Tracked::sLive = 0;
    Allocator<test::Tracked, 2> allocator;
    test::Tracked* a = allocator.create(7);
    test::Tracked* b = allocator.create(8);
    EXPECT_EQ(a->value(), 7);
    EXPECT_EQ(test::Tracked::sLive, 2);
    allocator.destroy(a);
    allocator.destroy(b);
    EXPECT_EQ(test::Tracked::sLive, 0);
}

TEST(AllocatorTest, SlotsRespectOveralignedTypes) {
    struct alignas(64) Wide {
        char bytes[3];
    };
    Allocator<Wide, 3> allocator;
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(allocator.allocate()) % 64, 0u);
    }
}

}  // namespace
}  // namespace nevrik::container
