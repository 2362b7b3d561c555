#pragma once

#include "nevrik/io/File.h"
#include "nevrik/platform/NativeFile.h"

namespace nevrik::io {

/// A File on the operating system's file API, held exclusively while open.
///
/// Made by SystemFileFactory around the handle it opened (`path` names it in
/// the context of every failure), with one reference
/// for the caller; closes the handle when the last reference goes. Failures of
/// seek, rewind, getSize, setSize and the times throw through
/// IOException::raise(); reads and writes report only counts. One thread at a
/// time.
class SystemFile : public File {
public:
    SystemFile(platform::NativeFile handle, std::uint32_t mode,
               types::String path = types::String()) noexcept;
    /// Never throws: a failing close is dropped, since the object is gone
    /// either way and there is no one left to tell.
    ~SystemFile() override;

    system::Timestamp getCreationTime() override;
    system::Timestamp getModificationTime() override;
    system::Timestamp getAccessTime() override;

    std::int32_t write(const void* buffer, std::int32_t count) override;
    std::int32_t read(void* buffer, std::int32_t count) override;
    std::int32_t seek(std::int32_t offset, int positionMode) override;
    /// The position, or -1 when the system cannot tell; does not throw.
    std::int32_t getPosition() override;
    bool rewind() override;
    bool flush() override;
    std::int32_t getSize() override;
    /// Also throws when the file cannot be resized (opened without kWrite,
    /// say), after putting the position back.
    std::int32_t setSize(std::int32_t size) override;

    NEVRIK_CLASS_NAME(File, ":SystemFile")

private:
    platform::NativeFile::Times getTimes();

    platform::NativeFile mHandle;
    types::String mPath;
};

}  // namespace nevrik::io
