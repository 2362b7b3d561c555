#pragma once

#include "nevrik/object/Object.h"
#include "nevrik/system/Timestamp.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::io {

/// One entry of a directory listing: name, size, times and flags.
///
/// A value held by its Directory; its text form is its name. One thread at a time.
class FileInfo : public object::Object {
public:
    /// Flag bits. kReadable is always set; 0x08 is never used.
    static constexpr std::uint8_t kReadable = 0x01;
    static constexpr std::uint8_t kWritable = 0x02;
    static constexpr std::uint8_t kDirectory = 0x04;
    static constexpr std::uint8_t kHidden = 0x10;
    static constexpr std::uint8_t kReparsePoint = 0x20;
    /// Room for the name, its NUL included; longer names are cut.
    static constexpr int kNameSize = 256;

    FileInfo() noexcept = default;
    FileInfo(const char* name, std::uint32_t size, const system::Timestamp& creationTime,
             const system::Timestamp& modificationTime, const system::Timestamp& accessTime,
             std::uint8_t flags) noexcept;

    /// The entry's name.
    types::String toString() const override;
    NEVRIK_CLASS_NAME(object::Object, ":FileInfo")

    const char* getFileName() const noexcept { return mName; }
    /// The low 32 bits of the size.
    std::uint32_t getSize() const noexcept { return mSize; }
    const system::Timestamp& getCreationTime() const noexcept { return mCreationTime; }
    const system::Timestamp& getModificationTime() const noexcept { return mModificationTime; }
    const system::Timestamp& getAccessTime() const noexcept { return mAccessTime; }
    std::uint8_t getFlags() const noexcept { return mFlags; }

private:
    char mName[kNameSize] = {};
    std::uint32_t mSize = 0;
    system::Timestamp mCreationTime;
    system::Timestamp mModificationTime;
    system::Timestamp mAccessTime;
    std::uint8_t mFlags = 0;
};

}  // namespace nevrik::io
