#include "nevrik/application/Application.h"

#include <atomic>
#include <utility>

namespace nevrik::application {
namespace {

std::atomic<Application*> sCurrentApplication{nullptr};

}  // namespace

Application::Application() {
    sCurrentApplication.store(this, std::memory_order_release);
}

Application::~Application() {
    Application* self = this;
    sCurrentApplication.compare_exchange_strong(self, nullptr, std::memory_order_acq_rel);
    system::Mutex::Guard guard(mQueueLock);
    mQueue.clear();
}

Application* Application::currentApplication() noexcept {
    return sCurrentApplication.load(std::memory_order_acquire);
}

bool Application::run() {
    if (getThread() != nullptr) {
        return false;
    }
    onStart();
    setThread(system::Thread::current());
    for (;;) {
        mWake.consume();
        while (Message* message = pop()) {
            if (message->getTarget() == this && message->getWhat() == Message::QUIT) {
                onQuit();
                setThread(nullptr);
                message->release();
                return true;
            }
            deliver(message);
        }
    }
}

bool Application::onStart() {
    return true;
}

bool Application::onQuit() {
    return true;
}

bool Application::queueFront(object::Pointer<Message> message) {
    return enqueue(std::move(message), true);
}

bool Application::queueBack(object::Pointer<Message> message) {
    return enqueue(std::move(message), false);
}

bool Application::enqueue(object::Pointer<Message> message, bool front) {
    {
        system::Mutex::Guard guard(mQueueLock);
        const bool queued = front ? mQueue.pushFront(message.get()) : mQueue.pushBack(message.get());
        // Queued, the queue's hold replaces the pointer's, so that delivery
        // gives the message back to the pool; refused, it goes back now. Under
        // the lock either way: holders are counted without atomics, and the
        // loop may pop and release a queued message once the lock is let go.
        message.reset();
        if (!queued) {
            return false;
        }
    }
    // An urgent message wakes the loop as well: a pulse could come between
    // the loop's finding the queue empty and its waiting, and be lost.
    mWake.set();
    return true;
}

Message* Application::pop() {
    system::Mutex::Guard guard(mQueueLock);
    return mQueue.pop();
}

}  // namespace nevrik::application
