#include "nevrik/io/MemoryFile.h"

#include "nevrik/io/FileSeekException.h"
#include "nevrik/io/IllegalPositionModeException.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace nevrik::io {

MemoryFile::MemoryFile(const void* data, std::size_t size) noexcept
    : File(kRead),
      mData(static_cast<const std::uint8_t*>(data)),
      mSize(static_cast<std::int32_t>(
          std::min<std::size_t>(size, static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())))) {}

std::int32_t MemoryFile::write(const void*, std::int32_t) {
    return 0;
}

std::int32_t MemoryFile::read(void* buffer, std::int32_t count) {
    const std::int32_t got = std::clamp(count, 0, mSize - mPosition);
    if (got > 0) {
        std::memcpy(buffer, mData + mPosition, static_cast<std::size_t>(got));
        mPosition += got;
    }
    return got;
}

std::int32_t MemoryFile::seek(std::int32_t offset, int positionMode) {
    std::int64_t origin = 0;
    switch (positionMode) {
        case kBegin:
            break;
        case kCurrent:
            origin = mPosition;
            break;
        case kEnd:
            origin = mSize;
            break;
        default:
            throw IllegalPositionModeException();
    }
    const std::int64_t target = origin + offset;
    if (target < 0) {
        throw FileSeekException();
    }
    mPosition = static_cast<std::int32_t>(std::min<std::int64_t>(target, mSize));
    return mPosition;
}

bool MemoryFile::rewind() {
    mPosition = 0;
    return true;
}

std::int32_t MemoryFile::setSize(std::int32_t) {
    return mSize;
}

}  // namespace nevrik::io
