#pragma once

#include "nevrik/object/Noncopyable.h"
#include "nevrik/system/Mutex.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace nevrik::freetype::detail {

/// The process's one FreeType handle and the mutex that every FreeType call
/// holds.
///
/// Made before main() runs (or by its first user, should a static
/// initialiser get there first) and released at exit. Any thread may take
/// the mutex; the handle is used only with it held.
class Library : private object::Noncopyable {
public:
    static Library& instance();

    /// Null when FreeType could not be started: no face will open then.
    FT_Library getHandle() const noexcept { return mHandle; }
    system::Mutex& getMutex() noexcept { return mMutex; }

private:
    Library() noexcept;
    ~Library();

    system::Mutex mMutex;
    FT_Library mHandle = nullptr;
};

}  // namespace nevrik::freetype::detail
