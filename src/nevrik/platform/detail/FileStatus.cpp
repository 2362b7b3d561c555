#include "nevrik/platform/detail/FileStatus.h"

#include "nevrik/platform/Clock.h"

namespace nevrik::platform::detail {
namespace {

// 100-ns units since 1601; a time before 1601 (only a forged one) reads as 0.
std::uint64_t ticksOf(const struct statx_timestamp& time) noexcept {
    const std::int64_t ticks =
        (static_cast<std::int64_t>(time.tv_sec) * 1000000 + static_cast<std::int64_t>(Clock::kUnixEpoch)) *
            10 +
        time.tv_nsec / 100;
    return ticks > 0 ? static_cast<std::uint64_t>(ticks) : 0;
}

}  // namespace

NativeFile::Times timesOf(const struct statx& status) noexcept {
    NativeFile::Times times;
    times.creation = ticksOf((status.stx_mask & STATX_BTIME) != 0 ? status.stx_btime : status.stx_ctime);
    times.modification = ticksOf(status.stx_mtime);
    times.access = ticksOf(status.stx_atime);
    return times;
}

}  // namespace nevrik::platform::detail
