#pragma once

#include <cstdint>

namespace nevrik::platform {

/// An open file of the operating system, held exclusively.
///
/// Opening takes an exclusive advisory lock on the new descriptor, so a second
/// open of the same file (in this process or another) fails with
/// LastError::kSharingViolation until this one is closed. Every failing call
/// sets LastError and returns a neutral result (false, 0 or kInvalidPosition);
/// nothing here throws. Owned by value by one holder (movable, not copyable);
/// used by one thread at a time.
class NativeFile {
public:
    /// Access bits.
    static constexpr unsigned kRead = 1;
    static constexpr unsigned kWrite = 2;
    /// The result of a failed seek.
    static constexpr std::int32_t kInvalidPosition = -1;

    enum class Origin { kBegin, kCurrent, kEnd };

    /// File times in 100-nanosecond units since 1601-01-01 UTC.
    struct Times {
        /// Birth time where the file system keeps one, else the status change time.
        std::uint64_t creation = 0;
        std::uint64_t modification = 0;
        std::uint64_t access = 0;
    };

    NativeFile() noexcept = default;
    NativeFile(NativeFile&& other) noexcept;
    NativeFile& operator=(NativeFile&& other) noexcept;
    NativeFile(const NativeFile&) = delete;
    NativeFile& operator=(const NativeFile&) = delete;
    /// Closes the file; a failing close is dropped here (call close() to see it).
    ~NativeFile();

    /// Whether anything exists under `path` (a symbolic link counts, dangling or not).
    static bool exists(const char* path) noexcept;
    /// Creates the file or, when it exists, truncates it to 0 bytes once the
    /// lock is held, so a file someone else holds is never truncated. Open for
    /// reading and writing. A closed result means failure.
    static NativeFile create(const char* path) noexcept;
    /// Opens an existing file with the access bits given. Access 0 opens it
    /// with no access: reads and writes are refused. Directories are refused
    /// (kAccessDenied). A closed result means failure.
    static NativeFile open(const char* path, unsigned access) noexcept;

    bool isOpen() const noexcept { return mDescriptor >= 0; }
    unsigned getAccess() const noexcept { return mAccess; }

    /// Closes; returns false when the system reports a failure (the
    /// descriptor is gone either way). Closing a closed file succeeds.
    bool close() noexcept;

    /// One transfer of up to `count` bytes; returns the count moved, 0 on
    /// failure, at the end of the file, for count <= 0 or without the access.
    std::int32_t read(void* buffer, std::int32_t count) noexcept;
    std::int32_t write(const void* buffer, std::int32_t count) noexcept;

    /// Moves to `offset` from `origin` and returns the new position. A target
    /// before the start (kNegativeSeek) or beyond the largest signed 32-bit
    /// position (kInvalidParameter) is refused without moving.
    std::int32_t seek(std::int32_t offset, Origin origin) noexcept;
    /// The size of a regular file, in one call; kInvalidPosition for other
    /// files (kSeekOnDevice) and beyond the signed 32-bit range (kInvalidParameter).
    std::int32_t getSize() const noexcept;
    /// Cuts or extends the file to the current position.
    bool truncate() noexcept;
    /// Writes the file's buffered data to the device.
    bool flush() noexcept;
    bool getTimes(Times& times) const noexcept;

private:
    NativeFile(int descriptor, unsigned access) noexcept : mDescriptor(descriptor), mAccess(access) {}

    static NativeFile openLocked(const char* path, int flags, unsigned access) noexcept;

    int mDescriptor = -1;
    unsigned mAccess = 0;
};

}  // namespace nevrik::platform
