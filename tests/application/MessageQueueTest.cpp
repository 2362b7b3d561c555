#include "nevrik/application/MessageQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace nevrik::application {
namespace {

TEST(MessageQueueTest, UrgentGoFirstEachQueueingCountsAHolderAndADyingQueueDropsIts) {
    const std::int64_t live = Message::getLiveCount();
    object::Pointer<Message> message = Message::make(1, nullptr);
    {
        MessageQueue queue;
        // Urgent messages go first, in their own order.
        for (std::uint32_t what : {2u, 10u, 11u}) {
            const object::Pointer<Message> made = Message::make(what, nullptr);
            (what == 2u ? queue.pushBack(made.get()) : queue.pushFront(made.get()));
        }
        std::vector<std::uint32_t> codes;
        while (Message* next = queue.pop()) {
            codes.push_back(next->getWhat());
            next->release();
        }
        EXPECT_EQ(codes, (std::vector<std::uint32_t>{10, 11, 2}));

        ASSERT_TRUE(queue.pushBack(message.get()));
        EXPECT_EQ(message->getUseCount(), 2u);
        EXPECT_FALSE(queue.pushFront(message.get()));
        EXPECT_FALSE(queue.pushBack(nullptr));
        EXPECT_EQ(queue.getCount(), 1);
        queue.pushFront(Message::make(2, nullptr).get());  // only the queue holds it now
    }
    EXPECT_EQ(message->getQueue(), nullptr);
    EXPECT_EQ(message->getUseCount(), 1u);
    message.reset();
    EXPECT_EQ(Message::getLiveCount(), live);
}

}  // namespace
}  // namespace nevrik::application
