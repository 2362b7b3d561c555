#pragma once

#include "nevrik/platform/NativeFile.h"

#include <cstdint>

namespace nevrik::platform {

/// Reads the entries of one folder in the order the system keeps them, "."
/// and ".." included, nothing filtered or sorted.
///
/// Owned by value by the lister; closes itself when destroyed. Not copyable;
/// one thread at a time.
class NativeDirectory {
public:
    /// Longest entry name kept, its NUL included.
    static constexpr int kNameSize = 256;

    /// One entry, described without following a symbolic link.
    struct Entry {
        char name[kNameSize] = {};
        std::uint64_t size = 0;
        NativeFile::Times times;
        bool directory = false;
        /// The owner may write it.
        bool writable = false;
        /// Named with a leading dot, other than "." and "..".
        bool hidden = false;
        bool symbolicLink = false;
    };

    NativeDirectory() noexcept = default;
    NativeDirectory(const NativeDirectory&) = delete;
    NativeDirectory& operator=(const NativeDirectory&) = delete;
    ~NativeDirectory();

    /// Starts listing `path` (closing any earlier listing); false with
    /// LastError set when it cannot be read.
    bool open(const char* path) noexcept;
    /// The next entry; false at the end (LastError::kNoMoreFiles) or when
    /// nothing is open. An entry removed while being described keeps its name
    /// and reads with zero size and times.
    bool next(Entry& entry) noexcept;
    void close() noexcept;

private:
    void* mStream = nullptr;
};

}  // namespace nevrik::platform
