#include "nevrik/platform/LastError.h"

#include <cerrno>

namespace nevrik::platform {
namespace {

thread_local std::uint32_t sLastError = LastError::kSuccess;

std::uint32_t codeFor(int error, LastError::Transfer transfer) noexcept {
    switch (error) {
        case 0:
            return LastError::kSuccess;
        case ENOENT:
            return LastError::kFileNotFound;
        case ENOTDIR:
            return LastError::kPathNotFound;
        case EACCES:
        case EPERM:
        case EISDIR:
            return LastError::kAccessDenied;
        case EMFILE:
        case ENFILE:
            return LastError::kTooManyOpenFiles;
        case EROFS:
            return LastError::kWriteProtect;
        case EWOULDBLOCK:
            return LastError::kSharingViolation;
        case EEXIST:
            return LastError::kFileExists;
        case EINVAL:
            return LastError::kInvalidParameter;
        case ENOSPC:
        case EDQUOT:
            return LastError::kDiskFull;
        case ESPIPE:
            return LastError::kSeekOnDevice;
        case EIO:
            if (transfer == LastError::Transfer::kRead) {
                return LastError::kReadFault;
            }
            if (transfer == LastError::Transfer::kWrite) {
                return LastError::kWriteFault;
            }
            break;
        default:
            break;
    }
    return LastError::kUnmapped | static_cast<std::uint32_t>(error);
}

}  // namespace

std::uint32_t LastError::get() noexcept {
    return sLastError;
}

void LastError::set(std::uint32_t code) noexcept {
    sLastError = code;
}

std::uint32_t LastError::setFromErrno(int error, Transfer transfer) noexcept {
    sLastError = codeFor(error, transfer);
    return sLastError;
}

}  // namespace nevrik::platform
