#pragma once

#include "nevrik/system/Timestamp.h"

#include <cstdint>

namespace nevrik::io::detail {

/// A file time (100-ns units since 1601) as a Timestamp (microseconds since
/// 1601); the remainder is dropped.
inline system::Timestamp timestampOf(std::uint64_t fileTime) noexcept {
    return system::Timestamp(fileTime / 10);
}

}  // namespace nevrik::io::detail
