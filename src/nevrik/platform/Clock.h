#pragma once

#include <cstdint>
#include <string>

namespace nevrik::platform {

/// The wall clock in the engine's unit: microseconds since 1601-01-01 00:00 UTC.
///
/// Stateless; every operation may be called from any thread.
class Clock {
public:
    /// Microseconds from 1601-01-01 to 1970-01-01, both UTC.
    static constexpr std::uint64_t kUnixEpoch = 11644473600000000ull;

    /// The current system time.
    static std::uint64_t now() noexcept;
    /// Microseconds of processor time the calling thread has used: what a
    /// piece of per-frame work costs, whatever else the machine is doing.
    static std::uint64_t threadTime() noexcept;

    /// `microseconds` in local time as the user's short date, one space and
    /// the 24-hour time ("%x %H:%M:%S"). Every value has a text; empty only if
    /// the C library refuses the conversion.
    static std::string formatLocal(std::uint64_t microseconds);
};

}  // namespace nevrik::platform
