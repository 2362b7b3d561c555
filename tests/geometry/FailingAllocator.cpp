#include "FailingAllocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

// The replacement covers the whole test program; unarmed it is plain malloc and free.
namespace {
std::atomic<bool> gFailNextAllocation{false};
}  // namespace

namespace nevrik::geometry::test {

void failNextAllocation(bool armed) noexcept { gFailNextAllocation = armed; }

}  // namespace nevrik::geometry::test

void* operator new(std::size_t size) {
    if (gFailNextAllocation.exchange(false)) {
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept { std::free(memory); }

void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
