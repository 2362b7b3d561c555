#pragma once

#include "nevrik/application/Handler.h"
#include "nevrik/application/Message.h"
#include "nevrik/system/Signal.h"
#include "nevrik/system/Thread.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace nevrik::application::testing {

/// Records the codes it receives and the thread they came on; waitFor()
/// blocks until a given number has arrived.
class RecordingHandler : public Handler {
public:
    bool onMessage(Message& message) override {
        {
            std::lock_guard<std::mutex> guard(mMutex);
            mCodes.push_back(message.getWhat());
            mThread = system::Thread::current();
        }
        if (++mCount >= mGoal.load()) {
            mReached.set();
        }
        return true;
    }

    void waitFor(int count) {
        mGoal = count;
        while (mCount.load() < count) {
            mReached.consume();
        }
    }

    std::vector<std::uint32_t> getCodes() {
        std::lock_guard<std::mutex> guard(mMutex);
        return mCodes;
    }
    system::Thread* getThread() {
        std::lock_guard<std::mutex> guard(mMutex);
        return mThread;
    }
    int getCount() const { return mCount.load(); }

private:
    std::mutex mMutex;
    std::vector<std::uint32_t> mCodes;
    system::Thread* mThread = nullptr;
    std::atomic<int> mCount{0};
    std::atomic<int> mGoal{1};
    system::Signal mReached;
};

}  // namespace nevrik::application::testing
