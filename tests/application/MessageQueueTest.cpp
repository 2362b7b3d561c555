#include "nevrik/application/MessageQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace nevrik::application {
namespace {

TEST(MessageQueueTest, UrgentGoFirstEachQueueingCountsAHolderAndADyingQueueDropsIts) {
    const std::int64_t live = Message::getLiveCount();
    Message* message = Message::make(1, nullptr);
    {
        MessageQueue queue;
        // Urgent messages go first, in their own order.
        for (std::uint32_t what : {2u, 10u, 11u}) {
            Message* made = Message::make(what, nullptr);
            (what == 2u ? queue.pushBack(made) : queue.pushFront(made));
            made->release();
        }
        std::vector<std::uint32_t> codes;
        while (Message* next = queue.pop()) {
            codes.push_back(next->getWhat());
            next->release();
        }
        EXPECT_EQ(codes, (std::vector<std::uint32_t>{10, 11, 2}));

        ASSERT_TRUE(queue.pushBack(message));
        EXPECT_EQ(message->getUseCount(), 2u);
        EXPECT_FALSE(queue.pushFront(message));
        EXPECT_FALSE(queue.pushBack(nullptr));
        EXPECT_EQ(queue.getCount(), 1);
        Message* handedOver = Message::make(2, nullptr);
        queue.pushFront(handedOver);
        handedOver->release();  // only the queue holds it now
    }
    EXPECT_EQ(message->getQueue(), nullptr);
    EXPECT_EQ(message->getUseCount(), 1u);
    message->release();
    EXPECT_EQ(Message::getLiveCount(), live);
}

}  // namespace
}  // namespace nevrik::application
