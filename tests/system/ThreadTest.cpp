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

// A thread whose body waits until the test lets it go, counting its runs.
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

TEST(ThreadTest, StartTwiceMakesOneThreadWithItsQueueReady) {
    Pointer<GatedThread> thread = Pointer<GatedThread>::adopt(new GatedThread());
    ASSERT_TRUE(thread->start(true));
    EXPECT_TRUE(thread->isRunning());
    const std::uint32_t id = thread->getThreadId();
    EXPECT_NE(id, 0u);
    // start(true) returned: the new thread's queue takes posts already.
    EXPECT_TRUE(platform::ThreadQueue::post(id, platform::ThreadQueue::kUser, 0, 0));
    EXPECT_TRUE(thread->start(true));
    EXPECT_EQ(thread->getThreadId(), id);
    thread->mGate.set();
    thread->join();
    EXPECT_EQ(thread->mRuns.load(), 1);
    EXPECT_FALSE(thread->isRunning());
    EXPECT_FALSE(thread->isStarted());
    EXPECT_EQ(thread->getThreadId(), 0u);
}

TEST(ThreadTest, JoinRefusesTheThreadItselfAndThreadsThatDoNotRun) {
    Pointer<GatedThread> thread = Pointer<GatedThread>::adopt(new GatedThread());
    EXPECT_FALSE(thread->join());
    ASSERT_TRUE(thread->start(true));
    thread->mGate.set();
    thread->join();
    EXPECT_FALSE(thread->mSelfJoin);
    EXPECT_EQ(thread->mSelf, thread.get());
    EXPECT_FALSE(thread->join());
    EXPECT_FALSE(Thread::current()->join());
}

TEST(ThreadTest, JoinFromAnotherThreadReturnsOnlyAfterTheBody) {
    Pointer<GatedThread> thread = Pointer<GatedThread>::adopt(new GatedThread());
    ASSERT_TRUE(thread->start(true));
    std::thread opener([&] { thread->mGate.set(); });
    thread->join();
    EXPECT_TRUE(thread->mFinished.load());
    EXPECT_EQ(thread->getReferenceCount(), 1);
    opener.join();
}

TEST(ThreadTest, EndedThreadCanRunAgainAndGivesBackItsReferences) {
    Pointer<GatedThread> thread = Pointer<GatedThread>::adopt(new GatedThread());
    thread->mGate.set();
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(thread->start(false));
        // Whether it waited or found the thread ended, join leaves it finished.
        thread->join();
        EXPECT_FALSE(thread->isStarted());
        EXPECT_EQ(thread->getReferenceCount(), 1);
    }
    EXPECT_EQ(thread->mRuns.load(), 3);
}

TEST(ThreadTest, ReleasedByItsCreatorWhileRunningItDiesExactlyWhenItEnds) {
    Signal died;
    auto* thread = new GatedThread(&died);
    ASSERT_TRUE(thread->start(true));
    thread->release();
    EXPECT_FALSE(died.isSet());
    thread->mGate.set();
    died.wait();
    EXPECT_TRUE(died.isSet());
}

TEST(ThreadTest, CurrentAdoptsAForeignThreadOnceAndRegistersIt) {
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
    EXPECT_NE(first, Thread::current());
    EXPECT_EQ(references, 1);  // the registry's alone
    EXPECT_NE(first->getThreadId(), 0u);
    EXPECT_FALSE(first->join());
    EXPECT_FALSE(first->start(true));
    EXPECT_EQ(first->className(), "Object:Thread");
}

TEST(ThreadTest, TheMainThreadWasAdoptedBeforeMain) {
    Thread* main = Thread::current();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main, Thread::current());
    EXPECT_FALSE(main->isStarted());
}

TEST(ThreadTest, RoutinesRunWithTheirArgument) {
    static std::uintptr_t sSeen = 0;
    Pointer<Thread> withArgument = Pointer<Thread>::adopt(new Thread(
        [](std::uintptr_t argument) {
            sSeen = argument;
            return true;
        },
        UINTPTR_MAX));
    ASSERT_TRUE(withArgument->start(false));
    withArgument->join();
    EXPECT_EQ(sSeen, UINTPTR_MAX);

    static Thread* sSelf = nullptr;
    Pointer<Thread> withSelf = Pointer<Thread>::adopt(new Thread([](Thread* self) {
        sSelf = self;
        return true;
    }));
    ASSERT_TRUE(withSelf->start(false));
    withSelf->join();
    EXPECT_EQ(sSelf, withSelf.get());
}

// Runs `body` on a new engine thread in a child process whose standard output
// goes to `capture`; the child ends with the thread layer's exit code.
void escapeFromThread(Thread::Routine body, const std::string& capture) {
    std::freopen(capture.c_str(), "w", stdout);
    Pointer<Thread> thread = Pointer<Thread>::adopt(new Thread(body));
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
    const std::string capture = testing::TempDir() + "nevrik_thread_escape.txt";
    EXPECT_EXIT(
        escapeFromThread([](Thread*) -> bool { throw object::Exception("Thread: body failed"); }, capture),
        testing::ExitedWithCode(255), "");
    EXPECT_EQ(readAll(capture), "Thread: body failed");

    EXPECT_EXIT(escapeFromThread([](Thread*) -> bool { throw 42; }, capture), testing::ExitedWithCode(255),
                "");
    EXPECT_EQ(readAll(capture), "");
    std::remove(capture.c_str());
}

}  // namespace
}  // namespace nevrik::system
