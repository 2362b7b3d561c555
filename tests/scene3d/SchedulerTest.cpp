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
    EXPECT_EQ(static_cast<int>(items.size()), scheduler.getCount());
    return items;
}

TEST(SchedulerTest, KeepsOrderAndRefusesWhatIsNotItsOwn) {
    Scheduler<Item> scheduler, other;
    Item a, b, c;
    EXPECT_FALSE(scheduler.add(nullptr));
    ASSERT_TRUE(scheduler.add(&a));
    ASSERT_TRUE(scheduler.add(&b));
    ASSERT_TRUE(scheduler.add(&c));
    EXPECT_FALSE(scheduler.add(&b));
    EXPECT_FALSE(other.add(&b)) << "an item is on one scheduler at a time";
    EXPECT_FALSE(other.remove(&b));
    ASSERT_TRUE(scheduler.remove(&b));
    EXPECT_FALSE(b.isScheduled());
    EXPECT_EQ(scheduler.getNext(&b), nullptr);
    EXPECT_EQ(itemsOf(scheduler), (std::vector<const Item*>{&a, &c}));
    EXPECT_EQ(a.getScheduler(), &scheduler);
}

TEST(SchedulerTest, ItemsAndSchedulersMayDieInEitherOrder) {
    Item first, last;
    {
        Scheduler<Item> scheduler;
        scheduler.add(&first);
        {
            auto middle = std::make_unique<Item>();
            scheduler.add(middle.get());
            scheduler.add(&last);
            Item copy(*middle);
            EXPECT_FALSE(copy.isScheduled()) << "a copy starts unscheduled";
        }
        EXPECT_EQ(itemsOf(scheduler), (std::vector<const Item*>{&first, &last}));
    }
    EXPECT_FALSE(first.isScheduled());
    EXPECT_FALSE(last.isScheduled());
    Scheduler<Item> next;
    EXPECT_TRUE(next.add(&first));

    const BehaviourScheduler behaviours;
    EXPECT_EQ(behaviours.getScheduler().getCount(), 0);
    EXPECT_STREQ(behaviours.className().c_str(), "Object:BehaviourScheduler");
    EXPECT_STREQ(behaviours.getScheduler().className().c_str(), "Object:Scheduler");
}

}  // namespace
}  // namespace nevrik::scene3d
