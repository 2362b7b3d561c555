#pragma once

#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::freetype {

/// What a font is asked for: family, style, pixel size and character map.
///
/// A value: held by the Font it describes or by whoever asks for one. One
/// thread at a time.
class Descriptor : public object::Object {
public:
    /// No family, style "regular", 16 x 16 pixels, character map 0.
    Descriptor();
    /// Family and style compare without regard to letter case when a font is chosen.
    Descriptor(const types::String& family, const types::String& style, float width = 16.0f,
               float height = 16.0f);

    /// Family, a space, style.
    types::String toString() const override;
    NEVRIK_CLASS_NAME(object::Object, ":Descriptor")

    const types::String& getFamily() const noexcept { return mFamily; }
    void setFamily(const types::String& family) { mFamily = family; }
    const types::String& getStyle() const noexcept { return mStyle; }
    void setStyle(const types::String& style) { mStyle = style; }
    /// Pixel sizes; a font uses them truncated to whole pixels.
    float getWidth() const noexcept { return mWidth; }
    float getHeight() const noexcept { return mHeight; }
    void setSize(float width, float height) noexcept {
        mWidth = width;
        mHeight = height;
    }
    /// The encoding id of the character map to select.
    std::int32_t getCharmap() const noexcept { return mCharmap; }
    void setCharmap(std::int32_t charmap) noexcept { mCharmap = charmap; }
    /// Travels with the descriptor; fonts do not read it.
    std::int32_t getReserved() const noexcept { return mReserved; }
    void setReserved(std::int32_t reserved) noexcept { mReserved = reserved; }

private:
    types::String mFamily;
    types::String mStyle;
    float mWidth;
    float mHeight;
    std::int32_t mCharmap = 0;
    std::int32_t mReserved = 0;
};

}  // namespace nevrik::freetype
