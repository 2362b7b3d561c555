#include "nevrik/io/detail/ConsoleOutputStream.h"

namespace nevrik::io::detail {

std::int32_t ConsoleOutputStream::write(const void* buffer, std::int32_t count) {
    // A negative count would become a huge size_t and run past the buffer.
    if (count <= 0) {
        return 0;
    }
    return std::fwrite(buffer, static_cast<std::size_t>(count), 1, mStream) == 1 ? count : 0;
}

bool ConsoleOutputStream::flush() {
    std::fflush(mStream);
    return true;
}

}  // namespace nevrik::io::detail
