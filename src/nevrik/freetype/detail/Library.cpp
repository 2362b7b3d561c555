#include "nevrik/freetype/detail/Library.h"

namespace nevrik::freetype::detail {
namespace {

// The handle exists before main() runs.
[[maybe_unused]] Library& sLibrary = Library::instance();

}  // namespace

Library& Library::instance() {
    static Library library;
    return library;
}

Library::Library() noexcept {
    if (FT_Init_FreeType(&mHandle) != 0) {
        mHandle = nullptr;
    }
}

Library::~Library() {
    if (mHandle != nullptr) {
        FT_Done_FreeType(mHandle);
    }
}

}  // namespace nevrik::freetype::detail
