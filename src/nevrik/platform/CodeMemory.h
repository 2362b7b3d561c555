#pragma once

#include <cstddef>

namespace nevrik::platform {

/// Pages that hold generated machine code.
///
/// load() maps fresh pages writable, copies the code in and only then makes
/// them read-and-execute, so the pages are never writable and executable at
/// once and nothing can change the code after it was loaded. The pages are
/// unmapped when the object dies or loads again. Owned by value by whoever
/// runs the code (a system::Program); movable, not copyable. Loading is not
/// synchronised; the loaded code may be read and run from any thread.
class CodeMemory {
public:
    CodeMemory() noexcept = default;
    ~CodeMemory();
    CodeMemory(CodeMemory&& other) noexcept;
    CodeMemory& operator=(CodeMemory&& other) noexcept;
    CodeMemory(const CodeMemory&) = delete;
    CodeMemory& operator=(const CodeMemory&) = delete;

    /// Replaces any earlier code with a read-and-execute copy of `size` bytes
    /// from `bytes`. Returns false, keeping the earlier code, when size is 0
    /// or the system refuses to map or protect the pages.
    bool load(const void* bytes, std::size_t size) noexcept;

    /// Unmaps the pages; afterwards the memory is empty.
    void release() noexcept;

    /// The first code byte, or null when empty.
    const void* getAddress() const noexcept { return mAddress; }
    /// The size given to load() (the mapping itself is whole pages).
    std::size_t getSize() const noexcept { return mSize; }
    bool isEmpty() const noexcept { return mAddress == nullptr; }

private:
    void* mAddress = nullptr;
    std::size_t mSize = 0;
    std::size_t mMappedSize = 0;
};

}  // namespace nevrik::platform
