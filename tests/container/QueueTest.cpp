#include "nevrik/container/Queue.h"

#include "container/Tracked.h"

#include <gtest/gtest.h>

namespace nevrik::container {
namespace {

class Job : public test::CountedObject, public Queueable<Job> {
public:
    using CountedObject::CountedObject;
};

struct Item : Queueable<Item> {};

TEST(QueueTest, PopsInPushOrderAndRemovesFromAnywhere) {
    Queue<Item> queue;
    Item items[5];
    for (Item& item : items) {
        EXPECT_TRUE(queue.push(&item));
    }
    EXPECT_EQ(queue.pop(), &items[0]);
    EXPECT_EQ(items[0].getQueue(), nullptr);
    EXPECT_TRUE(queue.remove(&items[4]));  // Tail.
    EXPECT_TRUE(queue.remove(&items[2]));  // Middle.
    EXPECT_TRUE(queue.remove(&items[1]));  // Head.
    EXPECT_FALSE(queue.remove(&items[1]));
    queue.push(&items[0]);
    EXPECT_EQ(queue.getCount(), 2);
    EXPECT_EQ(queue.pop(), &items[3]);
    EXPECT_EQ(queue.pop(), &items[0]);
    EXPECT_EQ(queue.pop(), nullptr);
    EXPECT_TRUE(queue.push(&items[1]));  // Empty again: both ends restart.
    EXPECT_EQ(queue.getFirst(), &items[1]);
    EXPECT_STREQ(queue.className().c_str(), "Object:Queue");
}

TEST(QueueTest, QueuedItemsAreRefusedElsewhereAndUnlinkWhenTheyDie) {
    Queue<Item> queue;
    Queue<Item> other;
    Item first;
    ASSERT_TRUE(queue.push(&first));
    EXPECT_FALSE(queue.push(&first));
    EXPECT_FALSE(other.push(&first));
    EXPECT_FALSE(other.remove(&first));
    EXPECT_FALSE(queue.push(nullptr));
    {
        Item dying;
        queue.push(&dying);
    }
    Item last;
    queue.push(&last);
    EXPECT_EQ(queue.pop(), &first);
    EXPECT_EQ(queue.pop(), &last);
    EXPECT_EQ(other.getCount(), 0);
}

TEST(QueueTest, ObjectsAreHeldWhileQueuedAndPopHandsTheReferenceOver) {
    test::CountedObject::sLive = 0;
    {
        Queue<Job> queue;
        Job* jobs[3] = {new Job(1), new Job(2), new Job(3)};
        for (Job* job : jobs) {
            queue.push(job);
            job->release();
        }
        Job* job = queue.pop();
        ASSERT_EQ(job, jobs[0]);
        EXPECT_EQ(job->getReferenceCount(), 1);
        job->release();
        EXPECT_TRUE(queue.remove(jobs[1]));
        EXPECT_EQ(test::CountedObject::sLive, 1);
    }  // The queue's destruction releases the last one.
    EXPECT_EQ(test::CountedObject::sLive, 0);
}

}  // namespace
}  // namespace nevrik::container
