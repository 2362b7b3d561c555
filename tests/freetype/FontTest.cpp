#include "nevrik/freetype/Font.h"

#include "freetype/Failure.h"
#include "freetype/FontFiles.h"
#include "nevrik/freetype/FormatException.h"
#include "nevrik/freetype/FreetypeException.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/io/SystemFileFactory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <thread>
#include <utility>
#include <vector>

namespace nevrik::freetype {
namespace {

using object::Pointer;

class FontTest : public ::testing::Test {
protected:
    // Encoding id 1: the Windows Unicode map, where control codes have no glyph.
    static Descriptor unicode(const char* family, const char* style, float size) {
        Descriptor descriptor(family, style, size, size);
        descriptor.setCharmap(1);
        return descriptor;
    }

    void SetUp() override {
        mFolder.write("squares.ttf", testing::SquareFont("Nevrik Squares", "Regular").bytes());
        testing::copyDejaVu(mFolder, "DejaVuSans.ttf", "sans.ttf");
    }

    Pointer<Font> build(const char* name, const Descriptor& descriptor,
                        std::uint32_t mode = io::File::kRead) {
        Pointer<io::File> file = mFiles.open(name, mode);
        return Pointer<Font>::adopt(new Font(*file, descriptor));
    }

    // The atlas bytes, row after row.
    static std::vector<std::uint8_t> pixelsOf(const Font& font) {
        graphics::Bitmap& atlas = *font.getAtlas();
        const std::uint8_t* pixels = atlas.lock();
        std::vector<std::uint8_t> copy(pixels, pixels + atlas.getPitch() * atlas.getHeight());
        atlas.unlock();
        return copy;
    }

    testing::TempFolder mFolder;
    io::SystemFileFactory mFiles{mFolder.path().c_str()};
};

TEST_F(FontTest, NinetyFiveGlyphsFillSixteenBySixCellsOfExactCoverage) {
    const Pointer<Font> font = build("squares.ttf", unicode("", "", 16.0f));
    // Squares of 8 x 8 pixels: cells of 8 + 1 pixels, 95 cells in 6 rows of 16.
    EXPECT_EQ(font->getCellWidth(), 9);
    EXPECT_EQ(font->getCellHeight(), 9);
    graphics::Bitmap& atlas = *font->getAtlas();
    EXPECT_EQ(atlas.getFormat(), graphics::PIXEL_A8);
    EXPECT_EQ(atlas.getWidth(), 16 * 9);
    EXPECT_EQ(atlas.getHeight(), 6 * 9);
    EXPECT_FALSE(atlas.isLocked());

    // Code 33 has glyph 1, the second distinct glyph after the unmapped codes'
    // glyph 0; code 126 has the 95th, the last cell of row 5.
    const Font::Glyph& first = font->getGlyph(33);
    EXPECT_EQ(std::make_pair(first.x, first.y), std::make_pair(9, 0));
    EXPECT_EQ(std::make_pair(first.width, first.height), std::make_pair(8, 8));
    EXPECT_EQ(first.advanceX, 12.0f);
    EXPECT_EQ(first.bearingX, 2.0f);
    EXPECT_EQ(first.bearingY, 8.0f);
    const Font::Glyph& last = font->getGlyph(126);
    EXPECT_EQ(std::make_pair(last.x, last.y), std::make_pair(14 * 9, 5 * 9));

    // Full coverage is 255, not 255 * 255 / 256; nothing leaks outside the square.
    const std::vector<std::uint8_t> pixels = pixelsOf(*font);
    for (int y = 0; y < 9; ++y) {
        for (int x = 9; x < 18; ++x) {
            const bool inside = x < 17 && y < 8;
            ASSERT_EQ(pixels[y * atlas.getPitch() + x], inside ? 255 : 0) << x << "," << y;
        }
    }
    // Glyph 0 has no outline: an empty bitmap, yet a record with its advance.
    const Font::Glyph& empty = font->getGlyph(0);
    EXPECT_EQ(std::make_pair(empty.x, empty.y), std::make_pair(0, 0));
    EXPECT_EQ(std::make_pair(empty.width, empty.height), std::make_pair(0, 0));
    EXPECT_EQ(empty.advanceX, 12.0f);
    for (int x = 0; x < 9; ++x) {
        EXPECT_EQ(pixels[x], 0);
    }
}

TEST_F(FontTest, UnmappedCodesShareOneCellAndDrawnGlyphsHaveCoverageOnlyInTheirBox) {
    Descriptor asked = unicode("dejavu sans", "bold", 24.0f);
    asked.setReserved(7);
    const Pointer<Font> font = build("sans.ttf", asked);
    const Descriptor& got = font->getDescriptor();
    EXPECT_STREQ(got.toString().c_str(), "DejaVu Sans Book");
    EXPECT_EQ(got.getWidth(), 24.0f);
    EXPECT_EQ(got.getReserved(), 7);

    const Font::Glyph& control = font->getGlyph(1);
    for (int code = 2; code < 32; ++code) {
        EXPECT_EQ(std::make_pair(font->getGlyph(code).x, font->getGlyph(code).y),
                  std::make_pair(control.x, control.y));
    }
    std::set<std::pair<int, int>> cells;
    for (int code = 0; code < Font::kCodes; ++code) {
        cells.emplace(font->getGlyph(code).x, font->getGlyph(code).y);
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
    EXPECT_NE(std::make_pair(a.x, a.y), std::make_pair(font->getGlyph('B').x, font->getGlyph('B').y));
    EXPECT_GT(a.width, 10);
    EXPECT_GT(coverage(a, true), 255 * a.width);
    EXPECT_EQ(coverage(a, false), 0);
    EXPECT_EQ(coverage(font->getGlyph(' '), true) + coverage(font->getGlyph(' '), false), 0);
    EXPECT_GT(font->getGlyph(' ').advanceX, 0.0f);
}

TEST_F(FontTest, CharmapSelectsTheMapOfThatEncodingIdOrResetsToZero) {
    Descriptor asked("", "", 16.0f, 16.0f);
    // Encoding id 0 is the Macintosh map, which has only 'A': two cells.
    const Pointer<Font> mac = build("squares.ttf", asked);
    EXPECT_EQ(mac->getAtlas()->getHeight(), 9);
    EXPECT_EQ(mac->getGlyph('A').x, 9);
    EXPECT_EQ(mac->getGlyph('B').x, 0);

    asked.setCharmap(1);
    const Pointer<Font> windows = build("squares.ttf", asked);
    EXPECT_EQ(windows->getDescriptor().getCharmap(), 1);
    EXPECT_EQ(windows->getAtlas()->getHeight(), 6 * 9);

    // No map of id 77: FreeType's default, the Windows map, stays.
    asked.setCharmap(77);
    const Pointer<Font> unknown = build("squares.ttf", asked);
    EXPECT_EQ(unknown->getDescriptor().getCharmap(), 0);
    EXPECT_EQ(unknown->getAtlas()->getHeight(), 6 * 9);
}

TEST_F(FontTest, SizesOutsideTheRangeOrTooLargeForTheAtlasThrowFormatException) {
    for (const float size :
         {std::nanf(""), -1.0f, 65536.0f, std::numeric_limits<float>::infinity(), 2000.0f}) {
        EXPECT_THROW(build("sans.ttf", Descriptor("", "", 16.0f, size)), FormatException) << size;
        EXPECT_THROW(build("sans.ttf", Descriptor("", "", size, 16.0f)), FormatException) << size;
    }
    // Zero takes the other side's size, as FreeType has it.
    EXPECT_EQ(build("squares.ttf", Descriptor("", "", 0.0f, 16.0f))->getCellWidth(), 9);
}

TEST_F(FontTest, FailedBuildsReleaseTheFreetypeLockForOtherThreads) {
    EXPECT_THROW(build("sans.ttf", Descriptor("", "", 2000.0f, 2000.0f)), FormatException);
    const std::vector<std::uint8_t> expected = pixelsOf(*build("squares.ttf", unicode("", "", 16.0f)));

    mFolder.write("other.ttf", testing::SquareFont("Other", "Regular").bytes());
    std::vector<std::uint8_t> results[2];
    std::thread threads[2];
    const char* names[2] = {"squares.ttf", "other.ttf"};
    for (int i = 0; i < 2; ++i) {
        threads[i] = std::thread([&, i] {
            io::SystemFileFactory files(mFolder.path().c_str());
            Pointer<io::File> file = files.open(names[i], io::File::kRead);
            results[i] = pixelsOf(Font(*file, unicode("", "", 16.0f)));
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(results[0], expected);
    EXPECT_EQ(results[1], expected);
}

TEST_F(FontTest, UnreadableOrDamagedFilesThrowFreetypeExceptionOrBuildWithoutCrashing) {
    EXPECT_EQ(testing::freetypeFailureOf([&] { build("squares.ttf", Descriptor(), 0); }),
              "Object:Exception:FreetypeException / FreetypeException");
    // Cut anywhere, a face either fails to open or opens with glyphs missing.
    const std::string whole = mFolder.read("sans.ttf");
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{11}, std::size_t{400}, whole.size() / 3, whole.size() - 1000}) {
        mFolder.write("cut.ttf", whole.substr(0, size));
        try {
            const Pointer<Font> font = build("cut.ttf", Descriptor());
            EXPECT_EQ(font->getAtlas()->getWidth(), 16 * font->getCellWidth());
        } catch (const FreetypeException&) {
        }
    }
}

}  // namespace
}  // namespace nevrik::freetype
