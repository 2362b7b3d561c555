#pragma once

// An in-memory stream for the image tests, fuzz targets and benchmarks.

#include "nevrik/io/InputStream.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace nevrik::testing {

/// An InputStream over bytes in memory; skips both ways, as a file does.
class MemoryStream : public io::InputStream {
public:
    /// Over its own copy of `bytes`.
    explicit MemoryStream(std::string bytes)
        : mOwned(std::move(bytes)), mData(mOwned.data()), mSize(mOwned.size()) {}
    /// Over `size` bytes at `data`, which must outlive the stream.
    MemoryStream(const void* data, std::size_t size) : mData(static_cast<const char*>(data)), mSize(size) {}

    std::int32_t read(void* buffer, std::int32_t count) override {
        const auto left = static_cast<std::int64_t>(mSize - mPosition);
        const auto got = static_cast<std::int32_t>(std::clamp<std::int64_t>(count, 0, left));
        std::memcpy(buffer, mData + mPosition, static_cast<std::size_t>(got));
        mPosition += static_cast<std::size_t>(got);
        return got;
    }
    std::int32_t skip(std::int32_t count) override {
        const auto target = std::clamp<std::int64_t>(static_cast<std::int64_t>(mPosition) + count, 0,
                                                     static_cast<std::int64_t>(mSize));
        const auto moved = static_cast<std::int32_t>(target - static_cast<std::int64_t>(mPosition));
        mPosition = static_cast<std::size_t>(target);
        return moved;
    }
    std::uint32_t available() override { return static_cast<std::uint32_t>(mSize - mPosition); }

private:
    std::string mOwned;
    const char* mData;
    std::size_t mSize;
    std::size_t mPosition = 0;
};

}  // namespace nevrik::testing
