#include "nevrik/application/Message.h"

#include "RecordingHandler.h"

#include <gtest/gtest.h>

#include <string>

namespace nevrik::application {
namespace {

TEST(MessageTest, PooledMessageHoldsItsTargetAndGivesEverythingBack) {
    const std::int64_t live = Message::getLiveCount();
    const std::int64_t liveParameters = Message::Parameter::getLiveCount();
    auto handler = object::make<testing::RecordingHandler>();
    object::Pointer<Message> message = Message::make(Message::QUIT, handler.get());
    EXPECT_EQ(message->getUseCount(), 1u);
    EXPECT_EQ(handler->getReferenceCount(), 2);
    EXPECT_EQ(Message::getLiveCount(), live + 1);
    message->addParameter("view", nullptr);
    {
        // A copy is one more holder; the pool gets the message back from the last.
        const object::Pointer<Message> copy = message;
        EXPECT_EQ(message->getUseCount(), 2u);
        message.reset();
        EXPECT_EQ(Message::getLiveCount(), live + 1);
        EXPECT_EQ(copy->getUseCount(), 1u);
    }
    EXPECT_EQ(handler->getReferenceCount(), 1);
    EXPECT_EQ(Message::getLiveCount(), live);
    EXPECT_EQ(Message::Parameter::getLiveCount(), liveParameters);
    {
        Message onStack(1, nullptr);
        onStack.addParameter("a", nullptr);
    }
    EXPECT_EQ(Message::Parameter::getLiveCount(), liveParameters);
}

TEST(MessageTest, ParametersAreFoundByTheirFirst48Characters) {
    Message message(1, nullptr);
    const std::string base(48, 'p');
    object::Object first;
    object::Object second;
    ASSERT_TRUE(message.addParameter((base + "-first").c_str(), &first));
    ASSERT_TRUE(message.addParameter("view", &second));
    EXPECT_FALSE(message.addParameter(nullptr, &second));
    EXPECT_EQ(message.getParameterCount(), 2);
    // Differs only after the 48th character: found.
    const Message::Parameter* found = message.getParameter((base + "-other").c_str());
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->getValue(), &first);
    EXPECT_EQ(std::string(found->getName()), base);
    EXPECT_EQ(message.getParameter((std::string(47, 'p') + "q").c_str()), nullptr);
    // The comparison stops at the terminating zero, on either side.
    EXPECT_EQ(message.getParameter("view")->getValue(), &second);
    EXPECT_EQ(message.getParameter("vie"), nullptr);
    EXPECT_EQ(message.getParameter("viewer"), nullptr);
    EXPECT_EQ(message.getParameter(nullptr), nullptr);
}

}  // namespace
}  // namespace nevrik::application
