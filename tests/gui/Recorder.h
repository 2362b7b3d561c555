#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace nevrik::gui {

// What a window thread reports to the test thread: changes under a lock, and
// waits for a condition with a generous time-out that only guards a hang.
class Recorder {
public:
    template <class Change>
    void record(Change change) {
        std::lock_guard<std::mutex> guard(mMutex);
        change();
        mChanged.notify_all();
    }

    template <class Condition>
    bool waitFor(Condition condition) {
        std::unique_lock<std::mutex> guard(mMutex);
        return mChanged.wait_for(guard, std::chrono::seconds(20), condition);
    }

    template <class Read>
    auto read(Read reader) {
        std::lock_guard<std::mutex> guard(mMutex);
        return reader();
    }

private:
    std::mutex mMutex;
    std::condition_variable mChanged;
};

}  // namespace nevrik::gui
