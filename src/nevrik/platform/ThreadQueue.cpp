#include "nevrik/platform/ThreadQueue.h"

#include "nevrik/platform/ThreadId.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <cerrno>
#include <memory>
#include <system_error>
#include <unordered_map>

namespace nevrik::platform {
namespace {

// Queues by thread id. Shared ownership: a poster that found a queue may
// still push to it while the owner closes it (the push then fails).
struct Registry {
    std::mutex mutex;
    std::unordered_map<std::uint32_t, std::shared_ptr<ThreadQueue>> queues;
};

Registry& registry() {
    // Never destroyed: threads may still post or close while statics die.
    static auto* sRegistry = new Registry();
    return *sRegistry;
}

// The calling thread's hold on its queue. Its destructor closes the queue of
// a thread that ends without closing it (the main thread, foreign threads).
struct Holder {
    std::shared_ptr<ThreadQueue> queue;
    ~Holder() { ThreadQueue::closeCurrent(); }
};

thread_local Holder tHolder;

}  // namespace

ThreadQueue::ThreadQueue() : mWakeDescriptor(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (mWakeDescriptor < 0) {
        throw std::system_error(errno, std::generic_category(), "ThreadQueue: eventfd");
    }
}

ThreadQueue::~ThreadQueue() {
    ::close(mWakeDescriptor);
}

bool ThreadQueue::post(std::uint32_t threadId, std::uint32_t code, std::uintptr_t first,
                       std::uintptr_t second) {
    std::shared_ptr<ThreadQueue> queue;
    {
        Registry& all = registry();
        std::lock_guard<std::mutex> guard(all.mutex);
        const auto found = all.queues.find(threadId);
        if (found == all.queues.end()) {
            return false;
        }
        queue = found->second;
    }
    return queue->push(ThreadMessage{code, first, second});
}

ThreadQueue& ThreadQueue::current() {
    if (!tHolder.queue) {
        std::shared_ptr<ThreadQueue> queue(new ThreadQueue());
        Registry& all = registry();
        std::lock_guard<std::mutex> guard(all.mutex);
        all.queues[ThreadId::current()] = queue;
        tHolder.queue = std::move(queue);
    }
    return *tHolder.queue;
}

std::vector<ThreadMessage> ThreadQueue::closeCurrent() {
    std::shared_ptr<ThreadQueue> queue = std::move(tHolder.queue);
    if (!queue) {
        return {};
    }
    {
        Registry& all = registry();
        std::lock_guard<std::mutex> guard(all.mutex);
        all.queues.erase(ThreadId::current());
    }
    return queue->close();
}

bool ThreadQueue::peek(ThreadMessage& message) {
    std::lock_guard<std::mutex> guard(mMutex);
    if (mMessages.empty()) {
        return false;
    }
    message = mMessages.front();
    mMessages.pop_front();
    return true;
}

void ThreadQueue::wait(int extraDescriptor) {
    {
        std::lock_guard<std::mutex> guard(mMutex);
        if (!mMessages.empty()) {
            return;
        }
    }
    // A post after the check above has already counted on the descriptor,
    // so the poll cannot sleep through it.
    pollfd entries[2] = {{mWakeDescriptor, POLLIN, 0}, {extraDescriptor, POLLIN, 0}};
    while (::poll(entries, extraDescriptor >= 0 ? 2 : 1, -1) < 0 && errno == EINTR) {
    }
    if ((entries[0].revents & POLLIN) != 0) {
        std::uint64_t count = 0;
        // Resetting the count after the wake: what was posted is in the queue
        // already, and any later post counts again.
        while (read(mWakeDescriptor, &count, sizeof count) < 0 && errno == EINTR) {
        }
    }
}

bool ThreadQueue::push(const ThreadMessage& message) {
    std::lock_guard<std::mutex> guard(mMutex);
    if (mClosed) {
        return false;
    }
    mMessages.push_back(message);
    // Only the first message wakes the owner: it takes everything queued
    // behind it before it waits again.
    if (mMessages.size() == 1) {
        const std::uint64_t one = 1;
        while (write(mWakeDescriptor, &one, sizeof one) < 0 && errno == EINTR) {
        }
    }
    return true;
}

std::vector<ThreadMessage> ThreadQueue::close() {
    std::lock_guard<std::mutex> guard(mMutex);
    mClosed = true;
    std::vector<ThreadMessage> left(mMessages.begin(), mMessages.end());
    mMessages.clear();
    return left;
}

}  // namespace nevrik::platform
