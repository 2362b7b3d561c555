#include "nevrik/system/Thread.h"

#include "nevrik/object/Exception.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/platform/ThreadQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace nevrik::system {
namespace {

using object::Pointer;

// A body that records itself and waits until the test opens the gate;
// `died` (if given) is raised by the destructor.
class GatedThread : public Thread {
public:
    explicit GatedThread(Signal* died = nullptr) : mDied(died) {}
    ~GatedThread() override {
        if (mDied != nullptr) {
            mDied->set();
        }
    }

    bool run() override {
        ++mRuns;
        mSelf = Thread::current();
        mSelfJoin = join();
        mGate.wait();
        mFinished = true;
        return true;
    }

    Signal mGate;
    std::atomic<int> mRuns{0};
    std::atomic<bool> mFinished{false};
    Thread* mSelf = nullptr;
    bool mSelfJoin = true;

private:
    Signal* mDied;
};

Pointer<GatedThread> makeGated() {
    return object::make<GatedThread>();
}

TEST(ThreadTest, StartTwiceMakesOneThreadWhoseQueueIsReadyAndWhichRefusesToJoinItself) {
    Pointer<GatedThread> thread = makeGated();
    EXPECT_FALSE(thread->join());  // never started
    ASSERT_TRUE(thread->start(true));
    const std::uint32_t id = thread->getThreadId();
    EXPECT_TRUE(thread->isRunning());
    EXPECT_TRUE(platform::ThreadQueue::post(id, platform::ThreadQueue::kUser, 0, 0));
    EXPECT_TRUE(thread->start(true));
    EXPECT_EQ(thread->getThreadId(), id);
    std::thread opener([&] { thread->mGate.set(); });
    thread->join();
    opener.join();
    EXPECT_TRUE(thread->mFinished.load());
    EXPECT_EQ(thread->mRuns.load(), 1);
    EXPECT_EQ(thread->mSelf, thread.get());
    EXPECT_FALSE(thread->mSelfJoin);
    EXPECT_FALSE(thread->isStarted());
    EXPECT_EQ(thread->getThreadId(), 0u);
    EXPECT_FALSE(thread->join());  // ended
    EXPECT_EQ(thread->className(), "Object:Thread");
}

TEST(ThreadTest, EndedThreadRunsAgainAndHoldsNoReferenceOfItsOwnAfterJoin) {
    Pointer<GatedThread> thread = makeGated();
    thread->mGate.set();
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(thread->start(false));
        // Waited or found ended: either way the run is finished afterwards.
        thread->join();
        EXPECT_EQ(thread->getReferenceCount(), 1);
    }
    EXPECT_EQ(thread->mRuns.load(), 3);
}

TEST(ThreadTest, ReleasedByItsCreatorWhileRunningItDiesWhenItEnds) {
    Signal died;
    auto* thread = new GatedThread(&died);
    ASSERT_TRUE(thread->start(true));
    thread->release();
    EXPECT_FALSE(died.isSet());
    thread->mGate.set();
    died.wait();
}

TEST(ThreadTest, CurrentAdoptsAForeignThreadOnceAndTheMainThreadBeforeMain) {
    Thread* first = nullptr;
    Thread* second = nullptr;
    std::int32_t references = 0;
    std::thread foreign([&] {
        first = Thread::current();
        second = Thread::current();
        references = first->getReferenceCount();
    });
    foreign.join();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(references, 1);  // the registry's alone
    EXPECT_NE(first->getThreadId(), 0u);
    EXPECT_FALSE(first->join());
    EXPECT_FALSE(first->start(true));
    Thread* main = Thread::current();
    EXPECT_NE(main, first);
    EXPECT_FALSE(main->join());
}

// Runs `body` on a new engine thread in a death-test child whose standard
// output goes to `capture`.
void escapeFromThread(Thread::Routine body, const std::string& capture) {
    std::freopen(capture.c_str(), "w", stdout);
    Pointer<Thread> thread = object::make<Thread>(body);
    thread->start(false);
    thread->join();
    std::exit(0);
}

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ThreadTest, EscapingExceptionPrintsItsMessageAndExitsWith255) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string capture = ::testing::TempDir() + "nevrik_thread_escape.txt";
    EXPECT_EXIT(
        escapeFromThread([](Thread*) -> bool { throw object::Exception("Thread: body failed"); }, capture),
        ::testing::ExitedWithCode(255), "");
    EXPECT_EQ(readAll(capture), "Thread: body failed");
    EXPECT_EXIT(escapeFromThread([](Thread*) -> bool { throw 42; }, capture), ::testing::ExitedWithCode(255),
                "");
    EXPECT_EQ(readAll(capture), "");
    std::remove(capture.c_str());
}

}  // namespace
}  // namespace nevrik::system
