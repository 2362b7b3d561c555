#include "nevrik/application/Message.h"

#include "RecordingHandler.h"

#include <gtest/gtest.h>

#include <string>

namespace nevrik::application {
namespace {

using testing::RecordingHandler;

TEST(MessageTest, MadeMessagesComeFromThePoolAndGoBack) {
    const std::int64_t live = Message::getLiveCount();
    Message* message = Message::make(Message::QUIT, nullptr);
    EXPECT_EQ(message->getUseCount(), 1u);
    EXPECT_EQ(message->getWhat(), Message::QUIT);
    EXPECT_EQ(Message::getLiveCount(), live + 1);
    EXPECT_EQ(Message::getPoolSize() % 64, 0);
    message->release();
    EXPECT_EQ(Message::getLiveCount(), live);
}

TEST(MessageTest, PooledMessageHoldsItsTargetUntilItGoesBack) {
    auto* handler = new RecordingHandler();
    Message* message = Message::make(1, handler);
    EXPECT_EQ(handler->getReferenceCount(), 2);
    message->release();
    EXPECT_EQ(handler->getReferenceCount(), 1);
    handler->release();
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

    // Differs only after the 48th character: the first match wins.
    const Message::Parameter* found = message.getParameter((base + "-other").c_str());
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->getValue(), &first);
    EXPECT_EQ(std::string(found->getName()), base);
    // Differs at the 48th: no match.
    EXPECT_EQ(message.getParameter((std::string(47, 'p') + "q").c_str()), nullptr);
    // Comparison stops at the terminating zero, on either side.
    EXPECT_EQ(message.getParameter("view")->getValue(), &second);
    EXPECT_EQ(message.getParameter("vie"), nullptr);
    EXPECT_EQ(message.getParameter("viewer"), nullptr);
    EXPECT_EQ(message.getParameter(nullptr), nullptr);
}

TEST(MessageTest, ParametersGoBackWithTheMessageAndWithAStackMessage) {
    const std::int64_t live = Message::Parameter::getLiveCount();
    {
        Message onStack(1, nullptr);
        onStack.addParameter("a", nullptr);
        onStack.addParameter("b", nullptr);
        EXPECT_EQ(Message::Parameter::getLiveCount(), live + 2);
    }
    EXPECT_EQ(Message::Parameter::getLiveCount(), live);
    Message* pooled = Message::make(1, nullptr);
    pooled->addParameter("a", nullptr);
    pooled->release();
    EXPECT_EQ(Message::Parameter::getLiveCount(), live);
}

}  // namespace
}  // namespace nevrik::application
