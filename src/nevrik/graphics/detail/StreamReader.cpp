#include "nevrik/graphics/detail/StreamReader.h"

#include "nevrik/io/TranslatorFormatException.h"

#include <algorithm>
#include <cstring>

namespace nevrik::graphics::detail {

StreamReader::StreamReader(io::InputStream& stream, std::uint64_t limit)
    : mStream(stream), mLeft(limit), mBuffer(kBufferSize) {}

std::size_t StreamReader::read(void* buffer, std::size_t count) {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count && (mNext != mEnd || fill())) {
        const std::size_t step = std::min(count - done, static_cast<std::size_t>(mEnd - mNext));
        std::memcpy(out + done, mNext, step);
        mNext += step;
        done += step;
    }
    return done;
}

void StreamReader::readExactly(void* buffer, std::size_t count) {
    if (read(buffer, count) != count) {
        fail();
    }
}

void StreamReader::fail() {
    throw io::TranslatorFormatException();
}

bool StreamReader::fill() {
    const auto wanted = static_cast<std::int32_t>(std::min<std::uint64_t>(mLeft, kBufferSize));
    const std::int32_t got = wanted > 0 ? mStream.read(mBuffer.data(), wanted) : 0;
    if (got <= 0) {
        return false;
    }
    mLeft -= static_cast<std::uint64_t>(got);
    mNext = mBuffer.data();
    // A stream that claims more than it was asked for gets no further than the buffer.
    mEnd = mNext + std::min(got, wanted);
    return true;
}

}  // namespace nevrik::graphics::detail
