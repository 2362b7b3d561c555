#pragma once

#include <cstdint>
#include <memory>

namespace nevrik::platform {

/// A started thread, to wait for its end.
///
/// Copies share the one thread; any number of threads may wait on it, before
/// or after it ended. An empty handle (default-made) stands for no thread.
/// The thread's system resources go back when it ends, whether or not
/// anybody waits.
class ThreadHandle {
public:
    using Entry = void (*)(void* argument);

    ThreadHandle() noexcept = default;

    /// Starts a thread that runs entry(argument) with `id` (from nextId()) as
    /// its ThreadId, then closes its ThreadQueue. Returns an empty handle when
    /// the system refuses a new thread.
    static ThreadHandle start(Entry entry, void* argument, std::uint32_t id);
    /// A fresh thread id, for start(); lets the starter record the id before
    /// the new thread can possibly use it.
    static std::uint32_t nextId() noexcept;

    /// Blocks until the thread's entry has returned and its queue is closed.
    /// Returns at once for an empty handle.
    void join() const;

    bool isValid() const noexcept { return mState != nullptr; }

private:
    struct State;

    std::shared_ptr<State> mState;
};

}  // namespace nevrik::platform
