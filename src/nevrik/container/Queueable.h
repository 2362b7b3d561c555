#pragma once

namespace nevrik::container {

template <class T>
class Queue;

/// The link that puts a T on one Queue<T>: the queue it waits on (null when
/// on none), the next and the previous item. T derives from Queueable<T>.
///
/// A copy starts unlinked. An item destroyed while still queued unlinks
/// itself first, so its queue never points at freed memory. Used on the
/// thread that owns the queue.
template <class T>
class Queueable {
public:
    Queueable(const Queueable&) noexcept {}
    /// Assignment copies value only; the link stays.
    Queueable& operator=(const Queueable&) noexcept { return *this; }

    /// The queue this item waits on, or null.
    Queue<T>* getQueue() const noexcept { return mQueue; }

protected:
    Queueable() noexcept = default;
    ~Queueable() {
        if (mQueue != nullptr) {
            mQueue->unlink(this);
        }
    }

private:
    friend class Queue<T>;

    Queue<T>* mQueue = nullptr;
    Queueable* mNext = nullptr;
    Queueable* mPrevious = nullptr;
};

}  // namespace nevrik::container
