#include "nevrik/container/Queue.h"

#include "container/Tracked.h"

#include <gtest/gtest.h>

namespace nevrik::container {
namespace {

class Job : public test::CountedObject, public Queueable<Job> {
public:
    using CountedObject::CountedObject;
};

struct Item : Queueable<Item> {
    explicit Item(int v) : value(v) {}
    int value;
};

TEST(QueueTest, PopsInPushOrder) {
    Queue<Item> queue;
    Item items[] = {Item(0), Item(1), Item(2)};
    for (Item& item : items) {
        EXPECT_TRUE(queue.push(&item));
    }
    EXPECT_EQ(queue.getCount(), 3);
    EXPECT_EQ(queue.getFirst(), &items[0]);
    for (int i = 0; i < 3; ++i) {
        Item* item = queue.pop();
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->value, i);
        EXPECT_EQ(item->getQueue(), nullptr);
    }
    EXPECT_EQ(queue.pop(), nullptr);
    EXPECT_TRUE(queue.isEmpty());
    // Empty again: a push must restart both ends.
    EXPECT_TRUE(queue.push(&items[1]));
    EXPECT_EQ(queue.pop(), &items[1]);
}

TEST(QueueTest, QueuedItemsAreRefused) {
    Queue<Item> queue;
    Queue<Item> other;
    Item item(1);
    ASSERT_TRUE(queue.push(&item));
    EXPECT_FALSE(queue.push(&item));
    EXPECT_FALSE(other.push(&item));
    EXPECT_FALSE(other.remove(&item));
    EXPECT_FALSE(queue.push(nullptr));
    EXPECT_EQ(queue.getCount(), 1);
    EXPECT_EQ(other.getCount(), 0);
}

TEST(QueueTest, RemoveFromAnyPositionKeepsOrder) {
    Queue<Item> queue;
    Item items[] = {Item(0), Item(1), Item(2), Item(3)};
    for (Item& item : items) {
        queue.push(&item);
    }
    EXPECT_TRUE(queue.remove(&items[3]));  // Tail.
    EXPECT_TRUE(queue.remove(&items[1]));  // Middle.
    EXPECT_TRUE(queue.remove(&items[0]));  // Head.
    Item late(4);
    queue.push(&late);
    EXPECT_EQ(queue.pop(), &items[2]);
    EXPECT_EQ(queue.pop(), &late);
    EXPECT_EQ(queue.pop(), nullptr);
}

TEST(QueueTest, ItemDyingWhileQueuedUnlinksItself) {
    Queue<Item> queue;
    Item first(1);
    {
        Item dying(2);
        queue.push(&first);
        queue.push(&dying);
    }
    EXPECT_EQ(queue.getCount(), 1);
    Item last(3);
    queue.push(&last);
    EXPECT_EQ(queue.pop(), &first);
    EXPECT_EQ(queue.pop(), &last);
}

TEST(QueueTest, ObjectsAreHeldWhileQueuedAndHandedOverByPop) {
    test::CountedObject::sLive = 0;
    {
        Queue<Job> queue;
        auto* popped = new Job(1);
        queue.push(popped);
        popped->release();
        auto* cleared = new Job(2);
        queue.push(cleared);
        cleared->release();
        auto* left = new Job(3);
        queue.push(left);
        left->release();
        EXPECT_EQ(test::CountedObject::sLive, 3);

        Job* job = queue.pop();
        ASSERT_EQ(job, popped);
        EXPECT_EQ(job->getReferenceCount(), 1);
        job->release();
        EXPECT_EQ(test::CountedObject::sLive, 2);
        EXPECT_TRUE(queue.remove(cleared));
        EXPECT_EQ(test::CountedObject::sLive, 1);
    }  // The queue's destruction releases the last one.
    EXPECT_EQ(test::CountedObject::sLive, 0);
}

TEST(QueueTest, ClassPathNamesQueue) {
    EXPECT_STREQ(Queue<Item>().className().c_str(), "Object:Queue");
}

}  // namespace
}  // namespace nevrik::container
