#pragma once

#include "nevrik/platform/NativeFile.h"

#include <sys/stat.h>

namespace nevrik::platform::detail {

/// What NativeFile and NativeDirectory ask statx for.
constexpr unsigned kStatusMask = STATX_BASIC_STATS | STATX_BTIME;

/// The three file times of `status`; the creation time is the birth time when
/// the file system reports one, else the status change time.
NativeFile::Times timesOf(const struct statx& status) noexcept;

}  // namespace nevrik::platform::detail
