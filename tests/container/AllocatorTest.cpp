#include "nevrik/container/Allocator.h"

#include "container/Tracked.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace nevrik::container {
namespace {

using test::Tracked;

TEST(AllocatorTest, SixtyFifthSlotStartsSecondBlock) {
    Allocator<Tracked, 64> allocator;
    EXPECT_EQ(allocator.getBlockCount(), 0);
    std::vector<void*> slots;
    slots.reserve(65);
    for (int i = 0; i < 64; ++i) {
        slots.push_back(allocator.allocate());
    }
    EXPECT_EQ(allocator.getBlockCount(), 1);
    EXPECT_EQ(allocator.getTotalSlots(), 64);
    slots.push_back(allocator.allocate());
    EXPECT_EQ(allocator.getBlockCount(), 2);
    EXPECT_EQ(allocator.getTotalSlots(), 128);
    EXPECT_EQ(std::set<void*>(slots.begin(), slots.end()).size(), slots.size());
}

TEST(AllocatorTest, GivenBackSlotsAreReusedAndNeverFreeBlocks) {
    Allocator<Tracked, 8> allocator;
    std::vector<void*> slots;
    slots.reserve(9);
    for (int i = 0; i < 9; ++i) {
        slots.push_back(allocator.allocate());
    }
    for (void* slot : slots) {
        allocator.deallocate(slot);
    }
    EXPECT_EQ(allocator.getBlockCount(), 2);
    // The last one given back is the first handed out again.
    EXPECT_EQ(allocator.allocate(), slots.back());
    for (int i = 0; i < 8; ++i) {
        allocator.allocate();
    }
    EXPECT_EQ(allocator.getBlockCount(), 2);
}

TEST(AllocatorTest, FreshBlockHandsOutSlotsInAddressOrder) {
    Allocator<double, 4> allocator;
    auto* first = static_cast<double*>(allocator.allocate());
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(static_cast<double*>(allocator.allocate()), first + i);
    }
}

TEST(AllocatorTest, CreateAndDestroyRunConstructorAndDestructorOnce) {
    Tracked::sLive = 0;
    Allocator<Tracked, 2> allocator;
    Tracked* a = allocator.create(7);
    Tracked* b = allocator.create(8);
    EXPECT_EQ(a->value(), 7);
    EXPECT_EQ(Tracked::sLive, 2);
    allocator.destroy(a);
    allocator.destroy(b);
    EXPECT_EQ(Tracked::sLive, 0);
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

TEST(AllocatorTest, ClassPathNamesAllocator) {
    Allocator<int> allocator;
    EXPECT_STREQ(allocator.className().c_str(), "Object:Allocator");
}

}  // namespace
}  // namespace nevrik::container
