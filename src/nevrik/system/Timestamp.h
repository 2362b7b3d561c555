#pragma once

#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::system {

/// A point in time: microseconds since 1601-01-01 00:00 UTC.
///
/// A value, usually held by value (files report their times in it, timers keep
/// one as their clock). Not synchronised: one thread at a time.
class Timestamp : public object::Object {
public:
    Timestamp() noexcept = default;
    explicit Timestamp(std::uint64_t microseconds) noexcept : mMicroseconds(microseconds) {}

    /// Takes the current system time.
    void now() noexcept;

    /// The user's short date, one space and the 24-hour time, both in local
    /// time. Whole range, 1601 to the year 586524, with no overflow.
    types::String toString() const override;
    NEVRIK_CLASS_NAME(object::Object, ":Timestamp")

    std::uint64_t getMicroseconds() const noexcept { return mMicroseconds; }
    void setMicroseconds(std::uint64_t microseconds) noexcept { mMicroseconds = microseconds; }

private:
    std::uint64_t mMicroseconds = 0;
};

}  // namespace nevrik::system
