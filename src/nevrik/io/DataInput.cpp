#include "nevrik/io/DataInput.h"

namespace nevrik::io {

DataInput::DataInput(InputStream& stream) : mStream(&stream) {}

types::String DataInput::readLine() {
    types::String line;
    bool ended = false;
    while (!ended && (mUsed < mFilled || fill())) {
        const std::int32_t taken = mUsed;
        std::int32_t start = mUsed;
        while (mUsed < mFilled && !ended) {
            const char byte = mBlock[mUsed++];
            // A line feed after a carriage return completes that line end; it
            // does not count as the last character either.
            const bool skipped = byte == '\n' && mLast == '\r';
            if (byte != '\n') {
                mLast = byte;
            }
            ended = byte == '\n' ? !skipped : byte == '\0' || byte == '\r';
            if (skipped || ended) {
                line.append(mBlock + start, static_cast<std::size_t>(mUsed - 1 - start));
                start = mUsed;
            }
        }
        line.append(mBlock + start, static_cast<std::size_t>(mUsed - start));
        // Wraps rather than overflows on a console that never ends.
        mCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(mCount) +
                                           static_cast<std::uint32_t>(mUsed - taken));
    }
    putBack();
    return line;
}

bool DataInput::fill() {
    const std::uint32_t available = mStream->available();
    if (available == 0) {
        return false;
    }
    const std::int32_t wanted = available < kBlockSize ? static_cast<std::int32_t>(available) : kBlockSize;
    const std::int32_t read = mStream->read(mBlock, wanted);
    // A stream that claims bytes but yields none would otherwise spin forever.
    if (read <= 0) {
        return false;
    }
    mUsed = 0;
    mFilled = read < wanted ? read : wanted;
    return true;
}

void DataInput::putBack() {
    const std::int32_t rest = mFilled - mUsed;
    if (rest > 0 && mStream->skip(-rest) == -rest) {
        mUsed = mFilled = 0;
    }
}

}  // namespace nevrik::io
