#include "nevrik/freetype/Font.h"

#include "nevrik/freetype/FormatException.h"
#include "nevrik/freetype/FreetypeException.h"
#include "nevrik/freetype/detail/Coverage.h"
#include "nevrik/freetype/detail/Face.h"
#include "nevrik/graphics/PixelFormat.h"

#include <algorithm>
#include <climits>
#include <cstddef>

namespace nevrik::freetype {
namespace {

static_assert(static_cast<int>(detail::PixelMode::kMono) == FT_PIXEL_MODE_MONO);
static_assert(static_cast<int>(detail::PixelMode::kGray) == FT_PIXEL_MODE_GRAY);
static_assert(static_cast<int>(detail::PixelMode::kGray2) == FT_PIXEL_MODE_GRAY2);
static_assert(static_cast<int>(detail::PixelMode::kGray4) == FT_PIXEL_MODE_GRAY4);

// A requested size in whole pixels. Refused before FreeType sees it: a NaN
// or out-of-range float has no integer value at all.
FT_UInt wholePixels(float size) {
    if (!(size >= 0.0f && size < 65536.0f)) {
        throw FormatException();
    }
    return static_cast<FT_UInt>(size);
}

// Selects the first character map of that encoding id that FreeType accepts;
// false leaves the face's default map in place.
bool selectCharmap(FT_Face face, std::int32_t encodingId) noexcept {
    for (FT_Int i = 0; i < face->num_charmaps; ++i) {
        FT_CharMap charmap = face->charmaps[i];
        if (charmap->encoding_id == encodingId && FT_Set_Charmap(face, charmap) == 0) {
            return true;
        }
    }
    return false;
}

bool loaded(FT_Face face, FT_UInt glyphIndex) noexcept {
    return FT_Load_Glyph(face, glyphIndex, FT_LOAD_DEFAULT) == 0;
}

bool rendered(FT_Face face, FT_UInt glyphIndex) noexcept {
    return loaded(face, glyphIndex) && FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0;
}

// Whole pixels of a 26.6 length, rounded up, plus the one spare pixel each
// cell keeps. Lengths past any atlas are cut first, so that nothing overflows.
std::int64_t cellSide(FT_Pos largest) noexcept {
    const std::int64_t length = std::min<std::int64_t>(largest, std::int64_t{Font::kMaxAtlasSide} * 64);
    return (length + 63) / 64 + 1;
}

int clampedInt(unsigned int value) noexcept {
    return static_cast<int>(std::min<unsigned int>(value, INT_MAX));
}

// The distinct glyphs of codes 0-255, numbered in order of first appearance.
struct Cells {
    int count = 0;
    int ofCode[Font::kCodes] = {};
    FT_UInt glyph[Font::kCodes] = {};

    explicit Cells(FT_Face face) noexcept {
        for (FT_ULong code = 0; code < Font::kCodes; ++code) {
            const FT_UInt index = FT_Get_Char_Index(face, code);
            const FT_UInt* found = std::find(glyph, glyph + count, index);
            if (found == glyph + count) {
                glyph[count++] = index;
            }
            ofCode[code] = static_cast<int>(found - glyph);
        }
    }
};

}  // namespace

Font::Font(io::File& file, const Descriptor& descriptor) : mDescriptor(descriptor) {
    const FT_UInt pixelWidth = wholePixels(descriptor.getWidth());
    const FT_UInt pixelHeight = wholePixels(descriptor.getHeight());

    detail::Face face(file);
    if (!face.isOpen()) {
        throw FreetypeException();
    }
    FT_Face ft = face.get();
    mDescriptor.setFamily(face.getFamilyName());
    mDescriptor.setStyle(face.getStyleName());
    if (!selectCharmap(ft, descriptor.getCharmap())) {
        mDescriptor.setCharmap(0);
    }
    // A face that cannot take the size (a bitmap face without that strike)
    // would give a font of blank cells.
    if (FT_Set_Pixel_Sizes(ft, pixelWidth, pixelHeight) != 0) {
        throw FormatException();
    }

    const Cells cells(ft);
    FT_Pos largestWidth = 0;
    FT_Pos largestHeight = 0;
    for (int cell = 0; cell < cells.count; ++cell) {
        if (loaded(ft, cells.glyph[cell])) {
            largestWidth = std::max(largestWidth, ft->glyph->metrics.width);
            largestHeight = std::max(largestHeight, ft->glyph->metrics.height);
        }
    }
    const int rows = (cells.count + kCellsPerRow - 1) / kCellsPerRow;
    const std::int64_t cellWidth = cellSide(largestWidth);
    const std::int64_t cellHeight = cellSide(largestHeight);
    // A damaged face can claim glyphs of any size; refuse before allocating.
    if (cellWidth * kCellsPerRow > kMaxAtlasSide || cellHeight * rows > kMaxAtlasSide) {
        throw FormatException();
    }
    mCellWidth = static_cast<std::int32_t>(cellWidth);
    mCellHeight = static_cast<std::int32_t>(cellHeight);
    mAtlas =
        object::make<graphics::Bitmap>(graphics::PIXEL_A8, mCellWidth * kCellsPerRow, mCellHeight * rows);

    // Each distinct glyph is rendered once; the codes sharing it share its record.
    Glyph glyphOfCell[kCodes];
    std::uint8_t* pixels = mAtlas->lock();
    mAtlas->setLocked(true);
    for (int cell = 0; cell < cells.count; ++cell) {
        if (!rendered(ft, cells.glyph[cell])) {
            continue;
        }
        const FT_GlyphSlot slot = ft->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        detail::GlyphBitmap source;
        source.buffer = bitmap.buffer;
        source.pitch = bitmap.pitch;
        source.width = clampedInt(bitmap.width);
        source.rows = clampedInt(bitmap.rows);
        source.mode = bitmap.pixel_mode;
        source.grayLevels = bitmap.num_grays;
        const std::int32_t x = cell % kCellsPerRow * mCellWidth;
        const std::int32_t y = cell / kCellsPerRow * mCellHeight;
        const std::int32_t pitch = mAtlas->getPitch();
        // A bitmap in a mode with no coverage to take counts as not rendered.
        if (!detail::copyCoverage(source, pixels + std::ptrdiff_t{y} * pitch + x, pitch, mCellWidth,
                                  mCellHeight)) {
            continue;
        }
        Glyph& glyph = glyphOfCell[cell];
        glyph.x = x;
        glyph.y = y;
        // What the atlas holds: a glyph drawn beyond the face's own metrics is cut to its cell.
        glyph.width = std::min(source.width, mCellWidth);
        glyph.height = std::min(source.rows, mCellHeight);
        glyph.advanceX = static_cast<float>(slot->metrics.horiAdvance) / 64.0f;
        glyph.advanceY = static_cast<float>(slot->metrics.vertAdvance) / 64.0f;
        glyph.bearingX = static_cast<float>(slot->metrics.horiBearingX) / 64.0f;
        glyph.bearingY = static_cast<float>(slot->metrics.horiBearingY) / 64.0f;
    }
    mAtlas->unlock();
    mAtlas->setLocked(false);

    for (int code = 0; code < kCodes; ++code) {
        mGlyphs[code] = glyphOfCell[cells.ofCode[code]];
    }
}

}  // namespace nevrik::freetype
