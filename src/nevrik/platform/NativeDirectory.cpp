#include "nevrik/platform/NativeDirectory.h"

#include "nevrik/platform/LastError.h"
#include "nevrik/platform/detail/FileStatus.h"

#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace nevrik::platform {
namespace {

DIR* streamOf(void* stream) noexcept {
    return static_cast<DIR*>(stream);
}

bool isDotEntry(const char* name) noexcept {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

}  // namespace

NativeDirectory::~NativeDirectory() {
    close();
}

bool NativeDirectory::open(const char* path) noexcept {
    close();
    if (path == nullptr) {
        LastError::set(LastError::kInvalidParameter);
        return false;
    }
    mStream = ::opendir(path);
    if (mStream == nullptr) {
        LastError::setFromErrno(errno);
        return false;
    }
    return true;
}

bool NativeDirectory::next(Entry& entry) noexcept {
    if (mStream == nullptr) {
        LastError::set(LastError::kNoMoreFiles);
        return false;
    }
    const dirent* found = ::readdir(streamOf(mStream));
    if (found == nullptr) {
        LastError::set(LastError::kNoMoreFiles);
        return false;
    }
    entry = Entry();
    const std::size_t length = ::strnlen(found->d_name, kNameSize - 1);
    std::memcpy(entry.name, found->d_name, length);
    struct statx status;
    if (::statx(::dirfd(streamOf(mStream)), found->d_name, AT_SYMLINK_NOFOLLOW, detail::kStatusMask,
                &status) == 0) {
        entry.size = status.stx_size;
        entry.times = detail::timesOf(status);
        entry.directory = S_ISDIR(status.stx_mode);
        entry.writable = (status.stx_mode & S_IWUSR) != 0;
        entry.symbolicLink = S_ISLNK(status.stx_mode);
    }
    entry.hidden = entry.name[0] == '.' && !isDotEntry(entry.name);
    return true;
}

void NativeDirectory::close() noexcept {
    if (mStream != nullptr) {
        ::closedir(streamOf(mStream));
        mStream = nullptr;
    }
}

}  // namespace nevrik::platform
