#pragma once

#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::graphics {

using uchar = std::uint8_t;

/// 256 colours of four components each, all 0 at first, that an indexed image
/// points into. The order of the components is the one the codec filling it
/// uses; the built-in codecs store red, green, blue, alpha (or 0).
///
/// Reference-counted: an indexed Bitmap holds one; copies of the entries move
/// between images through Image::getPalette and Image::setPalette. One thread
/// at a time.
template <class T>
class Palette : public object::Object {
public:
    static constexpr int kSize = 256;
    static constexpr int kComponents = 4;

    NEVRIK_CLASS_NAME(object::Object, ":Palette")

    T* getEntry(int index) noexcept { return mEntries[index]; }
    const T* getEntry(int index) const noexcept { return mEntries[index]; }
    void setEntry(int index, T c0, T c1, T c2, T c3) noexcept {
        T* entry = mEntries[index];
        entry[0] = c0;
        entry[1] = c1;
        entry[2] = c2;
        entry[3] = c3;
    }

private:
    T mEntries[kSize][kComponents] = {};
};

}  // namespace nevrik::graphics
