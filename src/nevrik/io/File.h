#pragma once

#include "nevrik/io/FileInputStream.h"
#include "nevrik/io/FileOutputStream.h"
#include "nevrik/io/StreamFactory.h"
#include "nevrik/system/Timestamp.h"

#include <cstdint>

namespace nevrik::io {

/// An open file: reads, writes, seeks and reports its times, and hands out the
/// one input and one output stream it embeds.
///
/// Made by a FileFactory with one reference for the caller; the embedded
/// streams live as long as the file and hold no reference on it. Positions,
/// offsets and sizes are signed 32-bit: files beyond 2 GiB are not addressed.
/// One thread at a time.
class File : public StreamFactory {
public:
    /// Mode bits: which transfers the file serves.
    static constexpr std::uint32_t kRead = 1;
    static constexpr std::uint32_t kWrite = 2;
    /// Position modes of seek().
    static constexpr int kBegin = 1;
    static constexpr int kCurrent = 2;
    static constexpr int kEnd = 3;

    explicit File(std::uint32_t mode);
    /// Closes both embedded streams before they die.
    ~File() override;

    InputStream& getInputStream() override { return mInput; }
    OutputStream& getOutputStream() override { return mOutput; }

    /// The moment this object was made, unless a subclass knows the file's own times.
    virtual system::Timestamp getCreationTime();
    virtual system::Timestamp getModificationTime();
    virtual system::Timestamp getAccessTime();

    /// Returns the number of bytes written; short or failed writes show only in the count.
    virtual std::int32_t write(const void* buffer, std::int32_t count) = 0;
    /// Returns the number of bytes read; short or failed reads show only in the count.
    virtual std::int32_t read(void* buffer, std::int32_t count) = 0;
    /// Moves to `offset` from kBegin, kCurrent or kEnd and returns the new
    /// position. Any other mode throws IllegalPositionModeException without
    /// moving.
    virtual std::int32_t seek(std::int32_t offset, int positionMode) = 0;
    virtual std::int32_t getPosition() = 0;
    /// Moves to the start; returns true.
    virtual bool rewind() = 0;
    /// Whether buffered data reached the device.
    virtual bool flush() = 0;
    /// The size; the position is kept.
    virtual std::int32_t getSize() = 0;
    /// Cuts or extends the file to `size` and returns it; the position is
    /// kept, even when it now lies past the end.
    virtual std::int32_t setSize(std::int32_t size) = 0;

    NEVRIK_CLASS_NAME(object::Object, ":File")

    std::uint32_t getMode() const noexcept { return mMode; }

private:
    system::Timestamp mMade;
    std::uint32_t mMode;
    FileInputStream mInput;
    FileOutputStream mOutput;
};

}  // namespace nevrik::io
