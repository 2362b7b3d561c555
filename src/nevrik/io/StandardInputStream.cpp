#include "nevrik/io/StandardInputStream.h"

#include <cstdio>

namespace nevrik::io {

StandardInputStream& StandardInputStream::get() noexcept {
    static StandardInputStream sInstance;
    return sInstance;
}

std::int32_t StandardInputStream::read(void* buffer, std::int32_t count) {
    if (count <= 0) {
        return 0;
    }
    return std::fread(buffer, static_cast<std::size_t>(count), 1, stdin) == 1 ? count : 0;
}

std::int32_t StandardInputStream::skip(std::int32_t count) {
    return std::fseek(stdin, count, SEEK_CUR) == 0 ? count : 0;
}

std::uint32_t StandardInputStream::available() {
    return 1;
}

}  // namespace nevrik::io
