#pragma once

#include "nevrik/application/Handler.h"
#include "nevrik/application/Message.h"
#include "nevrik/container/Chain.h"
#include "nevrik/system/Mutex.h"
#include "nevrik/system/Thread.h"
#include "nevrik/types/String.h"

#include <atomic>
#include <cstdint>

namespace nevrik::application {

/// A handler that owns a set of handlers and delivers messages to them on one
/// thread: a Looper on a thread of its own, the Application on the thread
/// that runs it.
///
/// The messenger counts as the first of its own handlers, but its chain holds
/// only the others: a membership of its own would be a reference on itself,
/// so it is born and dies through its holders like any object (make it with
/// object::make, or by value). The chain and the preferred handler are
/// guarded by the messenger's lock, so handlers may be attached and detached
/// from any thread; messages may be posted from any thread.
///
/// One process-wide link lock orders posting against attaching, detaching,
/// starting and stopping: a post finds the target's messenger and hands the
/// message over under it, so a messenger that stops delivering (or dies, which
/// stops it first) refuses every later post, and has every earlier one queued.
/// A message whose target has moved on when its turn comes follows it to its
/// new messenger; one whose target was detached goes back undelivered.
class Messenger : public Handler {
public:
    Messenger();
    /// Detaches every handler (dropping the chain's references) and clears
    /// their messenger, so that no handler is left pointing at a dead one.
    ~Messenger() override;

    /// Attaches `handler`, taking a reference. Returns false, changing nothing,
    /// for null, the messenger itself, or a handler attached anywhere already.
    bool addHandler(Handler* handler);
    /// Detaches `handler`, dropping the chain's reference (which may destroy
    /// it); a preferred handler leaves the messenger preferred. Returns false,
    /// changing nothing, for the messenger itself or a handler not attached here.
    bool removeHandler(Handler* handler);

    /// Queues a pooled message ahead of the messages already waiting. False
    /// when it cannot be delivered; the caller's hold then goes with the
    /// pointer. post() and send() call it under the link lock, and only while
    /// the messenger runs (a looper's messages go to its thread's queue
    /// without it).
    virtual bool queueFront(object::Pointer<Message> message) = 0;
    /// As queueFront(), behind the messages already waiting.
    virtual bool queueBack(object::Pointer<Message> message) = 0;
    /// Whether the messenger delivers on a thread of its own.
    virtual bool ownsThread() const = 0;

    NEVRIK_CLASS_NAME(Handler, ":Messenger")

    /// The thread that delivers, or null while the messenger does not run.
    system::Thread* getThread() const noexcept { return mThread.load(std::memory_order_acquire); }
    Handler* getPreferredHandler() const;
    /// Returns false, changing nothing, unless `handler` is attached here.
    bool setPreferredHandler(Handler* handler);
    bool hasHandler(const Handler* handler) const;
    int getHandlerCount() const;

protected:
    /// Publishes the thread that delivers (null: stopped, later posts are
    /// refused) and, for a messenger whose messages travel through that
    /// thread's queue, the queue's thread id. A messenger that queues messages
    /// itself stops before it dies, since posts call its queueFront() and
    /// queueBack() while it runs.
    void setThread(system::Thread* thread, std::uint32_t queueThreadId = 0);
    /// Delivers a pooled message that reached this messenger's thread, and
    /// takes over its holder: to the target while it is attached here, else
    /// on to the target's messenger, else back to the pool.
    void deliver(Message* message);

private:
    friend bool post(object::Pointer<Message> message);
    friend bool send(Handler* handler, std::uint32_t what);
    friend bool send(object::Pointer<Message> message);

    // Hands a pooled message to its target's running messenger, at the front
    // or the back; it goes back to the pool when there is none.
    static bool queue(object::Pointer<Message> message, bool front);
    // Calls onMessage() on the caller's thread, serialised with deliveries.
    static void deliverNow(Handler* handler, Message& message);

    std::atomic<system::Thread*> mThread{nullptr};
    // The thread whose queue takes this messenger's messages; 0 for none.
    std::uint32_t mQueueThreadId = 0;
    container::Chain<Handler> mHandlers;
    Handler* mPreferredHandler;
    mutable system::Mutex mLock;
};

/// Queues a new message `what` for `handler` behind those waiting. Returns
/// false when the handler's messenger does not run (no message is made).
bool post(Handler* handler, std::uint32_t what);
/// Queues a pooled message for its target, as above; when it cannot be
/// queued, the pointer's hold goes back with it.
bool post(object::Pointer<Message> message);
/// Delivers `what` to `handler` at once when called on its messenger's thread
/// (true after onMessage()); from any other thread queues it ahead of the
/// waiting messages and returns without waiting. False when the messenger
/// does not run.
bool send(Handler* handler, std::uint32_t what);
/// As send(handler, what) for a pooled message.
bool send(object::Pointer<Message> message);

}  // namespace nevrik::application
