#pragma once

#include "nevrik/container/detail/Ring.h"

namespace nevrik::container {

template <class T>
class Queue;

/// The link that puts a T on one Queue<T>: the queue it waits on (null when
/// on none), next and previous. T derives from Queueable<T>.
///
/// A copy starts unlinked. An item destroyed while still queued unlinks
/// itself first, so its queue never points at freed memory. Used on the
/// thread that owns the queue.
template <class T>
class Queueable : public detail::Link<Queue<T>> {
public:
    /// The queue this item waits on, or null.
    Queue<T>* getQueue() const noexcept { return this->getOwner(); }

protected:
    Queueable() noexcept = default;
    Queueable(const Queueable&) noexcept = default;
    Queueable& operator=(const Queueable&) noexcept = default;
    ~Queueable() = default;
};

}  // namespace nevrik::container
