#include "nevrik/application/Messenger.h"

#include "RecordingHandler.h"
#include "nevrik/application/Looper.h"
#include "nevrik/object/Pointer.h"

#include <gtest/gtest.h>

namespace nevrik::application {
namespace {

using object::Pointer;
using testing::RecordingHandler;

TEST(MessengerTest, HandlerChainRefusesTheMessengerItselfAndDoubleAttachment) {
    Pointer<Looper> looper = object::make<Looper>();
    Pointer<Looper> other = object::make<Looper>();
    // Its own first member, without that membership keeping it alive.
    EXPECT_EQ(looper->getReferenceCount(), 1);
    EXPECT_TRUE(looper->hasHandler(looper.get()));
    EXPECT_FALSE(looper->addHandler(looper.get()));
    EXPECT_FALSE(looper->removeHandler(looper.get()));
    EXPECT_FALSE(looper->addHandler(nullptr));
    EXPECT_EQ(looper->getHandlerCount(), 1);

    Pointer<RecordingHandler> handler = object::make<RecordingHandler>();
    ASSERT_TRUE(looper->addHandler(handler.get()));
    EXPECT_EQ(handler->getReferenceCount(), 2);
    EXPECT_FALSE(looper->addHandler(handler.get()));
    EXPECT_FALSE(other->addHandler(handler.get()));
    EXPECT_EQ(handler->getMessenger(), looper.get());
    EXPECT_EQ(looper->className(), "Object:Handler:Messenger:Looper");
}

TEST(MessengerTest, RemovingThePreferredHandlerMakesTheMessengerPreferred) {
    Pointer<Looper> looper = object::make<Looper>();
    Pointer<RecordingHandler> handler = object::make<RecordingHandler>();
    EXPECT_EQ(looper->getPreferredHandler(), looper.get());
    EXPECT_FALSE(looper->setPreferredHandler(handler.get()));
    looper->addHandler(handler.get());
    ASSERT_TRUE(looper->setPreferredHandler(handler.get()));
    ASSERT_TRUE(looper->removeHandler(handler.get()));
    EXPECT_FALSE(looper->removeHandler(handler.get()));
    EXPECT_EQ(looper->getPreferredHandler(), looper.get());
    EXPECT_EQ(handler->getMessenger(), nullptr);
    EXPECT_EQ(handler->getReferenceCount(), 1);
}

TEST(MessengerTest, HandlersThatOutliveTheirMessengerAreLeftDetached) {
    Pointer<RecordingHandler> survivor = object::make<RecordingHandler>();
    auto* looper = new Looper();
    looper->addHandler(survivor.get());
    {
        RecordingHandler byValue;  // dies attached: detaches itself
        looper->addHandler(&byValue);
    }
    EXPECT_EQ(looper->getHandlerCount(), 2);
    looper->release();
    EXPECT_EQ(survivor->getMessenger(), nullptr);
    EXPECT_EQ(survivor->getReferenceCount(), 1);
}

TEST(MessengerTest, PostAndSendToAStoppedMessengerFailAndTakeNothingFromThePool) {
    Pointer<Looper> looper = object::make<Looper>();
    Pointer<RecordingHandler> handler = object::make<RecordingHandler>();
    Pointer<RecordingHandler> detached = object::make<RecordingHandler>();
    looper->addHandler(handler.get());
    const std::int64_t live = Message::getLiveCount();
    const std::int64_t pool = Message::getPoolSize();
    EXPECT_FALSE(post(handler.get(), 1));
    EXPECT_FALSE(send(handler.get(), 1));
    EXPECT_FALSE(post(detached.get(), 1));
    EXPECT_FALSE(post(static_cast<Handler*>(nullptr), 1));
    EXPECT_EQ(Message::getLiveCount(), live);
    EXPECT_EQ(Message::getPoolSize(), pool);
    // A prepared message that cannot go goes back to the pool.
    EXPECT_FALSE(post(Message::make(1, handler.get())));
    EXPECT_FALSE(send(Message::make(1, handler.get())));
    EXPECT_EQ(Message::getLiveCount(), live);
    EXPECT_EQ(handler->getReferenceCount(), 2);
}

}  // namespace
}  // namespace nevrik::application
