#include "nevrik/freetype/Font.h"

#include "freetype/Failure.h"
#include "freetype/FontFiles.h"
#include "nevrik/freetype/FormatException.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/io/SystemFileFactory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <limits>
#include <set>
#include <thread>
#include <utility>
#include <vector>

namespace nevrik::freetype {
namespace {

using object::Pointer;
using Cell = std::pair<int, int>;

class FontTest : public ::testing::Test {
protected:
    // Encoding id 1: the Windows Unicode map, where control codes have no glyph.
    static Descriptor unicode(float size) {
        Descriptor descriptor("", "", size, size);
        descriptor.setCharmap(1);
        return descriptor;
    }

    static Cell cellOf(const Font& font, int code) { return {font.getGlyph(code).x, font.getGlyph(code).y}; }

    static std::vector<std::uint8_t> pixelsOf(const Font& font) {
        graphics::Bitmap& atlas = *font.getAtlas();
        const std::uint8_t* pixels = atlas.lock();
        std::vector<std::uint8_t> copy(pixels, pixels + std::ptrdiff_t{atlas.getPitch()} * atlas.getHeight());
        atlas.unlock();
        return copy;
    }

    void SetUp() override {
        mFolder.write("squares.ttf", testing::SquareFont("Nevrik Squares", "Regular").bytes());
        testing::copyDejaVu(mFolder, "DejaVuSans.ttf", "sans.ttf");
    }

    Pointer<Font> build(const char* name, const Descriptor& descriptor,
                        std::uint32_t mode = io::File::kRead) {
        Pointer<io::File> file = mFiles.open(name, mode);
        return object::make<Font>(*file, descriptor);
    }

    testing::TempFolder mFolder;
    io::SystemFileFactory mFiles{mFolder.path().c_str()};
};

TEST_F(FontTest, NinetyFiveGlyphsFillSixteenBySixCellsOfExactCoverage) {
    const Pointer<Font> font = build("squares.ttf", unicode(16.0f));
    // 8 x 8 pixel squares: cells of 9 x 9, and 95 cells make 6 rows of 16.
    graphics::Bitmap& atlas = *font->getAtlas();
    EXPECT_EQ(atlas.getFormat(), graphics::PIXEL_A8);
    EXPECT_EQ(std::make_pair(atlas.getWidth(), atlas.getHeight()), std::make_pair(16 * 9, 6 * 9));
    EXPECT_FALSE(atlas.isLocked());

    // Codes 0-32 share glyph 0's cell; 33 has the next, 126 the 95th.
    EXPECT_EQ(cellOf(*font, 32), Cell(0, 0));
    EXPECT_EQ(cellOf(*font, 127), Cell(0, 0));
    EXPECT_EQ(cellOf(*font, 126), Cell(14 * 9, 5 * 9));
    const Font::Glyph& square = font->getGlyph(33);
    EXPECT_EQ(std::make_pair(square.x, square.y), Cell(9, 0));
    EXPECT_EQ(std::make_pair(square.width, square.height), std::make_pair(8, 8));
    // Without vertical metrics FreeType takes ascender - descender (1024 units).
    EXPECT_EQ(std::make_pair(square.advanceX, square.advanceY), std::make_pair(12.0f, 16.0f));
    EXPECT_EQ(std::make_pair(square.bearingX, square.bearingY), std::make_pair(2.0f, 8.0f));
    // Glyph 0 has no outline: an empty bitmap, yet its advance.
    EXPECT_EQ(font->getGlyph(0).width, 0);
    EXPECT_EQ(font->getGlyph(0).advanceX, 12.0f);

    // Full coverage is 255; nothing outside the square, nothing in glyph 0's cell.
    const std::vector<std::uint8_t> pixels = pixelsOf(*font);
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 18; ++x) {
            ASSERT_EQ(pixels[y * atlas.getPitch() + x], x >= 9 && x < 17 && y < 8 ? 255 : 0) << x << "," << y;
        }
    }
}

TEST_F(FontTest, UnmappedCodesShareACellAndDrawnGlyphsCoverOnlyTheirBox) {
    Descriptor asked = unicode(24.0f);
    asked.setFamily("dejavu sans");
    asked.setStyle("bold");
    asked.setReserved(7);
    const Pointer<Font> font = build("sans.ttf", asked);
    EXPECT_STREQ(font->getDescriptor().toString().c_str(), "DejaVu Sans Book");
    EXPECT_EQ(font->getDescriptor().getReserved(), 7);

    std::set<Cell> cells;
    for (int code = 0; code < Font::kCodes; ++code) {
        cells.insert(cellOf(*font, code));
        if (code < 32) {
            EXPECT_EQ(cellOf(*font, code), cellOf(*font, 0)) << code;
        }
    }
    graphics::Bitmap& atlas = *font->getAtlas();
    EXPECT_EQ(atlas.getWidth(), 16 * font->getCellWidth());
    EXPECT_EQ(atlas.getHeight(), font->getCellHeight() * static_cast<int>((cells.size() + 15) / 16));

    const std::vector<std::uint8_t> pixels = pixelsOf(*font);
    const auto coverage = [&](const Font::Glyph& glyph, bool inBox) {
        int sum = 0;
        for (int y = 0; y < font->getCellHeight(); ++y) {
            for (int x = 0; x < font->getCellWidth(); ++x) {
                if ((x < glyph.width && y < glyph.height) == inBox) {
                    sum += pixels[(glyph.y + y) * atlas.getPitch() + glyph.x + x];
                }
            }
        }
        return sum;
    };
    const Font::Glyph& a = font->getGlyph('A');
    EXPECT_NE(cellOf(*font, 'A'), cellOf(*font, 'B'));
    EXPECT_GT(coverage(a, true), 255 * a.width);
    EXPECT_EQ(coverage(a, false), 0);
    EXPECT_EQ(coverage(font->getGlyph(' '), true) + coverage(font->getGlyph(' '), false), 0);
}

TEST_F(FontTest, CharmapSelectsTheMapOfThatEncodingIdOrResetsToZero) {
    // Encoding id 0 is the Macintosh map, which has only 'A': two cells.
    Descriptor asked("", "", 16.0f, 16.0f);
    const Pointer<Font> mac = build("squares.ttf", asked);
    EXPECT_EQ(mac->getAtlas()->getHeight(), 9);
    EXPECT_EQ(cellOf(*mac, 'A'), Cell(9, 0));
    EXPECT_EQ(cellOf(*mac, 'B'), Cell(0, 0));
    // No map of id 77: FreeType's default, the Windows map, stays.
    asked.setCharmap(77);
    const Pointer<Font> unknown = build("squares.ttf", asked);
    EXPECT_EQ(unknown->getDescriptor().getCharmap(), 0);
    EXPECT_EQ(unknown->getAtlas()->getHeight(), 6 * 9);
}

TEST_F(FontTest, BadSizesThrowFormatExceptionAndReleaseTheLockForOtherThreads) {
    for (const float size :
         {std::nanf(""), -1.0f, 65536.0f, std::numeric_limits<float>::infinity(), 2000.0f}) {
        EXPECT_THROW(build("sans.ttf", Descriptor("", "", 16.0f, size)), FormatException) << size;
        EXPECT_THROW(build("sans.ttf", Descriptor("", "", size, 16.0f)), FormatException) << size;
    }
    // 2000 pixels failed with the face open; another thread still gets the lock.
    std::vector<std::uint8_t> fromThread;
    std::thread([&] { fromThread = pixelsOf(*build("squares.ttf", unicode(16.0f))); }).join();
    // Zero takes the other side's size, as FreeType has it.
    Descriptor zeroWidth = unicode(16.0f);
    zeroWidth.setSize(0.0f, 16.0f);
    EXPECT_EQ(fromThread, pixelsOf(*build("squares.ttf", zeroWidth)));
}

TEST_F(FontTest, UnreadableOrDamagedFilesThrowFreetypeExceptionOrBuildWithoutCrashing) {
    EXPECT_EQ(testing::freetypeFailureOf([&] { build("squares.ttf", Descriptor(), 0); }),
              "Object:Exception:FreetypeException / FreetypeException");
    // Cut anywhere, a face either fails to open or opens with glyphs missing.
    const std::string whole = mFolder.read("sans.ttf");
    for (const std::size_t size : {std::size_t{0}, std::size_t{400}, whole.size() / 3, whole.size() - 1000}) {
        mFolder.write("cut.ttf", whole.substr(0, size));
        try {
            const Pointer<Font> font = build("cut.ttf", unicode(16.0f));
            EXPECT_EQ(font->getAtlas()->getWidth(), 16 * font->getCellWidth());
        } catch (const FreetypeException&) {
        }
    }
}

}  // namespace
}  // namespace nevrik::freetype
