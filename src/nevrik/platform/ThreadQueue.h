#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace nevrik::platform {

/// One item on a thread's queue: a code and two pointer-sized words.
struct ThreadMessage {
    std::uint32_t code = 0;
    std::uintptr_t first = 0;
    std::uintptr_t second = 0;
};

/// A thread's own message queue: any thread posts to it by thread id, only
/// the owning thread takes messages out and waits on it.
///
/// A thread gets its queue when it first asks for it (current()); posting to
/// a thread without one, or to a thread that has ended, fails. The queue lives
/// until its thread ends or closes it. The wait can watch one more descriptor
/// besides the queue, so that a window thread sleeps in one place for both
/// posted messages and window-system events.
class ThreadQueue {
public:
    /// Ends the loop of the thread that receives it.
    static constexpr std::uint32_t kQuit = 0x0012;
    /// First code free for the engine's own messages.
    static constexpr std::uint32_t kUser = 0x0400;

    ThreadQueue(const ThreadQueue&) = delete;
    ThreadQueue& operator=(const ThreadQueue&) = delete;
    ~ThreadQueue();

    /// Appends a message to the queue of thread `threadId`. Returns false when
    /// that thread has no queue (never made, closed, or the thread ended).
    static bool post(std::uint32_t threadId, std::uint32_t code, std::uintptr_t first, std::uintptr_t second);

    /// The calling thread's queue, made on the first call. Valid on this
    /// thread until closeCurrent() or the thread's end.
    static ThreadQueue& current();

    /// Closes the calling thread's queue, if it has one: later posts to the
    /// thread fail. Returns the messages that were still waiting, oldest first,
    /// so that the caller can free what they carry.
    static std::vector<ThreadMessage> closeCurrent();

    /// Takes the oldest message into `message`; false, without waiting, when
    /// the queue is empty.
    bool peek(ThreadMessage& message);

    /// Blocks until a message is waiting or `extraDescriptor` (when not
    /// negative) is readable. May return early; callers peek again either way.
    void wait(int extraDescriptor = -1);

private:
    ThreadQueue();

    bool push(const ThreadMessage& message);
    std::vector<ThreadMessage> close();

    std::mutex mMutex;
    std::deque<ThreadMessage> mMessages;
    bool mClosed = false;
    // Readable once a post found the queue empty, until the owner wakes.
    int mWakeDescriptor;
};

}  // namespace nevrik::platform
