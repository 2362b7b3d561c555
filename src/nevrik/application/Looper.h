#pragma once

#include "nevrik/application/Messenger.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/platform/ThreadQueue.h"
#include "nevrik/system/Signal.h"
#include "nevrik/system/Thread.h"
#include "nevrik/types/String.h"

#include <atomic>
#include <cstdint>

namespace nevrik::application {

/// A messenger with a thread of its own, whose loop takes messages from the
/// thread's queue in the order they were posted and delivers them there.
///
/// Created stopped; run() starts the thread, quit() ends it, and it may be run
/// again. quit() refuses every later post and delivers every message accepted
/// before it. Reference-counted like any handler; the looper holds its thread
/// object, which only borrows the looper. run() and quit() come from threads
/// other than the looper's (quit() on the looper thread only asks the loop to
/// end).
///
/// Any thread may drop a running looper's last reference, while others post
/// to its handlers: dying, it quits first, so each post is either delivered
/// or refused. Messages to the looper itself hold a reference on it, so a
/// looper with messages to itself waiting dies on its own thread, after the
/// last of them; a looper that dies on its own thread drops what still waits.
/// Only a subclass's own destructor may still message the looper (a window
/// closing itself), and it then waits for the delivery.
/// The loop calls the looper's virtual operations until its thread has ended,
/// so every subclass calls quit() first in its own destructor, while its part
/// still exists. Subclasses that own another event source (a window's
/// connection to the display) hook it into the loop's single wait through the
/// protected operations.
class Looper : public Messenger {
public:
    /// Thread-queue codes: a Message* to deliver in the first word, and the
    /// loop's check that its queue takes posts.
    static constexpr std::uint32_t LOOPER_DELIVER = platform::ThreadQueue::kUser + 100;
    static constexpr std::uint32_t LOOPER_PROBE = platform::ThreadQueue::kUser + 101;

    /// The looper's thread: its body is the loop.
    class LooperThread : public system::Thread {
    public:
        explicit LooperThread(Looper* looper) noexcept : mLooper(looper) {}

        bool run() override;
        NEVRIK_CLASS_NAME(system::Thread, ":LooperThread")

    private:
        friend class Looper;

        // Cleared by a looper that dies on this very thread: the loop then ends.
        std::atomic<Looper*> mLooper;
    };

    Looper() = default;
    ~Looper() override;

    /// Starts the looper's thread and returns once its loop takes messages.
    /// False when it runs already or the system refuses a thread. After a
    /// quit() from the looper's own thread it first waits for that thread's end.
    bool run();
    /// Ends the loop and waits for the thread to end; true. From the looper's
    /// own thread it only asks the loop to end. False when it does not run.
    bool quit();

    /// Both post to the looper thread's queue, which keeps posting order.
    bool queueFront(object::Pointer<Message> message) override;
    bool queueBack(object::Pointer<Message> message) override;
    bool ownsThread() const override { return true; }

    NEVRIK_CLASS_NAME(Messenger, ":Looper")

protected:
    /// A descriptor the loop also waits on, besides its queue; -1 for none.
    virtual int getWaitDescriptor() const;
    /// Called on the looper thread whenever its queue is empty, before the
    /// loop waits again: handle what the other event source has ready.
    virtual void dispatchPending();
    /// A thread-queue message the loop does not know; dropped by default.
    virtual void onThreadMessage(const platform::ThreadMessage& message);

private:
    bool postToThread(object::Pointer<Message> message);
    // Forgets a thread that has ended.
    void dropThread();

    system::Signal mReady;
    object::Pointer<LooperThread> mLooperThread;
    std::atomic<std::uint32_t> mThreadId{0};
    // quit() came from the looper thread, which could not wait for itself.
    std::atomic<bool> mQuitFromOwnThread{false};
};

}  // namespace nevrik::application
