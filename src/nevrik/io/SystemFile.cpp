#include "nevrik/io/SystemFile.h"

#include "nevrik/io/IOException.h"
#include "nevrik/io/IllegalPositionModeException.h"
#include "nevrik/io/detail/FileTime.h"
#include "nevrik/platform/LastError.h"

#include <utility>

namespace nevrik::io {
namespace {

// A position or size that the system could not give raises its error.
std::int32_t orRaise(std::int32_t value, const types::String& path) {
    if (value == platform::NativeFile::kInvalidPosition) {
        IOException::raiseFor(path);
    }
    return value;
}

}  // namespace

SystemFile::SystemFile(platform::NativeFile handle, std::uint32_t mode, types::String path) noexcept
    : File(mode), mHandle(std::move(handle)), mPath(std::move(path)) {}

SystemFile::~SystemFile() {
    mHandle.close();
}

system::Timestamp SystemFile::getCreationTime() {
    return detail::timestampOf(getTimes().creation);
}

system::Timestamp SystemFile::getModificationTime() {
    return detail::timestampOf(getTimes().modification);
}

system::Timestamp SystemFile::getAccessTime() {
    return detail::timestampOf(getTimes().access);
}

std::int32_t SystemFile::write(const void* buffer, std::int32_t count) {
    return mHandle.write(buffer, count);
}

std::int32_t SystemFile::read(void* buffer, std::int32_t count) {
    return mHandle.read(buffer, count);
}

std::int32_t SystemFile::seek(std::int32_t offset, int positionMode) {
    using Origin = platform::NativeFile::Origin;
    Origin origin;
    switch (positionMode) {
        case kBegin:
            origin = Origin::kBegin;
            break;
        case kCurrent:
            origin = Origin::kCurrent;
            break;
        case kEnd:
            origin = Origin::kEnd;
            break;
        default:
            object::raiseAt(IllegalPositionModeException(), mPath);
    }
    return orRaise(mHandle.seek(offset, origin), mPath);
}

std::int32_t SystemFile::getPosition() {
    return mHandle.seek(0, platform::NativeFile::Origin::kCurrent);
}

bool SystemFile::rewind() {
    if (mHandle.seek(0, platform::NativeFile::Origin::kBegin) != 0) {
        IOException::raiseFor(mPath);
    }
    return true;
}

bool SystemFile::flush() {
    return mHandle.flush();
}

// The system knows the size without moving the position there and back.
std::int32_t SystemFile::getSize() {
    return orRaise(mHandle.getSize(), mPath);
}

std::int32_t SystemFile::setSize(std::int32_t size) {
    const std::int32_t position = seek(0, kCurrent);
    seek(size, kBegin);
    const bool cut = mHandle.truncate();
    // Moving back may overwrite the last error, so keep the truncate's.
    const std::uint32_t error = platform::LastError::get();
    seek(position, kBegin);
    if (!cut) {
        IOException::raiseFor(error, mPath);
    }
    return size;
}

platform::NativeFile::Times SystemFile::getTimes() {
    platform::NativeFile::Times times;
    if (!mHandle.getTimes(times)) {
        IOException::raiseFor(mPath);
    }
    return times;
}

}  // namespace nevrik::io
