#include "nevrik/application/Application.h"

#include "RecordingHandler.h"
#include "nevrik/application/Looper.h"
#include "nevrik/object/Pointer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace nevrik::application {
namespace {

using object::Pointer;
using testing::RecordingHandler;

// Runs `feed` on a thread of its own once run() has bound the application.
class TestApplication : public Application {
public:
    explicit TestApplication(std::function<void(TestApplication*)> feed) : mFeed(std::move(feed)) {}
    ~TestApplication() override {
        if (mFeeder.joinable()) {
            mFeeder.join();
        }
    }

    bool onStart() override {
        ++mStarts;
        mPostInStart = post(this, 1);
        mFeeder = std::thread([this] {
            while (getThread() == nullptr) {
                std::this_thread::yield();
            }
            mFeed(this);
        });
        return true;
    }
    bool onQuit() override {
        ++mQuits;
        return true;
    }

    int mStarts = 0;
    int mQuits = 0;
    bool mPostInStart = true;

private:
    std::function<void(TestApplication*)> mFeed;
    std::thread mFeeder;
};

TEST(ApplicationTest, QuitForAnotherHandlerIsAnOrdinaryMessage) {
    Pointer<RecordingHandler> handler = object::make<RecordingHandler>();
    TestApplication application([&](TestApplication* self) {
        post(handler.get(), Message::QUIT);
        post(handler.get(), 2);
        post(self, Message::QUIT);
    });
    EXPECT_EQ(Application::currentApplication(), &application);
    application.addHandler(handler.get());
    EXPECT_FALSE(application.ownsThread());
    EXPECT_TRUE(application.run());
    EXPECT_EQ(application.mStarts, 1);
    EXPECT_EQ(application.mQuits, 1);
    EXPECT_FALSE(application.mPostInStart);
    EXPECT_EQ(handler->getCodes(), (std::vector<std::uint32_t>{Message::QUIT, 2}));
    EXPECT_EQ(handler->getThread(), system::Thread::current());
    // run() has returned: the application no longer takes messages.
    EXPECT_FALSE(post(handler.get(), 3));
    EXPECT_EQ(application.className(), "Object:Handler:Messenger:Application");
}

// Holds the loop in its first delivery until let go.
class GateHandler : public RecordingHandler {
public:
    bool onMessage(Message& message) override {
        mEntered.set();
        mGate.wait();
        return RecordingHandler::onMessage(message);
    }

    system::Signal mEntered;
    system::Signal mGate;
};

TEST(ApplicationTest, SentMessagesOvertakeWaitingOnesAndWhatIsLeftGoesBackWithTheApplication) {
    const std::int64_t live = Message::getLiveCount();
    Pointer<GateHandler> gate = object::make<GateHandler>();
    Pointer<RecordingHandler> handler = object::make<RecordingHandler>();
    {
        // While the loop is held in the gate: 2 waits, 10 and 11 overtake it,
        // and so does the QUIT, which leaves 2 queued.
        TestApplication application([&](TestApplication* self) {
            post(gate.get(), 1);
            gate->mEntered.wait();
            post(handler.get(), 2);
            send(handler.get(), 10);
            send(handler.get(), 11);
            send(self, Message::QUIT);
            gate->mGate.set();
        });
        application.addHandler(gate.get());
        application.addHandler(handler.get());
        {
            // Queued twice, a message is refused the second time, and only the
            // hold that came with the refusal goes: ours and the queue's stay.
            const Pointer<Message> twice = Message::make(3, nullptr);
            EXPECT_TRUE(application.queueBack(twice));
            EXPECT_FALSE(application.queueFront(twice));
            EXPECT_EQ(twice->getUseCount(), 2u);
        }
        application.run();
        EXPECT_EQ(handler->getCodes(), (std::vector<std::uint32_t>{10, 11}));
        EXPECT_EQ(handler->getReferenceCount(), 3);  // ours, the chain's, the waiting message's
    }
    EXPECT_EQ(Application::currentApplication(), nullptr);
    EXPECT_EQ(Message::getLiveCount(), live);
    EXPECT_EQ(handler->getReferenceCount(), 1);
}

// Checks per-sender order and counts, and lets each sender go on once a
// whole batch of its messages has arrived.
class OrderHandler : public Handler {
public:
    static constexpr int kSenders = 4;
    static constexpr int kBatch = 50;

    bool onMessage(Message& message) override {
        const std::uint32_t sender = message.getWhat() >> 24;
        const std::uint32_t sequence = message.getWhat() & 0xffffffu;
        if (sequence != mNext[sender]) {
            ++mOutOfOrder;
        }
        mNext[sender] = sequence + 1;
        if (++mDelivered[sender] % kBatch == 0) {
            mBatchDone[sender].set();
        }
        return true;
    }

    // Blocks sender `sender` until `count` of its messages have arrived.
    void waitForSender(int sender, int count) {
        while (mDelivered[sender].load() < count) {
            mBatchDone[sender].consume();
        }
    }

    std::uint32_t mNext[kSenders] = {};
    std::atomic<int> mDelivered[kSenders] = {};
    int mOutOfOrder = 0;
    system::Signal mBatchDone[kSenders];
};

TEST(ApplicationTest, StressManySendersReachALooperAndTheApplicationExactlyOnceInOrder) {
    constexpr int kPerSender = 25000;  // 100,000 to each messenger
    static_assert(kPerSender % OrderHandler::kBatch == 0, "whole batches");
    const std::int64_t live = Message::getLiveCount();
    // Warm-up: enough pooled messages for every batch that can be in flight.
    {
        std::vector<Pointer<Message>> warm;
        for (int i = 0; i < 2 * OrderHandler::kSenders * OrderHandler::kBatch + 64; ++i) {
            warm.push_back(Message::make(0, nullptr));
        }
    }
    const std::int64_t pool = Message::getPoolSize();

    Pointer<Looper> looper = object::make<Looper>();
    Pointer<OrderHandler> onLooper = object::make<OrderHandler>();
    Pointer<OrderHandler> onApplication = object::make<OrderHandler>();
    looper->addHandler(onLooper.get());
    ASSERT_TRUE(looper->run());
    std::atomic<int> refused{0};

    TestApplication application([&](TestApplication* self) {
        std::vector<std::thread> senders;
        for (int sender = 0; sender < OrderHandler::kSenders; ++sender) {
            senders.emplace_back([&, sender] {
                for (int sent = 0; sent < kPerSender;) {
                    for (int i = 0; i < OrderHandler::kBatch; ++i, ++sent) {
                        const auto what =
                            static_cast<std::uint32_t>(sender) << 24 | static_cast<std::uint32_t>(sent);
                        refused += post(onLooper.get(), what) ? 0 : 1;
                        refused += post(onApplication.get(), what) ? 0 : 1;
                    }
                    onLooper->waitForSender(sender, sent);
                    onApplication->waitForSender(sender, sent);
                }
            });
        }
        for (auto& thread : senders) {
            thread.join();
        }
        post(self, Message::QUIT);
    });
    application.addHandler(onApplication.get());
    ASSERT_TRUE(application.run());
    looper->quit();

    EXPECT_EQ(refused.load(), 0);
    for (OrderHandler* handler : {onLooper.get(), onApplication.get()}) {
        EXPECT_EQ(handler->mOutOfOrder, 0);
        for (int sender = 0; sender < OrderHandler::kSenders; ++sender) {
            EXPECT_EQ(handler->mDelivered[sender].load(), kPerSender);
        }
    }
    EXPECT_EQ(Message::getPoolSize(), pool);
    EXPECT_EQ(Message::getLiveCount(), live);
}

}  // namespace
}  // namespace nevrik::application
