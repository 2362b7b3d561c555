#include "nevrik/graphics3d/loading/detail/ChunkReader.h"

#include "nevrik/io/TranslatorFormatException.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <type_traits>

namespace nevrik::graphics3d::detail {
namespace {

std::uint32_t littleEndian(const std::uint8_t* bytes, int width) noexcept {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

}  // namespace

void ChunkReader::start(io::InputStream& stream, std::int32_t size) {
    finish();
    mStream = &stream;
    mScope = size;
}

void ChunkReader::finish() noexcept {
    mStream = nullptr;
    mStack.clear();
    mId = 0;
    mBody = 0;
    mScope = 0;
}

bool ChunkReader::next() {
    if (mScope == 0) {
        return false;
    }
    if (mScope < kHeaderSize) {
        throw io::TranslatorFormatException();
    }
    skip(mBody);
    mBody = 0;
    std::uint8_t header[kHeaderSize];
    readStream(header, kHeaderSize);
    const std::uint32_t length = littleEndian(header + 2, 4);
    // A length below the header would make the body negative and send the
    // next skip backwards.
    if (length < static_cast<std::uint32_t>(kHeaderSize) || length > static_cast<std::uint32_t>(mScope)) {
        throw io::TranslatorFormatException();
    }
    mId = static_cast<std::uint16_t>(littleEndian(header, 2));
    mBody = static_cast<std::int32_t>(length) - kHeaderSize;
    mScope -= static_cast<std::int32_t>(length);
    return true;
}

void ChunkReader::enter() {
    mStack.push(Chunk{mId, mScope});
    mScope = mBody;
    mBody = 0;
    mId = 0;
}

void ChunkReader::leave() {
    // Both stay within the entered body, so the sum cannot overflow.
    skip(mScope + mBody);
    const Chunk* parent = mStack.getTop();
    assert(parent != nullptr && "leave() without enter()");
    mId = parent->id;
    mScope = parent->scope;
    mBody = 0;
    mStack.pop();
}

void ChunkReader::read(void* buffer, std::int32_t count) {
    if (count < 0 || count > mBody) {
        throw io::TranslatorFormatException();
    }
    readBody(buffer, count);
}

std::int32_t ChunkReader::readUpTo(void* buffer, std::int32_t count) {
    const std::int32_t wanted = std::clamp(count, 0, mBody);
    readBody(buffer, wanted);
    return wanted;
}

std::uint16_t ChunkReader::readU16() {
    std::uint8_t bytes[2];
    read(bytes, 2);
    return static_cast<std::uint16_t>(littleEndian(bytes, 2));
}

float ChunkReader::readFloat() {
    std::uint8_t bytes[4];
    read(bytes, 4);
    const std::uint32_t bits = littleEndian(bytes, 4);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void ChunkReader::readU16s(std::vector<std::uint16_t>& values, std::int32_t count) {
    readWords(values, count);
}

void ChunkReader::readFloats(std::vector<float>& values, std::int32_t count) {
    readWords(values, count);
}

template <class Word>
void ChunkReader::readWords(std::vector<Word>& values, std::int32_t count) {
    constexpr int kWidth = sizeof(Word);
    static_assert(kWidth == 2 || kWidth == 4, "words of 2 or 4 bytes");
    using Bits = std::conditional_t<kWidth == 2, std::uint16_t, std::uint32_t>;
    if (count < 0 || count > mBody / kWidth) {
        throw io::TranslatorFormatException();
    }
    values.resize(static_cast<std::size_t>(count));
    read(values.data(), count * kWidth);
    for (Word& value : values) {
        std::uint8_t bytes[kWidth];
        std::memcpy(bytes, &value, kWidth);
        const auto bits = static_cast<Bits>(littleEndian(bytes, kWidth));
        std::memcpy(&value, &bits, kWidth);
    }
}

types::String ChunkReader::readName() {
    char name[kMaxNameBytes];
    const std::int32_t limit = std::min(mBody, kMaxNameBytes);
    std::int32_t length = 0;
    while (length < limit) {
        readBody(name + length, 1);
        if (name[length] == '\0') {
            return types::String(name, static_cast<std::size_t>(length));
        }
        ++length;
    }
    // Cut short: the last byte read gives way to the terminator.
    return types::String(name, static_cast<std::size_t>(std::max(length - 1, 0)));
}

types::String ChunkReader::readString() {
    // In pieces, keeping bytes only up to the first NUL: a long body costs
    // no more memory than the text it holds.
    types::String text;
    bool ended = false;
    char piece[256];
    while (mBody > 0) {
        const std::int32_t count = std::min(mBody, static_cast<std::int32_t>(sizeof piece));
        readBody(piece, count);
        if (!ended) {
            const auto* end =
                static_cast<const char*>(std::memchr(piece, '\0', static_cast<std::size_t>(count)));
            ended = end != nullptr;
            text.append(piece,
                        ended ? static_cast<std::size_t>(end - piece) : static_cast<std::size_t>(count));
        }
    }
    return text;
}

// Streams may move less than asked before their end; only a step of
// nothing means the data ran out.
void ChunkReader::skip(std::int32_t count) {
    while (count > 0) {
        const std::int32_t moved = mStream->skip(count);
        if (moved <= 0 || moved > count) {
            throw io::TranslatorFormatException();
        }
        count -= moved;
    }
}

void ChunkReader::readStream(void* buffer, std::int32_t count) {
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    while (count > 0) {
        const std::int32_t got = mStream->read(bytes, count);
        if (got <= 0 || got > count) {
            throw io::TranslatorFormatException();
        }
        bytes += got;
        count -= got;
    }
}

void ChunkReader::readBody(void* buffer, std::int32_t count) {
    readStream(buffer, count);
    mBody -= count;
}

}  // namespace nevrik::graphics3d::detail
