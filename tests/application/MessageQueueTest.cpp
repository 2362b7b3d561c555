#include "nevrik/application/MessageQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace nevrik::application {
namespace {

std::vector<std::uint32_t> drain(MessageQueue& queue) {
    std::vector<std::uint32_t> codes;
    while (Message* message = queue.pop()) {
        codes.push_back(message->getWhat());
        message->release();
        message->release();
    }
    return codes;
}

TEST(MessageQueueTest, UrgentMessagesGoFirstAndKeepTheirOrder) {
    MessageQueue queue;
    for (std::uint32_t what : {1u, 2u}) {
        ASSERT_TRUE(queue.pushBack(Message::make(what, nullptr)));
    }
    for (std::uint32_t what : {10u, 11u}) {
        ASSERT_TRUE(queue.pushFront(Message::make(what, nullptr)));
    }
    ASSERT_TRUE(queue.pushBack(Message::make(3, nullptr)));
    EXPECT_EQ(queue.getCount(), 5);
    EXPECT_EQ(drain(queue), (std::vector<std::uint32_t>{10, 11, 1, 2, 3}));
    EXPECT_EQ(queue.pop(), nullptr);
}

TEST(MessageQueueTest, PushCountsAHolderAndPopLeavesItAlone) {
    const std::int64_t live = Message::getLiveCount();
    MessageQueue queue;
    Message* message = Message::make(1, nullptr);
    ASSERT_TRUE(queue.pushBack(message));
    EXPECT_EQ(message->getUseCount(), 2u);
    EXPECT_FALSE(queue.pushBack(message));
    EXPECT_FALSE(queue.pushFront(message));
    EXPECT_FALSE(queue.pushBack(nullptr));
    EXPECT_EQ(queue.getCount(), 1);
    ASSERT_EQ(queue.pop(), message);
    EXPECT_EQ(message->getUseCount(), 2u);
    message->release();
    EXPECT_EQ(message->getUseCount(), 1u);
    EXPECT_EQ(Message::getLiveCount(), live + 1);
    message->release();
    EXPECT_EQ(Message::getLiveCount(), live);
}

TEST(MessageQueueTest, DyingQueueReleasesWhatWaits) {
    const std::int64_t live = Message::getLiveCount();
    Message* kept = Message::make(1, nullptr);
    {
        MessageQueue queue;
        queue.pushBack(kept);
        Message* handedOver = Message::make(2, nullptr);
        queue.pushFront(handedOver);
        handedOver->release();  // only the queue holds it now
    }
    EXPECT_EQ(kept->getQueue(), nullptr);
    EXPECT_EQ(kept->getUseCount(), 1u);
    kept->release();
    EXPECT_EQ(Message::getLiveCount(), live);
}

}  // namespace
}  // namespace nevrik::application
