#include "nevrik/graphics3d/core/Texture2D.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics3d/core/TextureException.h"
#include "nevrik/graphics3d/core/TextureShader.h"
#include "nevrik/graphics3d/core/TypeException.h"
#include "nevrik/object/Pointer.h"

#include "graphics/ImageFiles.h"
#include "graphics3d/GlFixture.h"
#include "graphics3d/RenderState.h"
#include "graphics3d/TextureNames.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace nevrik::graphics3d {
namespace {

using graphics::Bitmap;
using Texture = object::Pointer<Texture2D>;

using Texture2DTest = GlFixture;

// A bitmap whose byte b of pixel (x, y) is x + (y + 3) * b: no two pixels
// of a row alike, rows told apart from the second byte on.
object::Pointer<Bitmap> ramp(std::uint32_t format, int width, int height) {
    auto bitmap = object::make<Bitmap>(format, width, height);
    const int bytes = bitmap->getPitch() / width;
    std::uint8_t* pixels = bitmap->lock();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int b = 0; b < bytes; ++b) {
                pixels[y * bitmap->getPitch() + x * bytes + b] = static_cast<std::uint8_t>(x + (y + 3) * b);
            }
        }
    }
    return bitmap;
}

// Level `level` of the texture bound to GL_TEXTURE_2D, as RGB bytes.
std::vector<std::uint8_t> readBack(int level) {
    GLint width = 0;
    GLint height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height * 3));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

TEST_F(Texture2DTest, OddImageIsResizedToPowersOfTwoAndASquareOneUploadedAsItIs) {
    const auto odd = ramp(graphics::PIXEL_RGB8, 100, 37);
    const Texture resized = Texture2D::create(*odd, 1);
    EXPECT_EQ(resized->getWidth(), 128);
    EXPECT_EQ(resized->getHeight(), 64);
    const std::vector<std::uint8_t> corners = readBack(0);
    // Nearest neighbour keeps the corner pixels where they were.
    const std::uint8_t* oddPixels = odd->lock();
    EXPECT_EQ(corners[127 * 3], oddPixels[99 * 3]);
    EXPECT_EQ(corners[(63 * 128 + 127) * 3 + 2], oddPixels[(36 * 100 + 99) * 3 + 2]);
    EXPECT_FALSE(odd->isLocked()) << "the upload unlocked it";

    const auto square = ramp(graphics::PIXEL_RGB8, 64, 64);
    const Texture exact = Texture2D::create(*square, 1);
    EXPECT_EQ(exact->getWidth(), 64);
    const std::uint8_t* squarePixels = square->lock();
    EXPECT_EQ(readBack(0), std::vector<std::uint8_t>(squarePixels, squarePixels + 64 * 64 * 3));
}

TEST_F(Texture2DTest, LevelCountsChooseBetweenTheChainAndGeneratedMipmaps) {
    auto top = ramp(graphics::PIXEL_BGR8, 4, 4);
    const auto middle = ramp(graphics::PIXEL_BGR8, 2, 2);
    const auto bottom = ramp(graphics::PIXEL_BGR8, 1, 1);
    middle->setNext(bottom.get());
    top->setNext(middle.get());
    auto levelWidth = [](int level) {
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        return width;
    };
    auto generating = [] {
        GLint on = -1;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, &on);
        return on;
    };

    const Texture all = Texture2D::create(*top, Texture2D::kAllLevels);
    EXPECT_EQ(levelWidth(1), 2);
    EXPECT_EQ(levelWidth(2), 1);
    EXPECT_EQ(generating(), GL_FALSE);
    const std::vector<std::uint8_t> level1 = readBack(1);
    const std::uint8_t* middlePixels = middle->lock();
    // BGR in the image, RGB read back.
    EXPECT_EQ(level1[3 * 3 + 0], middlePixels[3 * 3 + 2]);
    EXPECT_EQ(level1[3 * 3 + 2], middlePixels[3 * 3 + 0]);

    const Texture two = Texture2D::create(*top, 2);
    EXPECT_EQ(levelWidth(1), 2);
    EXPECT_EQ(levelWidth(2), 0);

    const Texture generated = Texture2D::create(*top, Texture2D::kGeneratedLevels);
    EXPECT_EQ(generating(), GL_TRUE);
    // The driver made level 1 from level 0, not from the chain's image.
    EXPECT_EQ(levelWidth(1), 2);
    EXPECT_NE(readBack(1), level1);

    // A level of another pixel size would be read past its end.
    middle->setNext(ramp(graphics::PIXEL_RGBA8, 1, 1).get());
    const Texture cut = Texture2D::create(*top, Texture2D::kAllLevels);
    EXPECT_EQ(levelWidth(1), 2);
    EXPECT_EQ(levelWidth(2), 0);
}

TEST_F(Texture2DTest, RefusedFormatsAndUploadsThrowLeakNoNameAndForgetTheBinding) {
    const Texture kept = Texture2D::create(graphics::PIXEL_RGBA8, 2, 2, 1);
    ASSERT_EQ(mContext->getBoundTexture(0), kept.get());
    const GLuint first = nextName();
    try {
        Texture2D::create(*ramp(graphics::PIXEL_LA8, 4, 4), 1);
        FAIL() << "a grey-alpha image made a texture";
    } catch (const TypeException& e) {
        EXPECT_STREQ(e.what(), "TypeException");
    }
    EXPECT_THROW(Texture2D::create(graphics::PIXEL_A32F, 4, 4, 1), TypeException);
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    try {
        Texture2D::create(graphics::PIXEL_RGBA8, limit + 1, 1, 1);
        FAIL() << "a texture beyond the driver's limit";
    } catch (const TextureException& e) {
        EXPECT_STREQ(e.what(), "TextureException");
    }
    EXPECT_THROW(Texture2D::create(graphics::PIXEL_RGBA8, -1, 4, 1), TextureException);
    // Float pixels of 12 bytes are too wide to resize.
    EXPECT_THROW(Texture2D::create(*ramp(graphics::PIXEL_RGB32F, 3, 3), 1), TextureException);
    EXPECT_EQ(liveTexturesSince(first), 0);
    EXPECT_EQ(mContext->getBoundTexture(0), nullptr) << "the unit no longer holds the kept texture";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Texture2DTest, EmptyTextureRoundsItsSidesUpAndUpdateKeepsTheBindingOfTheActiveUnit) {
    glActiveTexture(GL_TEXTURE2);
    const Texture texture = Texture2D::create(graphics::PIXEL_RGB8, 5, 3, 1);
    EXPECT_EQ(texture->getWidth(), 8);
    EXPECT_EQ(texture->getHeight(), 4);
    EXPECT_EQ(mContext->getBoundTexture(2), texture.get());
    const Texture other = Texture2D::create(graphics::PIXEL_RGB8, 1, 1, 1);
    const auto patch = ramp(graphics::PIXEL_RGB8, 2, 2);
    ASSERT_TRUE(texture->update(*patch, 0));
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(other->getTextureName()));

    glBindTexture(GL_TEXTURE_2D, texture->getTextureName());
    const std::vector<std::uint8_t> content = readBack(0);
    const std::uint8_t* pixels = patch->lock();
    EXPECT_EQ(content[0], pixels[0]);
    EXPECT_EQ(content[(8 + 1) * 3 + 2], pixels[(2 + 1) * 3 + 2]) << "row 1 of the update lands in row 1";
    EXPECT_FALSE(texture->update(*ramp(graphics::PIXEL_RGB8, 16, 16), 0));
    EXPECT_FALSE(texture->update(*patch, 9)) << "no such level";
    EXPECT_THROW(texture->update(*ramp(graphics::PIXEL_LA8, 2, 2), 0), TypeException);
}

// Level 0 of the texture bound to GL_TEXTURE_2D, as RGBA bytes.
std::vector<std::uint8_t> readBackRgba() {
    GLint width = 0;
    GLint height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height * 4));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

TEST_F(Texture2DTest, EveryChannelOrderReachesOpenGlAsTheCodecsLaidItOut) {
    // One pixel per format, its channels placed by the format's masks: what
    // every codec produces must come back from the driver as the same colour.
    const std::array<int, 4> colour = {250, 120, 30, 70};
    for (const std::uint32_t format :
         {graphics::PIXEL_RGB555, graphics::PIXEL_RGB565, graphics::PIXEL_RGB8, graphics::PIXEL_BGR8,
          graphics::PIXEL_RGBA8, graphics::PIXEL_BGRA8, graphics::PIXEL_RGB16, graphics::PIXEL_BGR16,
          graphics::PIXEL_RGBA16, graphics::PIXEL_BGRA16, graphics::PIXEL_A8, graphics::PIXEL_A16}) {
        SCOPED_TRACE(::testing::Message() << std::hex << format);
        const graphics::ChannelMasks masks = graphics::getChannelMasks(format);
        const auto pixel = object::make<Bitmap>(format, 1, 1);
        const std::string packed = testing::packPixel(masks, graphics::getBytesPerPixel(format), colour);
        std::copy(packed.begin(), packed.end(), pixel->lock());
        const Texture texture = Texture2D::create(*pixel, 1);
        const std::vector<std::uint8_t> texel = readBackRgba();
        const std::uint64_t channels[4] = {masks.red, masks.green, masks.blue, masks.alpha};
        for (int c = 0; c < 4; ++c) {
            const int expected = channels[c] != 0 ? colour[c] : c == 3 ? 255 : 0;
            // Half a step of 5-bit channels.
            EXPECT_NEAR(texel[c], expected, 5) << "channel " << c;
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Texture2DTest, CompressedImagesUploadAsBlocksOrDecodedAndReadBackTheirColours) {
    // Blocks of pure red (index 0) or pure blue (index 1); DXT3 and DXT5
    // alpha 0x88 and 0x40 before the colour half.
    const std::string red = testing::bytes({0x00, 0xF8, 0x1F, 0x00, 0, 0, 0, 0});
    const std::string blue = testing::bytes({0x00, 0xF8, 0x1F, 0x00, 0x55, 0x55, 0x55, 0x55});
    const std::string alpha3(8, '\x88');
    const std::string alpha5 = testing::bytes({0x40, 0x10, 0, 0, 0, 0, 0, 0});
    // Which path the 8 x 8 images took, for the record.
    RecordProperty("s3tc", GLEW_EXT_texture_compression_s3tc ? 1 : 0);
    struct Variant {
        std::uint32_t format;
        std::string alpha;
        int alphaValue;
    };
    for (const Variant& variant :
         {Variant{graphics::PIXEL_DXT1, "", 255}, Variant{graphics::PIXEL_DXT3, alpha3, 0x88},
          Variant{graphics::PIXEL_DXT5, alpha5, 0x40}}) {
        // 8 x 8 goes up as blocks where the driver reads S3TC; 12 x 4 has to
        // be resized and so is always decoded first.
        for (const auto& [width, height] : {std::pair{8, 8}, std::pair{12, 4}}) {
            SCOPED_TRACE(::testing::Message()
                         << std::hex << variant.format << std::dec << " " << width << "x" << height);
            const auto image = object::make<Bitmap>(variant.format, width, height);
            std::string blocks;
            for (int block = 0; block < width / 4 * (height / 4); ++block) {
                blocks += variant.alpha + (block % 2 == 0 ? red : blue);
            }
            ASSERT_EQ(blocks.size(),
                      static_cast<std::size_t>(graphics::getImageBytes(variant.format, width, height)));
            std::copy(blocks.begin(), blocks.end(), image->lock());
            const Texture texture = Texture2D::create(*image, 1);
            ASSERT_EQ(texture->getHeight(), height);
            const std::vector<std::uint8_t> texels = readBackRgba();
            // The 12-wide image is resized to 16: columns 0, 8 and 15 take
            // image columns 0, 5 and 11 (blocks 0, 1 and 2).
            const std::vector<std::pair<int, int>> columns =
                width == 8 ? std::vector<std::pair<int, int>>{{0, 0}, {3, 3}, {4, 4}, {7, 7}}
                           : std::vector<std::pair<int, int>>{{0, 0}, {8, 5}, {15, 11}};
            for (const auto& [column, x] : columns) {
                const bool isRed = (x / 4) % 2 == 0;
                const std::uint8_t* texel = texels.data() + column * 4;
                EXPECT_EQ((std::array<int, 4>{texel[0], texel[1], texel[2], texel[3]}),
                          (std::array<int, 4>{isRed ? 255 : 0, 0, isRed ? 0 : 255, variant.alphaValue}))
                    << "column " << column;
            }
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Texture2DTest, IndexedImageRendersItsPaletteColours) {
    auto indexed = object::make<Bitmap>(graphics::PIXEL_INDEX8, 2, 2);
    graphics::Palette<graphics::uchar> palette;
    palette.setEntry(7, 255, 0, 0, 0);
    palette.setEntry(8, 0, 255, 0, 0);
    palette.setEntry(9, 0, 0, 255, 0);
    palette.setEntry(200, 255, 255, 0, 9);
    ASSERT_TRUE(indexed->setPalette(palette));
    // Memory row 0 is the top row; texture row 0 is drawn at the bottom.
    const std::uint8_t indices[4] = {7, 8, 9, 200};
    std::copy(indices, indices + 4, indexed->lock());
    const Texture texture = Texture2D::create(*indexed, 1);
    EXPECT_EQ(texture->getFormat(), static_cast<std::uint32_t>(graphics::PIXEL_RGB8));

    prepareDrawing(64, 48);
    TextureShader shader(VertexFormat::kPositionArray);
    shader.bind();
    texture->bindToUnit(0);
    glColor3f(1.0f, 1.0f, 1.0f);
    drawQuad(-1.0f, -1.0f, 1.0f, 1.0f);
    EXPECT_TRUE(near(pixelAt(16, 12), {255, 0, 0}));
    EXPECT_TRUE(near(pixelAt(48, 12), {0, 255, 0}));
    EXPECT_TRUE(near(pixelAt(16, 36), {0, 0, 255}));
    EXPECT_TRUE(near(pixelAt(48, 36), {255, 255, 0}));
    GLint mapping = -1;
    glGetIntegerv(GL_MAP_COLOR, &mapping);
    EXPECT_EQ(mapping, GL_FALSE) << "later transfers are not mapped";
}

TEST_F(Texture2DTest, HalfFloatPixelsAreReadAtTheirOwnSize) {
    // 0x3C00 is 1.0 and 0x3800 is 0.5 as half floats.
    auto half = object::make<Bitmap>(graphics::PIXEL_RGB16F, 1, 1);
    const std::uint16_t rgb[3] = {0x3C00, 0x3800, 0x0000};
    std::memcpy(half->lock(), rgb, sizeof rgb);
    const Texture texture = Texture2D::create(*half, 1);
    GLfloat texel[3] = {};
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, texel);
    EXPECT_FLOAT_EQ(texel[0], 1.0f);
    EXPECT_FLOAT_EQ(texel[1], 0.5f);
}

TEST_F(Texture2DTest, FloatPixelsReachOpenGlInTheirChannelOrderAndKeepTheirRange) {
    if (!GLEW_ARB_texture_float) {
        GTEST_SKIP() << "the context has no float textures (ARB_texture_float)";
    }
    // Two pixels, so that a row read at the wrong pixel size shows in the
    // second; 3.5 is what HDR pictures hold beyond white. Every value is
    // exact in half floats (the bits beside them).
    const float values[2][4] = {{3.5f, 0.5f, 0.25f, 0.75f}, {0.125f, 2.0f, 1.0f, 0.0f}};
    const std::uint16_t halves[2][4] = {{0x4300, 0x3800, 0x3400, 0x3A00}, {0x3000, 0x4000, 0x3C00, 0x0000}};
    for (const std::uint32_t format :
         {graphics::PIXEL_RGB16F, graphics::PIXEL_RGBA16F, graphics::PIXEL_RGB32F, graphics::PIXEL_RGBA32F}) {
        SCOPED_TRACE(::testing::Message() << std::hex << format);
        const bool half = format == graphics::PIXEL_RGB16F || format == graphics::PIXEL_RGBA16F;
        const int channels = format == graphics::PIXEL_RGB16F || format == graphics::PIXEL_RGB32F ? 3 : 4;
        const auto image = object::make<Bitmap>(format, 2, 1);
        ASSERT_EQ(graphics::getBytesPerPixel(format), channels * (half ? 2 : 4));
        std::uint8_t* pixels = image->lock();
        for (int x = 0; x < 2; ++x) {
            for (int c = 0; c < channels; ++c) {
                const int at = (x * channels + c) * (half ? 2 : 4);
                std::memcpy(pixels + at, half ? static_cast<const void*>(&halves[x][c]) : &values[x][c],
                            half ? 2 : 4);
            }
        }
        const Texture texture = Texture2D::create(*image, 1);
        GLfloat texels[2][4] = {};
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, texels);
        for (int x = 0; x < 2; ++x) {
            for (int c = 0; c < 4; ++c) {
                EXPECT_FLOAT_EQ(texels[x][c], c < channels ? values[x][c] : 1.0f) << x << ", channel " << c;
            }
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
}  // namespace nevrik::graphics3d
