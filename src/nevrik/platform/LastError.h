#pragma once

#include <cstdint>

namespace nevrik::platform {

/// The calling thread's last error of the file layer, as a Win32 error code.
///
/// Every failing NativeFile or NativeDirectory operation sets it before
/// returning, so the caller can turn it into an exception right after the call,
/// on the same thread. Codes that the engine's error table knows are mapped
/// from errno; any other errno gets a code outside that table (customer bit
/// set), so it still reads as a failure but as no particular one. Per thread;
/// each thread sees only its own code.
class LastError {
public:
    static constexpr std::uint32_t kSuccess = 0;
    static constexpr std::uint32_t kFileNotFound = 2;
    static constexpr std::uint32_t kPathNotFound = 3;
    static constexpr std::uint32_t kTooManyOpenFiles = 4;
    static constexpr std::uint32_t kAccessDenied = 5;
    static constexpr std::uint32_t kNoMoreFiles = 18;
    static constexpr std::uint32_t kWriteProtect = 19;
    static constexpr std::uint32_t kWriteFault = 29;
    static constexpr std::uint32_t kReadFault = 30;
    static constexpr std::uint32_t kSharingViolation = 32;
    static constexpr std::uint32_t kFileExists = 80;
    static constexpr std::uint32_t kInvalidParameter = 87;
    static constexpr std::uint32_t kDiskFull = 112;
    static constexpr std::uint32_t kNegativeSeek = 131;
    static constexpr std::uint32_t kSeekOnDevice = 132;
    /// Bit 29 marks codes that are not system codes: errno values without a
    /// Win32 counterpart are reported as kUnmapped | errno.
    static constexpr std::uint32_t kUnmapped = 0x20000000u;

    /// What the failing call was doing; EIO means a read or a write fault.
    enum class Transfer { kNone, kRead, kWrite };

    static std::uint32_t get() noexcept;
    static void set(std::uint32_t code) noexcept;

    /// Sets and returns the code for `error` (an errno value). ENOENT gives
    /// kFileNotFound; callers that know the folder is missing set
    /// kPathNotFound themselves.
    static std::uint32_t setFromErrno(int error, Transfer transfer = Transfer::kNone) noexcept;
};

}  // namespace nevrik::platform
