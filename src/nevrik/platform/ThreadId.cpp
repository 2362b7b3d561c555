#include "nevrik/platform/ThreadId.h"

#include <atomic>

namespace nevrik::platform {
namespace {

std::atomic<std::uint32_t> sNextId{1};
thread_local std::uint32_t tCurrentId = 0;

}  // namespace

std::uint32_t ThreadId::current() noexcept {
    if (tCurrentId == 0) {
        tCurrentId = allocate();
    }
    return tCurrentId;
}

std::uint32_t ThreadId::allocate() noexcept {
    return sNextId.fetch_add(1, std::memory_order_relaxed);
}

void ThreadId::adopt(std::uint32_t id) noexcept {
    tCurrentId = id;
}

}  // namespace nevrik::platform
