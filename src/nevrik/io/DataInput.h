#pragma once

#include "nevrik/io/InputStream.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::io {

/// Reads text lines from an InputStream.
///
/// A carriage return, a line feed, a carriage return and line feed, or a NUL
/// ends a line; a line feed right after a carriage return (or after a line feed
/// skipped that way, or first in the stream) is skipped. Reads ahead in blocks
/// but puts back what a line did not use, so the stream stands right after the
/// last line's terminator and may be read directly between lines; a stream that
/// cannot move back (skip refused) keeps those bytes here for the next line.
/// Holds a reference on the stream: a file's embedded stream must not outlive
/// its file. One thread at a time.
class DataInput : public object::Object {
public:
    explicit DataInput(InputStream& stream);

    /// The next line without its terminator; empty at the end of the stream.
    /// A stream that reports bytes available but reads none ends the line.
    types::String readLine();

    NEVRIK_CLASS_NAME(object::Object, ":DataInput")

    /// Every byte the lines have taken from the stream so far.
    std::int32_t getCount() const noexcept { return mCount; }

private:
    // Each block costs a few system calls; a typical line fits one, and
    // reading back what a short line left over costs less than another call.
    static constexpr std::int32_t kBlockSize = 1024;

    bool fill();
    void putBack();

    object::Pointer<InputStream> mStream;
    std::int32_t mCount = 0;
    char mLast = '\r';
    char mBlock[kBlockSize] = {};
    std::int32_t mUsed = 0;
    std::int32_t mFilled = 0;
};

}  // namespace nevrik::io
