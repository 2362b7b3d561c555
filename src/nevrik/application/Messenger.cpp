#include "nevrik/application/Messenger.h"

#include "nevrik/application/Looper.h"
#include "nevrik/application/Message.h"
#include "nevrik/platform/ThreadQueue.h"

#include <utility>
#include <vector>

namespace nevrik::application {
namespace {

// Guards every handler's link to its messenger and every messenger's thread,
// and is held by a post from finding the messenger until the message is
// queued: a messenger that is stopped under it takes no message afterwards.
system::Mutex& linkLock() {
    // Never destroyed: handlers may still be released while statics die.
    static auto* sLock = new system::Mutex();
    return *sLock;
}

// The messenger that delivers to `handler` while it runs, else null.
Messenger* runningMessenger(const Handler* handler) noexcept {
    Messenger* messenger = handler != nullptr ? handler->getMessenger() : nullptr;
    return messenger != nullptr && messenger->getThread() != nullptr ? messenger : nullptr;
}

bool onMessengersThread(const Messenger* messenger) {
    return system::Thread::current() == messenger->getThread();
}

}  // namespace

Messenger::Messenger() : mPreferredHandler(this) {
    mMessenger.store(this, std::memory_order_release);
}

Messenger::~Messenger() {
    std::vector<Handler*> detached;
    {
        system::Mutex::Guard link(linkLock());
        system::Mutex::Guard guard(mLock);
        mMessenger.store(nullptr, std::memory_order_release);
        mThread.store(nullptr, std::memory_order_release);
        mQueueThreadId = 0;
        while (Handler* handler = mHandlers.getFirst()) {
            handler->mMessenger.store(nullptr, std::memory_order_release);
            handler->addReference();
            mHandlers.remove(handler);
            detached.push_back(handler);
        }
    }
    // Released after the locks are let go: a handler that dies here may be a
    // looper whose end waits for threads that post.
    for (Handler* handler : detached) {
        handler->release();
    }
}

bool Messenger::addHandler(Handler* handler) {
    if (handler == nullptr || handler == this) {
        return false;
    }
    system::Mutex::Guard link(linkLock());
    system::Mutex::Guard guard(mLock);
    if (handler->getMessenger() != nullptr || !mHandlers.add(handler)) {
        return false;
    }
    handler->mMessenger.store(this, std::memory_order_release);
    return true;
}

bool Messenger::removeHandler(Handler* handler) {
    if (handler == this) {
        return false;
    }
    {
        system::Mutex::Guard link(linkLock());
        system::Mutex::Guard guard(mLock);
        if (!mHandlers.contains(handler)) {
            return false;
        }
        if (mPreferredHandler == handler) {
            mPreferredHandler = this;
        }
        handler->mMessenger.store(nullptr, std::memory_order_release);
        // Kept until the locks are let go, as in the destructor.
        handler->addReference();
        mHandlers.remove(handler);
    }
    handler->release();
    return true;
}

Handler* Messenger::getPreferredHandler() const {
    system::Mutex::Guard guard(mLock);
    return mPreferredHandler;
}

bool Messenger::setPreferredHandler(Handler* handler) {
    system::Mutex::Guard guard(mLock);
    if (handler != this && !mHandlers.contains(handler)) {
        return false;
    }
    mPreferredHandler = handler;
    return true;
}

bool Messenger::hasHandler(const Handler* handler) const {
    if (handler == this) {
        return true;
    }
    system::Mutex::Guard guard(mLock);
    return mHandlers.contains(handler);
}

int Messenger::getHandlerCount() const {
    system::Mutex::Guard guard(mLock);
    return mHandlers.getCount() + 1;
}

void Messenger::setThread(system::Thread* thread, std::uint32_t queueThreadId) {
    system::Mutex::Guard link(linkLock());
    mQueueThreadId = thread != nullptr ? queueThreadId : 0;
    mThread.store(thread, std::memory_order_release);
}

void Messenger::deliver(Message* message) {
    // Held here, so a handler that throws cannot leak the message.
    object::Pointer<Message> held = object::Pointer<Message>::adopt(message);
    Handler* target = message->getTarget();
    if (target == nullptr) {
        return;
    }
    {
        system::Mutex::Guard delivering(target->mDeliveryLock);
        // Checked under the target's delivery lock: a move after the check
        // makes the new messenger's thread wait for this delivery.
        if (target->getMessenger() == this) {
            target->onMessage(*message);
            return;
        }
    }
    queue(std::move(held), false);
}

bool Messenger::queue(object::Pointer<Message> message, bool front) {
    bool queued = false;
    {
        system::Mutex::Guard link(linkLock());
        if (Messenger* messenger = runningMessenger(message->getTarget())) {
            if (messenger->mQueueThreadId == 0) {
                return front ? messenger->queueFront(std::move(message))
                             : messenger->queueBack(std::move(message));
            }
            // Straight to the thread's queue, without a call on the messenger:
            // its destruction may have begun, and stops it only later.
            queued = platform::ThreadQueue::post(messenger->mQueueThreadId, Looper::LOOPER_DELIVER,
                                                 reinterpret_cast<std::uintptr_t>(message.get()), 0);
        }
    }
    if (queued) {
        // The thread's queue carries the hold now.
        message.detach();
    }
    // Otherwise the hold goes here, outside the lock: it may be the last on the target.
    return queued;
}

void Messenger::deliverNow(Handler* handler, Message& message) {
    system::Mutex::Guard delivering(handler->mDeliveryLock);
    handler->onMessage(message);
}

bool post(Handler* handler, std::uint32_t what) {
    // Checked before a message is made: a refused post takes nothing from the pool.
    {
        system::Mutex::Guard link(linkLock());
        if (runningMessenger(handler) == nullptr) {
            return false;
        }
    }
    return post(Message::make(what, handler));
}

bool post(object::Pointer<Message> message) {
    return Messenger::queue(std::move(message), false);
}

bool send(Handler* handler, std::uint32_t what) {
    {
        system::Mutex::Guard link(linkLock());
        Messenger* messenger = runningMessenger(handler);
        if (messenger == nullptr) {
            return false;
        }
        if (!onMessengersThread(messenger)) {
            return send(Message::make(what, handler));
        }
    }
    Message message(what, handler);
    Messenger::deliverNow(handler, message);
    return true;
}

bool send(object::Pointer<Message> message) {
    {
        system::Mutex::Guard link(linkLock());
        Messenger* messenger = runningMessenger(message->getTarget());
        if (messenger == nullptr || !onMessengersThread(messenger)) {
            return Messenger::queue(std::move(message), true);
        }
    }
    Messenger::deliverNow(message->getTarget(), *message);
    return true;
}

}  // namespace nevrik::application
