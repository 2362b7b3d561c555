#include "nevrik/platform/CodeMemory.h"

#include <cstring>
#include <utility>

#include <sys/mman.h>
#include <unistd.h>

namespace nevrik::platform {
namespace {

std::size_t pageSize() noexcept {
    static const std::size_t sPageSize = [] {
        const long size = sysconf(_SC_PAGESIZE);
        return size > 0 ? static_cast<std::size_t>(size) : std::size_t{4096};
    }();
    return sPageSize;
}

}  // namespace

CodeMemory::~CodeMemory() {
    release();
}

CodeMemory::CodeMemory(CodeMemory&& other) noexcept
    : mAddress(std::exchange(other.mAddress, nullptr)),
      mSize(std::exchange(other.mSize, 0)),
      mMappedSize(std::exchange(other.mMappedSize, 0)) {}

CodeMemory& CodeMemory::operator=(CodeMemory&& other) noexcept {
    if (this != &other) {
        release();
        mAddress = std::exchange(other.mAddress, nullptr);
        mSize = std::exchange(other.mSize, 0);
        mMappedSize = std::exchange(other.mMappedSize, 0);
    }
    return *this;
}

bool CodeMemory::load(const void* bytes, std::size_t size) noexcept {
    const std::size_t page = pageSize();
    if (size == 0 || size > static_cast<std::size_t>(-1) - page) {
        return false;
    }
    const std::size_t mapped = (size + page - 1) / page * page;
    void* address = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (address == MAP_FAILED) {
        return false;
    }
    std::memcpy(address, bytes, size);
    // A no-op on x86; hosts with split caches must not run stale instructions.
    __builtin___clear_cache(static_cast<char*>(address), static_cast<char*>(address) + size);
    // Dropping write before adding execute: the pages are never both.
    if (mprotect(address, mapped, PROT_READ | PROT_EXEC) != 0) {
        munmap(address, mapped);
        return false;
    }
    release();
    mAddress = address;
    mSize = size;
    mMappedSize = mapped;
    return true;
}

void CodeMemory::release() noexcept {
    if (mAddress != nullptr) {
        munmap(mAddress, mMappedSize);
        mAddress = nullptr;
        mSize = 0;
        mMappedSize = 0;
    }
}

}  // namespace nevrik::platform
