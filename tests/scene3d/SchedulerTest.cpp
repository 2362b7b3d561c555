#include "nevrik/scene3d/Scheduler.h"

#include "nevrik/scene3d/BehaviourScheduler.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace nevrik::scene3d {
namespace {

class Item : public Scheduler<Item>::Link {};

std::vector<const Item*> itemsOf(const Scheduler<Item>& scheduler) {
    std::vector<const Item*> items;
    for (const Item* item = scheduler.getFirst(); item != nullptr; item = scheduler.getNext(item)) {
        items.push_back(item);
    }
    return items;
}

TEST(SchedulerTest, KeepsOrderAndCountThroughAddAndRemove) {
    Scheduler<Item> scheduler;
    Item a, b, c;
    EXPECT_EQ(scheduler.getFirst(), nullptr);
    ASSERT_TRUE(scheduler.add(&a));
    ASSERT_TRUE(scheduler.add(&b));
    ASSERT_TRUE(scheduler.add(&c));
    EXPECT_EQ(itemsOf(scheduler), (std::vector<const Item*>{&a, &b, &c}));
    EXPECT_EQ(scheduler.getCount(), 3);

    ASSERT_TRUE(scheduler.remove(&b));
    EXPECT_FALSE(b.isScheduled());
    EXPECT_EQ(itemsOf(scheduler), (std::vector<const Item*>{&a, &c}));
    EXPECT_EQ(scheduler.getNext(&b), nullptr);
    ASSERT_TRUE(scheduler.remove(&c));
    ASSERT_TRUE(scheduler.remove(&a));
    EXPECT_EQ(scheduler.getCount(), 0);
    EXPECT_EQ(scheduler.getFirst(), nullptr);
}

TEST(SchedulerTest, RefusesNullDoubleAndForeignItems) {
    Scheduler<Item> scheduler;
    Scheduler<Item> other;
    Item item;
    EXPECT_FALSE(scheduler.add(nullptr));
    EXPECT_FALSE(scheduler.remove(nullptr));
    EXPECT_FALSE(scheduler.remove(&item));
    ASSERT_TRUE(other.add(&item));
    EXPECT_FALSE(scheduler.add(&item));
    EXPECT_FALSE(other.add(&item));
    EXPECT_FALSE(scheduler.remove(&item));
    EXPECT_EQ(item.getScheduler(), &other);
    EXPECT_EQ(scheduler.getCount(), 0);
    EXPECT_EQ(other.getCount(), 1);
}

TEST(SchedulerTest, DyingSchedulerClearsEveryMark) {
    Item a, b;
    {
        Scheduler<Item> scheduler;
        scheduler.add(&a);
        scheduler.add(&b);
    }
    EXPECT_FALSE(a.isScheduled());
    EXPECT_EQ(b.getScheduler(), nullptr);
    // Unmarked items may join another scheduler.
    Scheduler<Item> next;
    EXPECT_TRUE(next.add(&a));
}

TEST(SchedulerTest, DyingItemLeavesAndCopiesStartUnscheduled) {
    Scheduler<Item> scheduler;
    Item first, last;
    scheduler.add(&first);
    {
        auto middle = std::make_unique<Item>();
        scheduler.add(middle.get());
        scheduler.add(&last);
        const Item copy(*middle);
        EXPECT_FALSE(copy.isScheduled());
        Item assigned;
        assigned = *middle;
        EXPECT_FALSE(assigned.isScheduled());
        EXPECT_EQ(scheduler.getCount(), 3);
    }
    EXPECT_EQ(itemsOf(scheduler), (std::vector<const Item*>{&first, &last}));
    EXPECT_EQ(scheduler.getCount(), 2);
}

TEST(SchedulerTest, BehaviourSchedulerStartsEmptyWithItsPath) {
    const BehaviourScheduler behaviours;
    EXPECT_EQ(behaviours.getScheduler().getCount(), 0);
    EXPECT_STREQ(behaviours.className().c_str(), "Object:BehaviourScheduler");
    EXPECT_STREQ(behaviours.getScheduler().className().c_str(), "Object:Scheduler");
}

}  // namespace
}  // namespace nevrik::scene3d
