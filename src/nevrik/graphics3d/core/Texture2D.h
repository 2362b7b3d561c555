#pragma once

#include "nevrik/graphics3d/core/Texture.h"
#include "nevrik/object/Pointer.h"

#include <cstdint>

namespace nevrik::graphics {
class Image;
}

namespace nevrik::graphics3d {

/// A two-dimensional texture, made from an image (and its chain of mipmap
/// levels) or empty, with sides that are powers of two.
///
/// Reference-counted; made only by create(). Used on the thread of the
/// current context.
class Texture2D : public Texture {
public:
    // clone() and create() make their objects with make().
    template <class U, class... Arguments>
    friend object::Pointer<U> object::make(Arguments&&...);

    /// Level counts of create(image, levels) besides a plain count.
    static constexpr std::int32_t kAllLevels = -1;
    static constexpr std::int32_t kGeneratedLevels = -2;

    /// A new texture (reference count 1, the caller's) from `image`, bound
    /// on the active unit. The sides become the smallest powers of two not
    /// below the image's; another size is reached by resizing the image
    /// (nearest neighbour), which leaves its chain behind. `levels` counts
    /// the images of the chain to upload as levels 0, 1, ...: kAllLevels
    /// uploads the whole chain (at most 256) with mipmap generation off,
    /// kGeneratedLevels only level 0 with mipmap generation on. The chain
    /// ends early at an image of another format. Indexed images go through
    /// their palette. Compressed (DXT) images go up as blocks where the
    /// context offers S3TC and the sides are powers of two; otherwise they
    /// are decoded to PIXEL_RGBA8 first (graphics::FilterDecompress). Throws TypeException for a pixel format
    /// that makes no texture, TextureException when no context is current, when OpenGL refuses the name, the binding or the upload, when
    /// a side exceeds the driver's limit or when the image cannot be resized (pixels of 12 or 16 bytes); a
    /// resized image too large for a Bitmap throws FilterResize's object::Exception.
    static object::Pointer<Texture2D> create(graphics::Image& image, std::int32_t levels);
    /// A new texture (reference count 1, the caller's) of `format` with
    /// undefined content, its sides rounded up to powers of two; mipmap
    /// generation is on exactly for kGeneratedLevels. Throws TypeException
    /// and TextureException as above, and TextureException for a negative
    /// side.
    static object::Pointer<Texture2D> create(std::uint32_t format, std::int32_t width, std::int32_t height,
                                             std::int32_t levels);

    NEVRIK_CLASS_NAME(Texture, ":Texture2D")

    /// Replaces the top-left corner of `level` with `image`, which should
    /// be of the level's size. The texture bound on the active unit stays
    /// bound. Compressed images are decoded to PIXEL_RGBA8 first. Throws
    /// TypeException for a pixel format that makes no texture;
    /// false when the image has no pixels or OpenGL refuses the upload (an
    /// image larger than the level, a level it does not have).
    bool update(graphics::Image& image, std::int32_t level);

    /// Level 0's size as read back.
    std::int32_t getWidth() const noexcept { return mWidth; }
    std::int32_t getHeight() const noexcept { return mHeight; }

private:
    explicit Texture2D(std::uint32_t name);
    ~Texture2D() override = default;

    std::int32_t mWidth = 0;
    std::int32_t mHeight = 0;
};

}  // namespace nevrik::graphics3d
