#include "nevrik/application/Messenger.h"

#include "RecordingHandler.h"
#include "nevrik/application/Looper.h"
#include "nevrik/object/Pointer.h"

#include <gtest/gtest.h>

namespace nevrik::application {
namespace {

using object::Pointer;
using testing::RecordingHandler;

Pointer<RecordingHandler> makeHandler() {
    return Pointer<RecordingHandler>::adopt(new RecordingHandler());
}

TEST(MessengerTest, NewMessengerIsItsOwnFirstMemberWithoutHoldingItself) {
    Pointer<Looper> looper = Pointer<Looper>::adopt(new Looper());
    EXPECT_EQ(looper->getReferenceCount(), 1);
    EXPECT_EQ(looper->getMessenger(), looper.get());
    EXPECT_EQ(looper->getPreferredHandler(), looper.get());
    EXPECT_TRUE(looper->hasHandler(looper.get()));
    EXPECT_EQ(looper->getHandlerCount(), 1);
    EXPECT_EQ(looper->getThread(), nullptr);
    EXPECT_EQ(looper->className(), "Object:Handler:Messenger:Looper");
}

TEST(MessengerTest, AddHandlerRefusesItselfNullAndHandlersAttachedAnywhere) {
    Pointer<Looper> looper = Pointer<Looper>::adopt(new Looper());
    Pointer<Looper> other = Pointer<Looper>::adopt(new Looper());
    EXPECT_FALSE(looper->addHandler(looper.get()));
    EXPECT_FALSE(looper->addHandler(nullptr));
    EXPECT_EQ(looper->getHandlerCount(), 1);
    EXPECT_EQ(looper->getReferenceCount(), 1);

    Pointer<RecordingHandler> handler = makeHandler();
    ASSERT_TRUE(looper->addHandler(handler.get()));
    EXPECT_EQ(handler->getReferenceCount(), 2);
    EXPECT_EQ(handler->getMessenger(), looper.get());
    EXPECT_FALSE(looper->addHandler(handler.get()));
    EXPECT_FALSE(other->addHandler(handler.get()));
    EXPECT_EQ(handler->getMessenger(), looper.get());
    EXPECT_EQ(other->getHandlerCount(), 1);
}

TEST(MessengerTest, RemovingThePreferredHandlerMakesTheMessengerPreferred) {
    Pointer<Looper> looper = Pointer<Looper>::adopt(new Looper());
    Pointer<RecordingHandler> handler = makeHandler();
    Pointer<RecordingHandler> stranger = makeHandler();
    EXPECT_FALSE(looper->setPreferredHandler(stranger.get()));
    looper->addHandler(handler.get());
    ASSERT_TRUE(looper->setPreferredHandler(handler.get()));
    EXPECT_EQ(looper->getPreferredHandler(), handler.get());

    EXPECT_FALSE(looper->removeHandler(looper.get()));
    EXPECT_FALSE(looper->removeHandler(stranger.get()));
    ASSERT_TRUE(looper->removeHandler(handler.get()));
    EXPECT_EQ(looper->getPreferredHandler(), looper.get());
    EXPECT_EQ(handler->getMessenger(), nullptr);
    EXPECT_EQ(handler->getReferenceCount(), 1);
}

TEST(MessengerTest, HandlersOutliveTheirMessengerDetached) {
    Pointer<RecordingHandler> survivor = makeHandler();
    auto* onlyInChain = new RecordingHandler();
    auto* looper = new Looper();
    looper->addHandler(survivor.get());
    looper->addHandler(onlyInChain);
    onlyInChain->release();
    looper->release();
    EXPECT_EQ(survivor->getMessenger(), nullptr);
    EXPECT_EQ(survivor->getReferenceCount(), 1);
    EXPECT_FALSE(post(survivor.get(), 1));
}

TEST(MessengerTest, DyingHandlerDetachesItself) {
    Pointer<Looper> looper = Pointer<Looper>::adopt(new Looper());
    {
        RecordingHandler byValue;
        looper->addHandler(&byValue);
        EXPECT_EQ(looper->getHandlerCount(), 2);
    }
    EXPECT_EQ(looper->getHandlerCount(), 1);
}

TEST(MessengerTest, PostAndSendToAStoppedMessengerFailAndTakeNothingFromThePool) {
    Pointer<Looper> looper = Pointer<Looper>::adopt(new Looper());
    Pointer<RecordingHandler> handler = makeHandler();
    Pointer<RecordingHandler> detached = makeHandler();
    looper->addHandler(handler.get());
    const std::int64_t live = Message::getLiveCount();
    const std::int64_t pool = Message::getPoolSize();
    EXPECT_FALSE(post(handler.get(), 1));
    EXPECT_FALSE(send(handler.get(), 1));
    EXPECT_FALSE(post(detached.get(), 1));
    EXPECT_FALSE(post(static_cast<Handler*>(nullptr), 1));
    EXPECT_FALSE(send(static_cast<Handler*>(nullptr), 1));
    EXPECT_EQ(Message::getLiveCount(), live);
    EXPECT_EQ(Message::getPoolSize(), pool);
    // A prepared message that cannot go goes back.
    EXPECT_FALSE(post(Message::make(1, handler.get())));
    EXPECT_FALSE(send(Message::make(1, handler.get())));
    EXPECT_EQ(Message::getLiveCount(), live);
    EXPECT_EQ(handler->getReferenceCount(), 2);
}

}  // namespace
}  // namespace nevrik::application
