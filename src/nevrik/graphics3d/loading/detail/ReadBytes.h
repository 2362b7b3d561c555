#pragma once

#include "nevrik/io/InputStream.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace nevrik::graphics3d::detail {

// The next `size` bytes of `stream`, or as many as it has; grown as bytes
// arrive, so a size the stream does not back allocates nothing.
inline std::string readBytes(io::InputStream& stream, std::uint32_t size) {
    constexpr std::int32_t kBlock = 1 << 16;
    std::string bytes;
    char block[kBlock];
    while (bytes.size() < size) {
        const auto want = static_cast<std::int32_t>(std::min<std::uint64_t>(kBlock, size - bytes.size()));
        const std::int32_t got = stream.read(block, want);
        if (got <= 0) {
            break;
        }
        bytes.append(block, static_cast<std::size_t>(got));
    }
    return bytes;
}

}  // namespace nevrik::graphics3d::detail
