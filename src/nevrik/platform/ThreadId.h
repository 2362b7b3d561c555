#pragma once

#include <cstdint>

namespace nevrik::platform {

/// Process-unique, non-zero 32-bit thread ids.
///
/// A thread started through ThreadHandle gets its id from the starter; any
/// other thread (the main thread, a foreign one) gets the next free id the
/// first time it asks. Ids are never reused while the process runs.
class ThreadId {
public:
    /// The calling thread's id, handed out on first use.
    static std::uint32_t current() noexcept;

private:
    friend class ThreadHandle;

    /// The next unused id.
    static std::uint32_t allocate() noexcept;
    /// Makes `id` the calling thread's; only before it has asked for one.
    static void adopt(std::uint32_t id) noexcept;
};

}  // namespace nevrik::platform
