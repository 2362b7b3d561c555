#include "CountingAllocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::int64_t> sAllocations{0};

}  // namespace

namespace nevrik::bench {

std::int64_t allocationCount() noexcept {
    return sAllocations.load(std::memory_order_relaxed);
}

}  // namespace nevrik::bench

void* operator new(std::size_t size) {
    sAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size > 0 ? size : 1)) {
        return block;
    }
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
