#include "nevrik/application/Messenger.h"

#include "RecordingHandler.h"
#include "nevrik/application/Looper.h"
#include "nevrik/object/Pointer.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <random>
#include <vector>

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
    Pointer<Looper> looper = object::make<Looper>();
    looper->addHandler(survivor.get());
    {
        RecordingHandler byValue;  // dies attached: detaches itself
        looper->addHandler(&byValue);
    }
    EXPECT_EQ(looper->getHandlerCount(), 2);
    looper.reset();
    EXPECT_EQ(survivor->getMessenger(), nullptr);
    EXPECT_EQ(survivor->getReferenceCount(), 1);
}

// Counts its living instances.
template <class Base>
class Counted : public Base {
public:
    explicit Counted(int* live) : mLive(live) { ++*mLive; }
    ~Counted() override { --*mLive; }

private:
    int* mLive;
};

TEST(MessengerTest, MessengersLiveAsLongAsTheirPointersAndHandlersAsLongAsPointersOrMessengerHold) {
    // Random makes, drops, attachments, detachments and preferences; the
    // oracle: a looper's count is the slots holding it, a handler's the slots
    // plus one while attached, and only what is held lives.
    using CountedLooper = Counted<Looper>;
    using CountedHandler = Counted<Handler>;
    int liveLoopers = 0;
    int liveHandlers = 0;
    std::mt19937 random(16);
    {
        std::vector<Pointer<CountedLooper>> loopers(4);
        std::vector<Pointer<CountedHandler>> handlers(6);
        std::map<Handler*, Messenger*> attached;
        std::map<Messenger*, Handler*> preferred;
        for (int step = 0; step < 3000; ++step) {
            auto& looper = loopers[random() % loopers.size()];
            auto& handler = handlers[random() % handlers.size()];
            switch (random() % 6) {
                case 0:
                    looper = object::make<CountedLooper>(&liveLoopers);
                    break;
                case 1:
                    handler = object::make<CountedHandler>(&liveHandlers);
                    break;
                case 2:
                    looper = loopers[random() % loopers.size()];
                    break;
                case 3:
                    handler.reset();
                    break;
                case 4:
                    if (looper && handler) {
                        const bool free = attached.count(handler.get()) == 0;
                        ASSERT_EQ(looper->addHandler(handler.get()), free) << "step " << step;
                        if (free) {
                            attached[handler.get()] = looper.get();
                        }
                        if (random() % 2 == 0) {
                            const bool here = attached[handler.get()] == looper.get();
                            ASSERT_EQ(looper->setPreferredHandler(handler.get()), here) << "step " << step;
                            if (here) {
                                preferred[looper.get()] = handler.get();
                            }
                        }
                    }
                    break;
                default:
                    if (looper && handler) {
                        const bool here =
                            attached.count(handler.get()) != 0 && attached[handler.get()] == looper.get();
                        ASSERT_EQ(looper->removeHandler(handler.get()), here) << "step " << step;
                        if (here) {
                            attached.erase(handler.get());
                            const auto chosen = preferred.find(looper.get());
                            if (chosen != preferred.end() && chosen->second == handler.get()) {
                                preferred.erase(chosen);
                            }
                        }
                    }
                    break;
            }
            // What is held now: the loopers in slots, and the handlers in slots
            // or attached to one of those.
            std::map<Messenger*, int> heldLoopers;
            for (const auto& slot : loopers) {
                if (slot) {
                    ++heldLoopers[slot.get()];
                }
            }
            for (auto at = attached.begin(); at != attached.end();) {
                at = heldLoopers.count(at->second) != 0 ? std::next(at) : attached.erase(at);
            }
            for (auto at = preferred.begin(); at != preferred.end();) {
                at = heldLoopers.count(at->first) != 0 ? std::next(at) : preferred.erase(at);
            }
            std::map<Handler*, int> heldHandlers;
            for (const auto& slot : handlers) {
                if (slot) {
                    ++heldHandlers[slot.get()];
                }
            }
            std::map<Messenger*, int> attachedTo;
            for (const auto& [attachedHandler, messenger] : attached) {
                ++heldHandlers[attachedHandler];
                ++attachedTo[messenger];
            }
            ASSERT_EQ(liveLoopers, static_cast<int>(heldLoopers.size())) << "step " << step;
            ASSERT_EQ(liveHandlers, static_cast<int>(heldHandlers.size())) << "step " << step;
            for (const auto& [messenger, count] : heldLoopers) {
                ASSERT_EQ(messenger->getReferenceCount(), count) << "step " << step;
                ASSERT_EQ(messenger->getHandlerCount(), attachedTo[messenger] + 1) << "step " << step;
                ASSERT_TRUE(messenger->hasHandler(messenger)) << "step " << step;
                const auto chosen = preferred.find(messenger);
                ASSERT_EQ(messenger->getPreferredHandler(),
                          chosen != preferred.end() ? chosen->second : messenger)
                    << "step " << step;
            }
            for (const auto& [held, count] : heldHandlers) {
                const auto at = attached.find(held);
                ASSERT_EQ(held->getReferenceCount(), count) << "step " << step;
                ASSERT_EQ(held->getMessenger(), at != attached.end() ? at->second : nullptr)
                    << "step " << step;
            }
        }
    }
    EXPECT_EQ(liveLoopers, 0);
    EXPECT_EQ(liveHandlers, 0);
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
