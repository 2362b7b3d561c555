#include "nevrik/application/Messenger.h"

#include "nevrik/application/Message.h"

namespace nevrik::application {
namespace {

// The messenger that delivers to `handler` while it runs, else null.
Messenger* runningMessenger(const Handler* handler) noexcept {
    Messenger* messenger = handler != nullptr ? handler->getMessenger() : nullptr;
    return messenger != nullptr && messenger->getThread() != nullptr ? messenger : nullptr;
}

bool onMessengersThread(const Messenger* messenger) {
    return system::Thread::current() == messenger->getThread();
}

// Hands a pooled message to its target's messenger, at the front or the back.
bool queue(Message* message, bool front) {
    Messenger* messenger = runningMessenger(message->getTarget());
    if (messenger == nullptr) {
        message->release();
        return false;
    }
    return front ? messenger->queueFront(message) : messenger->queueBack(message);
}

}  // namespace

Messenger::Messenger() : mPreferredHandler(this) {
    mHandlers.add(this);
    mMessenger.store(this, std::memory_order_release);
    // Its own membership must not keep it alive.
    release();
}

Messenger::~Messenger() {
    system::Mutex::Guard guard(mLock);
    // Stand in for the reference given back at construction, and one more:
    // the chain's release below must not find a count that reaches zero.
    addReference();
    addReference();
    mHandlers.remove(this);
    mMessenger.store(nullptr, std::memory_order_release);
    while (Handler* handler = mHandlers.getFirst()) {
        handler->mMessenger.store(nullptr, std::memory_order_release);
        mHandlers.remove(handler);
    }
}

bool Messenger::addHandler(Handler* handler) {
    if (handler == nullptr || handler == this) {
        return false;
    }
    system::Mutex::Guard guard(mLock);
    if (!mHandlers.add(handler)) {
        return false;
    }
    handler->mMessenger.store(this, std::memory_order_release);
    return true;
}

bool Messenger::removeHandler(Handler* handler) {
    if (handler == this) {
        return false;
    }
    system::Mutex::Guard guard(mLock);
    if (!mHandlers.contains(handler)) {
        return false;
    }
    if (mPreferredHandler == handler) {
        mPreferredHandler = this;
    }
    handler->mMessenger.store(nullptr, std::memory_order_release);
    mHandlers.remove(handler);
    return true;
}

Handler* Messenger::getPreferredHandler() const {
    system::Mutex::Guard guard(mLock);
    return mPreferredHandler;
}

bool Messenger::setPreferredHandler(Handler* handler) {
    system::Mutex::Guard guard(mLock);
    if (!mHandlers.contains(handler)) {
        return false;
    }
    mPreferredHandler = handler;
    return true;
}

bool Messenger::hasHandler(const Handler* handler) const {
    system::Mutex::Guard guard(mLock);
    return mHandlers.contains(handler);
}

int Messenger::getHandlerCount() const {
    system::Mutex::Guard guard(mLock);
    return mHandlers.getCount();
}

bool post(Handler* handler, std::uint32_t what) {
    // Checked before a message is made: a refused post takes nothing from the pool.
    if (runningMessenger(handler) == nullptr) {
        return false;
    }
    return post(Message::make(what, handler));
}

bool post(Message* message) {
    return queue(message, false);
}

bool send(Handler* handler, std::uint32_t what) {
    Messenger* messenger = runningMessenger(handler);
    if (messenger == nullptr) {
        return false;
    }
    if (onMessengersThread(messenger)) {
        Message message(what, handler);
        handler->onMessage(message);
        return true;
    }
    return send(Message::make(what, handler));
}

bool send(Message* message) {
    Messenger* messenger = runningMessenger(message->getTarget());
    if (messenger != nullptr && onMessengersThread(messenger)) {
        message->getTarget()->onMessage(*message);
        message->release();
        return true;
    }
    return queue(message, true);
}

}  // namespace nevrik::application
