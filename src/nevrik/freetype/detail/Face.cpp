#include "nevrik/freetype/detail/Face.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace nevrik::freetype::detail {
namespace {

constexpr unsigned long kMaxOffset = std::numeric_limits<std::int32_t>::max();

// FreeType's read hook. A call with count 0 is a bare seek, which answers 0
// for success; any other call answers the bytes it read. Nothing may be
// thrown back through FreeType's C frames.
unsigned long readFile(FT_Stream stream, unsigned long offset, unsigned char* buffer,
                       unsigned long count) noexcept {
    const unsigned long failed = count == 0 ? 1 : 0;
    auto& file = *static_cast<io::File*>(stream->descriptor.pointer);
    if ((file.getMode() & io::File::kRead) == 0 || offset > kMaxOffset) {
        return failed;
    }
    try {
        file.seek(static_cast<std::int32_t>(offset), io::File::kBegin);
        unsigned long done = 0;
        while (done < count) {
            const auto chunk = static_cast<std::int32_t>(std::min(count - done, kMaxOffset));
            const std::int32_t got = file.read(buffer + done, chunk);
            if (got <= 0) {
                break;
            }
            done += static_cast<unsigned long>(got);
        }
        return done;
    } catch (...) {
        return failed;
    }
}

types::String orEmpty(const char* name) {
    return name != nullptr ? types::String(name) : types::String();
}

// The file belongs to the caller, who closes it after the face.
void keepFile(FT_Stream) noexcept {}

}  // namespace

Face::Face(io::File& file) noexcept : mGuard(Library::instance().getMutex()) {
    FT_Library library = Library::instance().getHandle();
    std::int32_t size = 0;
    try {
        size = file.getSize();
    } catch (...) {
        return;
    }
    if (library == nullptr || size < 0) {
        return;
    }
    mStream.base = nullptr;
    mStream.size = static_cast<unsigned long>(size);
    mStream.pos = 0;
    mStream.descriptor.pointer = &file;
    mStream.read = readFile;
    mStream.close = keepFile;

    FT_Open_Args arguments = {};
    arguments.flags = FT_OPEN_STREAM;
    arguments.stream = &mStream;
    if (FT_Open_Face(library, &arguments, 0, &mFace) != 0) {
        mFace = nullptr;
    }
}

types::String Face::getFamilyName() const {
    return orEmpty(mFace->family_name);
}

types::String Face::getStyleName() const {
    return orEmpty(mFace->style_name);
}

Face::~Face() {
    if (mFace != nullptr) {
        FT_Done_Face(mFace);
    }
}

}  // namespace nevrik::freetype::detail
