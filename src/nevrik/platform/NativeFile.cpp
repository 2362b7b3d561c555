#include "nevrik/platform/NativeFile.h"

#include "nevrik/platform/LastError.h"
#include "nevrik/platform/detail/FileStatus.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nevrik::platform {
namespace {

// Retries a system call that a signal interrupted before it did anything.
template <class Call>
auto retry(Call call) noexcept {
    auto result = call();
    while (result < 0 && errno == EINTR) {
        result = call();
    }
    return result;
}

// ENOENT names the file when its folder exists and the folder when it does not.
void setOpenError(const char* path, int error) noexcept {
    LastError::setFromErrno(error);
    if (error != ENOENT) {
        return;
    }
    const char* slash = std::strrchr(path, '/');
    if (slash == nullptr || slash == path) {
        return;  // the working folder or the root: both exist
    }
    char folder[PATH_MAX];
    const auto length = static_cast<std::size_t>(slash - path);
    if (length >= sizeof folder) {
        return;
    }
    std::memcpy(folder, path, length);
    folder[length] = '\0';
    struct stat status;
    if (::stat(folder, &status) != 0) {
        LastError::set(LastError::kPathNotFound);
    }
}

// One read or write: refused without the access, retried on EINTR, failures
// reported through LastError and a count of 0.
template <class Call>
std::int32_t transfer(bool allowed, std::int32_t count, LastError::Transfer kind, Call call) noexcept {
    if (count <= 0) {
        return 0;
    }
    if (!allowed) {
        LastError::set(LastError::kAccessDenied);
        return 0;
    }
    const ssize_t moved = retry([&] { return call(static_cast<std::size_t>(count)); });
    if (moved < 0) {
        LastError::setFromErrno(errno, kind);
        return 0;
    }
    return static_cast<std::int32_t>(moved);
}

template <class Result>
bool succeeded(Result result, LastError::Transfer kind = LastError::Transfer::kNone) noexcept {
    if (result < 0) {
        LastError::setFromErrno(errno, kind);
        return false;
    }
    return true;
}

}  // namespace

NativeFile::NativeFile(NativeFile&& other) noexcept
    : mDescriptor(std::exchange(other.mDescriptor, -1)), mAccess(std::exchange(other.mAccess, 0u)) {}

NativeFile& NativeFile::operator=(NativeFile&& other) noexcept {
    if (this != &other) {
        close();
        mDescriptor = std::exchange(other.mDescriptor, -1);
        mAccess = std::exchange(other.mAccess, 0u);
    }
    return *this;
}

NativeFile::~NativeFile() {
    close();
}

bool NativeFile::exists(const char* path) noexcept {
    struct stat status;
    return path != nullptr && ::lstat(path, &status) == 0;
}

NativeFile NativeFile::create(const char* path) noexcept {
    NativeFile file = openLocked(path, O_RDWR | O_CREAT, kRead | kWrite);
    // Truncate only now that the lock is ours.
    if (file.isOpen() && !succeeded(retry([&] { return ::ftruncate(file.mDescriptor, 0); }))) {
        const std::uint32_t code = LastError::get();
        file.close();
        LastError::set(code);
    }
    return file;
}

NativeFile NativeFile::open(const char* path, unsigned access) noexcept {
    access &= kRead | kWrite;
    const int flags = access == (kRead | kWrite) ? O_RDWR : access == kWrite ? O_WRONLY : O_RDONLY;
    return openLocked(path, flags, access);
}

NativeFile NativeFile::openLocked(const char* path, int flags, unsigned access) noexcept {
    if (path == nullptr) {
        LastError::set(LastError::kInvalidParameter);
        return NativeFile();
    }
    // O_NONBLOCK: opening a FIFO must not wait for a writer; regular files ignore it.
    const int descriptor = retry([&] { return ::open(path, flags | O_CLOEXEC | O_NONBLOCK, 0666); });
    if (descriptor < 0) {
        setOpenError(path, errno);
        return NativeFile();
    }
    struct stat status;
    int error = ::fstat(descriptor, &status) < 0 ? errno : S_ISDIR(status.st_mode) ? EISDIR : 0;
    // flock locks belong to the open file description, so a second open in this
    // same process conflicts as well: the file is ours alone.
    if (error == 0 && retry([&] { return ::flock(descriptor, LOCK_EX | LOCK_NB); }) < 0) {
        error = errno;
    }
    if (error != 0) {
        ::close(descriptor);
        LastError::setFromErrno(error);
        return NativeFile();
    }
    return NativeFile(descriptor, access);
}

bool NativeFile::close() noexcept {
    const int descriptor = std::exchange(mDescriptor, -1);
    mAccess = 0;
    // No retry on EINTR: Linux frees the descriptor even then, and a second
    // close could hit one another thread has just opened.
    return descriptor < 0 || succeeded(::close(descriptor));
}

std::int32_t NativeFile::read(void* buffer, std::int32_t count) noexcept {
    return transfer((mAccess & kRead) != 0, count, LastError::Transfer::kRead,
                    [&](std::size_t bytes) { return ::read(mDescriptor, buffer, bytes); });
}

std::int32_t NativeFile::write(const void* buffer, std::int32_t count) noexcept {
    return transfer((mAccess & kWrite) != 0, count, LastError::Transfer::kWrite,
                    [&](std::size_t bytes) { return ::write(mDescriptor, buffer, bytes); });
}

std::int32_t NativeFile::seek(std::int32_t offset, Origin origin) noexcept {
    std::int64_t target = offset;
    if (origin == Origin::kCurrent) {
        // One call: lseek refuses a negative result without moving, and a
        // result beyond the range is moved back at once.
        const off_t moved = ::lseek(mDescriptor, offset, SEEK_CUR);
        if (moved < 0) {
            // The one EINVAL here is a target before the start.
            if (errno == EINVAL) {
                LastError::set(LastError::kNegativeSeek);
            } else {
                LastError::setFromErrno(errno);
            }
            return kInvalidPosition;
        }
        if (moved <= INT32_MAX) {
            return static_cast<std::int32_t>(moved);
        }
        ::lseek(mDescriptor, moved - offset, SEEK_SET);
        LastError::set(LastError::kInvalidParameter);
        return kInvalidPosition;
    }
    if (origin == Origin::kEnd) {
        struct stat status;
        if (!succeeded(::fstat(mDescriptor, &status))) {
            return kInvalidPosition;
        }
        target += status.st_size;
    }
    if (target < 0 || target > INT32_MAX) {
        LastError::set(target < 0 ? LastError::kNegativeSeek : LastError::kInvalidParameter);
        return kInvalidPosition;
    }
    if (!succeeded(::lseek(mDescriptor, static_cast<off_t>(target), SEEK_SET))) {
        return kInvalidPosition;
    }
    return static_cast<std::int32_t>(target);
}

std::int32_t NativeFile::getSize() const noexcept {
    struct stat status;
    if (!succeeded(::fstat(mDescriptor, &status))) {
        return kInvalidPosition;
    }
    if (!S_ISREG(status.st_mode) || status.st_size > INT32_MAX) {
        LastError::set(S_ISREG(status.st_mode) ? LastError::kInvalidParameter : LastError::kSeekOnDevice);
        return kInvalidPosition;
    }
    return static_cast<std::int32_t>(status.st_size);
}

bool NativeFile::truncate() noexcept {
    if ((mAccess & kWrite) == 0) {
        LastError::set(LastError::kAccessDenied);
        return false;
    }
    const off_t position = ::lseek(mDescriptor, 0, SEEK_CUR);
    return succeeded(position) &&
           succeeded(retry([&] { return ::ftruncate(mDescriptor, position); }), LastError::Transfer::kWrite);
}

bool NativeFile::flush() noexcept {
    return succeeded(retry([&] { return ::fsync(mDescriptor); }), LastError::Transfer::kWrite);
}

bool NativeFile::getTimes(Times& times) const noexcept {
    struct statx status;
    if (!succeeded(::statx(mDescriptor, "", AT_EMPTY_PATH, detail::kStatusMask, &status))) {
        return false;
    }
    times = detail::timesOf(status);
    return true;
}

}  // namespace nevrik::platform
