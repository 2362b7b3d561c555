#pragma once

#include "nevrik/graphics/Palette.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::graphics {

/// A width x height rectangle of pixels in one pixel format (PixelFormat.h),
/// rows tightly packed with memory row 0 the top row, with an optional
/// palette and an optional chain of further images through `next`: the
/// smaller mipmap levels, the other cube faces or the volume slices.
///
/// Reference-counted; an image holds one reference on its `next`. One thread
/// at a time.
class Image : public object::Object {
public:
    /// The width and height of an image, in pixels.
    struct Size {
        std::int32_t width = 0;
        std::int32_t height = 0;
    };

    /// The pitch follows from the format and the width (getBytesPerPixel).
    Image(std::uint32_t format, std::int32_t width, std::int32_t height) noexcept;
    Image(std::uint32_t format, Size size) noexcept;
    /// Lets go of `next`; a long chain goes link by link, not by recursion.
    ~Image() override;

    /// The first byte of the top row (rows follow `pitch` bytes apart), or
    /// null when there are no pixels. Users set the locked flag while they
    /// hold the pointer.
    virtual std::uint8_t* lock() = 0;
    virtual void unlock() = 0;
    /// Copies the image's palette into `palette`; false, leaving it
    /// unchanged, when the image has none.
    virtual bool getPalette(Palette<uchar>& palette) const = 0;
    /// Copies `palette` into the image's palette; false when it has none.
    virtual bool setPalette(const Palette<uchar>& palette) = 0;

    /// The name, empty until set.
    types::String getName() const override { return mName; }
    NEVRIK_CLASS_NAME(object::Object, ":Image")

    void setName(const types::String& name) { mName = name; }
    /// The next image of the chain, or null.
    Image* getNext() const noexcept { return mNext.get(); }
    /// Takes a reference on `next` and lets go of the old one.
    void setNext(Image* next) noexcept { mNext.reset(next); }
    std::int32_t getWidth() const noexcept { return mWidth; }
    std::int32_t getHeight() const noexcept { return mHeight; }
    Size getSize() const noexcept { return Size{mWidth, mHeight}; }
    std::int32_t getPitch() const noexcept { return mPitch; }
    std::uint32_t getFormat() const noexcept { return mFormat; }
    bool isLocked() const noexcept { return mLocked; }
    void setLocked(bool locked) noexcept { mLocked = locked; }

private:
    types::String mName;
    object::Pointer<Image> mNext;
    std::int32_t mWidth;
    std::int32_t mHeight;
    std::int32_t mPitch;
    std::uint32_t mFormat;
    bool mLocked = false;
};

}  // namespace nevrik::graphics
