#pragma once

#include "nevrik/graphics/FilterImage.h"

namespace nevrik::graphics {

/// Decodes block-compressed pictures (PIXEL_DXT1, PIXEL_DXT3, PIXEL_DXT5) to
/// PIXEL_RGBA8, for the consumers that cannot take the blocks themselves (a
/// context without S3TC, a resize). DXT1 blocks in their three-colour mode
/// make their fourth colour transparent black.
///
/// Reference-counted or held by value; one thread at a time.
class FilterDecompress : public FilterImage {
public:
    /// A new chain of PIXEL_RGBA8 Bitmaps, one for each image of the source's
    /// chain as long as they are compressed, with its only reference; null
    /// for a source that is not compressed or holds no blocks. Throws
    /// object::Exception when a Bitmap that large cannot be made.
    object::Pointer<Image> apply(Image& source) override;

    NEVRIK_CLASS_NAME(FilterImage, ":FilterDecompress")
};

}  // namespace nevrik::graphics
