#pragma once

#include "nevrik/types/String.h"

namespace nevrik::freetype {

/// One font file a FontFactory found: its name in the folder and its face's
/// style and family, both in lower case (empty when the face names none).
///
/// A value held in the factory's registry. One thread at a time.
class FontInfo {
public:
    FontInfo() = default;
    FontInfo(const types::String& fileName, const types::String& style, const types::String& family)
        : mFileName(fileName), mStyle(style), mFamily(family) {}

    const types::String& getFileName() const noexcept { return mFileName; }
    const types::String& getStyle() const noexcept { return mStyle; }
    const types::String& getFamily() const noexcept { return mFamily; }

private:
    types::String mFileName;
    types::String mStyle;
    types::String mFamily;
};

}  // namespace nevrik::freetype
