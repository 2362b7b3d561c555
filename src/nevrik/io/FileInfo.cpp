#include "nevrik/io/FileInfo.h"

#include <cstring>

namespace nevrik::io {

FileInfo::FileInfo(const char* name, std::uint32_t size, const system::Timestamp& creationTime,
                   const system::Timestamp& modificationTime, const system::Timestamp& accessTime,
                   std::uint8_t flags) noexcept
    : mSize(size),
      mCreationTime(creationTime),
      mModificationTime(modificationTime),
      mAccessTime(accessTime),
      mFlags(flags) {
    // Bounded, and always terminated: the last byte stays NUL.
    if (name != nullptr) {
        std::memcpy(mName, name, ::strnlen(name, kNameSize - 1));
    }
}

types::String FileInfo::toString() const {
    return types::String(mName);
}

}  // namespace nevrik::io
