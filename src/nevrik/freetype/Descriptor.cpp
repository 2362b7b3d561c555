#include "nevrik/freetype/Descriptor.h"

namespace nevrik::freetype {

Descriptor::Descriptor() : Descriptor(types::String(), "regular") {}

Descriptor::Descriptor(const types::String& family, const types::String& style, float width, float height)
    : mFamily(family), mStyle(style), mWidth(width), mHeight(height) {}

types::String Descriptor::toString() const {
    return mFamily + " " + mStyle;
}

}  // namespace nevrik::freetype
