#include "nevrik/application/Looper.h"

#include "nevrik/application/Message.h"
#include "nevrik/platform/ThreadId.h"

#include <utility>

namespace nevrik::application {

bool Looper::LooperThread::run() {
    platform::ThreadQueue& queue = platform::ThreadQueue::current();
    // Proves the queue takes posts before anyone is told the looper is ready.
    platform::ThreadQueue::post(platform::ThreadId::current(), LOOPER_PROBE, 0, 0);
    mLooper.load()->mReady.set();

    platform::ThreadMessage item;
    for (Looper* looper = mLooper.load(); looper != nullptr; looper = mLooper.load()) {
        if (!queue.peek(item)) {
            looper->dispatchPending();
            if (mLooper.load() != nullptr) {
                queue.wait(looper->getWaitDescriptor());
            }
        } else if (item.code == platform::ThreadQueue::kQuit) {
            break;
        } else if (item.code == LOOPER_DELIVER) {
            looper->deliver(reinterpret_cast<Message*>(item.first));
        } else if (item.code != LOOPER_PROBE) {
            looper->onThreadMessage(item);
        }
    }
    // Only a looper that died on this thread, or a quit posted past quit(),
    // leaves messages here: they go back undelivered.
    for (const platform::ThreadMessage& left : platform::ThreadQueue::closeCurrent()) {
        if (left.code == LOOPER_DELIVER) {
            reinterpret_cast<Message*>(left.first)->release();
        }
    }
    return true;
}

Looper::~Looper() {
    if (!mLooperThread) {
        return;
    }
    if (system::Thread::current() == mLooperThread.get()) {
        // Dying on its own thread (released by a handler, or by the delivery
        // of its last message to itself): the loop must not touch the looper
        // again, and ends at its next step.
        setThread(nullptr);
        mLooperThread->mLooper.store(nullptr);
        return;
    }
    quit();
}

bool Looper::run() {
    if (mLooperThread) {
        if (!mQuitFromOwnThread) {
            return false;
        }
        // Told to end by quit() on its own thread: wait until it has.
        mLooperThread->join();
        dropThread();
    }
    // A previous run left the signal up.
    mReady.reset();
    object::Pointer<LooperThread> thread = object::make<LooperThread>(this);
    if (!thread->start(false)) {
        return false;
    }
    mLooperThread = thread;
    mThreadId.store(thread->getThreadId(), std::memory_order_release);
    mReady.wait();
    // Published last: from here on every post finds the queue.
    setThread(thread.get(), thread->getThreadId());
    return true;
}

bool Looper::quit() {
    if (!mLooperThread) {
        return false;
    }
    // Refuses later posts first: everything accepted before is then ahead of
    // the quit in the queue, and is delivered.
    setThread(nullptr);
    platform::ThreadQueue::post(mThreadId.load(std::memory_order_acquire), platform::ThreadQueue::kQuit, 0,
                                0);
    // join() refuses the looper's own thread; a thread that ended before the
    // join came is finished all the same.
    if (mLooperThread->join() || !mLooperThread->isStarted()) {
        dropThread();
    } else {
        mQuitFromOwnThread = true;
    }
    return true;
}

bool Looper::queueFront(object::Pointer<Message> message) {
    return postToThread(std::move(message));
}

bool Looper::queueBack(object::Pointer<Message> message) {
    return postToThread(std::move(message));
}

int Looper::getWaitDescriptor() const {
    return -1;
}

void Looper::dispatchPending() {}

void Looper::onThreadMessage(const platform::ThreadMessage&) {}

bool Looper::postToThread(object::Pointer<Message> message) {
    if (getThread() == nullptr ||
        !platform::ThreadQueue::post(mThreadId.load(std::memory_order_acquire), LOOPER_DELIVER,
                                     reinterpret_cast<std::uintptr_t>(message.get()), 0)) {
        // Stopped, or the thread has ended: the message goes back undelivered.
        return false;
    }
    // The thread's queue carries the hold now.
    message.detach();
    return true;
}

void Looper::dropThread() {
    setThread(nullptr);
    mThreadId.store(0, std::memory_order_release);
    mLooperThread.reset();
    mQuitFromOwnThread = false;
}

}  // namespace nevrik::application
