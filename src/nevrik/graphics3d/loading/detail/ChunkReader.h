#pragma once

#include "nevrik/container/Stack.h"
#include "nevrik/io/InputStream.h"
#include "nevrik/types/String.h"

#include <cstdint>
#include <vector>

namespace nevrik::graphics3d::detail {

/// Walks a tree of little-endian chunks (a 2-byte id and a 4-byte length
/// that counts the 6-byte header) and reads the data of chunk bodies.
///
/// Every chunk must fit in its parent's scope and every read in the current
/// body; anything else, and any short read, throws
/// io::TranslatorFormatException, so a hostile length or count is caught
/// before it is used. Held by value by a model reader; borrows the stream
/// from start() to finish(). One thread at a time.
class ChunkReader {
public:
    static constexpr std::int32_t kHeaderSize = 6;
    /// The most bytes a NUL-terminated name may take, terminator included.
    static constexpr std::int32_t kMaxNameBytes = 63;

    ChunkReader() = default;
    ChunkReader(const ChunkReader&) = delete;
    ChunkReader& operator=(const ChunkReader&) = delete;

    /// Starts over on `stream`, whose next `size` bytes make the outer scope.
    void start(io::InputStream& stream, std::int32_t size);
    /// Lets go of the stream and the scopes entered.
    void finish() noexcept;

    /// Moves to the next chunk of the current scope, skipping what is left of
    /// the previous one. False when the scope is used up.
    bool next();
    /// Makes the current chunk's body the scope that next() walks.
    void enter();
    /// Skips the rest of the scope entered last and returns to its parent;
    /// the parent's current chunk then has no body left.
    void leave();

    /// Fills `buffer` with `count` bytes of the current body.
    void read(void* buffer, std::int32_t count);
    /// Reads min(count, bytes left in the body) bytes and returns how many.
    std::int32_t readUpTo(void* buffer, std::int32_t count);
    std::uint16_t readU16();
    float readFloat();
    /// Replace `values` by `count` numbers of the current body; the count is
    /// checked against the body before any memory is taken.
    void readU16s(std::vector<std::uint16_t>& values, std::int32_t count);
    void readFloats(std::vector<float>& values, std::int32_t count);
    /// A NUL-terminated name of at most kMaxNameBytes bytes, fewer when the
    /// body ends first; a name cut short loses its last byte to the
    /// terminator.
    types::String readName();
    /// The rest of the body up to its first NUL.
    types::String readString();

    std::uint16_t getId() const noexcept { return mId; }
    /// Unread bytes of the current chunk's body.
    std::int32_t getBodyLeft() const noexcept { return mBody; }
    /// Unread bytes of the current scope after the current chunk.
    std::int32_t getScopeLeft() const noexcept { return mScope; }
    /// Scopes entered and not yet left.
    int getDepth() const noexcept { return mStack.getCount(); }

private:
    struct Chunk {
        std::uint16_t id;
        std::int32_t scope;
    };

    void skip(std::int32_t count);
    // Throw unless the stream gives all `count` bytes; readBody also counts
    // them off the current body.
    void readStream(void* buffer, std::int32_t count);
    void readBody(void* buffer, std::int32_t count);
    // `count` little-endian words of 2 or 4 bytes into `values`, whose
    // elements are that wide.
    template <class Word>
    void readWords(std::vector<Word>& values, std::int32_t count);

    io::InputStream* mStream = nullptr;
    container::Stack<Chunk, 64> mStack;
    std::uint16_t mId = 0;
    std::int32_t mBody = 0;
    std::int32_t mScope = 0;
};

}  // namespace nevrik::graphics3d::detail
