#pragma once

#include "nevrik/freetype/Descriptor.h"
#include "nevrik/graphics/Bitmap.h"
#include "nevrik/io/File.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"

#include <cstdint>

namespace nevrik::freetype {

/// A bitmap font for the character codes 0-255: one PIXEL_A8 atlas of glyph
/// cells and, per code, where its glyph sits and how it advances.
///
/// Cells are cell width x cell height pixels, 16 to a row, one per distinct
/// glyph in order of first appearance; codes with the same glyph (all the
/// unmapped ones, for instance) share a cell. Immutable once made, so any
/// thread may read it. Reference-counted: usually made by
/// FontFactory::createFont; the atlas lives as long as the font or whoever
/// else holds it.
class Font : public object::Object {
public:
    /// Where a code's glyph sits in the atlas and how it moves the pen.
    /// All zero when the glyph could not be loaded or rendered.
    struct Glyph {
        /// Top-left corner of the glyph's cell in the atlas, in pixels.
        std::int32_t x = 0;
        std::int32_t y = 0;
        /// Size of the rendered glyph from that corner, in pixels.
        std::int32_t width = 0;
        std::int32_t height = 0;
        /// Pen movement after the glyph, in pixels.
        float advanceX = 0.0f;
        float advanceY = 0.0f;
        /// From the pen to the glyph's left edge and up to its top edge, in pixels.
        float bearingX = 0.0f;
        float bearingY = 0.0f;
    };

    static constexpr int kCodes = 256;
    static constexpr int kCellsPerRow = 16;
    /// Longest atlas side, in pixels: a font that needs more throws FormatException.
    static constexpr int kMaxAtlasSide = 8192;

    /// Renders face 0 of `file` at the descriptor's size, reading through
    /// the file and holding the FreeType mutex while it works. The font's
    /// descriptor takes the face's family and style and keeps the requested
    /// character map only when the face has one of that encoding id (0
    /// otherwise). Throws FreetypeException when FreeType cannot open the
    /// file, and FormatException for a pixel size that is not a number in
    /// 0 .. 65535, a size FreeType refuses, or an atlas side beyond
    /// kMaxAtlasSide.
    Font(io::File& file, const Descriptor& descriptor);

    NEVRIK_CLASS_NAME(object::Object, ":Font")

    /// The descriptor asked for, with the face's names and the character map used.
    const Descriptor& getDescriptor() const noexcept { return mDescriptor; }
    /// The glyph cells, 16 x cell width pixels wide.
    graphics::Bitmap* getAtlas() const noexcept { return mAtlas.get(); }
    std::int32_t getCellWidth() const noexcept { return mCellWidth; }
    std::int32_t getCellHeight() const noexcept { return mCellHeight; }
    const Glyph& getGlyph(std::uint8_t code) const noexcept { return mGlyphs[code]; }

private:
    Descriptor mDescriptor;
    object::Pointer<graphics::Bitmap> mAtlas;
    std::int32_t mCellWidth = 0;
    std::int32_t mCellHeight = 0;
    Glyph mGlyphs[kCodes];
};

}  // namespace nevrik::freetype
