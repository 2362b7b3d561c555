#pragma once

#include "nevrik/io/File.h"

#include <cstddef>
#include <cstdint>

namespace nevrik::io {

/// A read-only File over bytes in memory, so that whatever reads files
/// (translator probes and reads) can read a picture or a model that another
/// file embeds.
///
/// Borrows the bytes, which must outlive it; never writes and keeps its size.
/// Reference-counted like every file, or held by value; one thread at a time.
class MemoryFile : public File {
public:
    /// Over `size` bytes at `data`; more than 2 GiB are not addressed.
    MemoryFile(const void* data, std::size_t size) noexcept;

    /// Writes nothing: returns 0.
    std::int32_t write(const void* buffer, std::int32_t count) override;
    std::int32_t read(void* buffer, std::int32_t count) override;
    /// A target past the end stops at the end; one before the start throws
    /// FileSeekException, not moving (other modes as every file).
    std::int32_t seek(std::int32_t offset, int positionMode) override;
    std::int32_t getPosition() override { return mPosition; }
    bool rewind() override;
    bool flush() override { return true; }
    std::int32_t getSize() override { return mSize; }
    /// The bytes are not the file's own: the size stays, and is returned.
    std::int32_t setSize(std::int32_t size) override;

    NEVRIK_CLASS_NAME(File, ":MemoryFile")

private:
    const std::uint8_t* mData;
    std::int32_t mSize;
    std::int32_t mPosition = 0;
};

}  // namespace nevrik::io
