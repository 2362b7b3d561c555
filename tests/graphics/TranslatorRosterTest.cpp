#include "nevrik/graphics/TranslatorRoster.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/io/FileNotFoundException.h"
#include "nevrik/io/OutputStream.h"
#include "nevrik/io/SystemFileFactory.h"
#include "nevrik/io/TranslatorFormatException.h"

#include "graphics/ImageFiles.h"
#include "io/TempFolder.h"
#include "io/TestData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace nevrik::graphics {
namespace {

using object::Pointer;

// The picture every fixture in tests/data/images holds, as RGB.
const std::vector<int> kReference = {
    255, 0,   0,  0,   255, 0,   0,   0,   255, 255, 255, 255, 0,   0,   0,    //
    255, 255, 0,  0,   255, 255, 255, 0,   255, 128, 128, 128, 64,  32,  16,   //
    16,  32,  64, 200, 100, 50,  50,  100, 200, 10,  20,  30,  250, 240, 230,  //
};

// Any decoded image as RGB values 0-255.
std::vector<int> rgbOf(Image& image) {
    std::vector<int> rgb;
    const std::uint8_t* pixels = image.lock();
    Palette<uchar> palette;
    image.getPalette(palette);
    for (int i = 0; i < image.getWidth() * image.getHeight(); ++i) {
        switch (image.getFormat()) {
            case PIXEL_INDEX8:
                rgb.insert(rgb.end(), palette.getEntry(pixels[i]), palette.getEntry(pixels[i]) + 3);
                break;
            case PIXEL_RGB8:
                rgb.insert(rgb.end(), pixels + 3 * i, pixels + 3 * i + 3);
                break;
            case PIXEL_BGR8:
            case PIXEL_BGRA8: {
                const int bytes = image.getFormat() == PIXEL_BGR8 ? 3 : 4;
                const std::uint8_t* bgr = pixels + bytes * i;
                rgb.insert(rgb.end(), {bgr[2], bgr[1], bgr[0]});
                break;
            }
            case PIXEL_RGB32F: {
                float values[3];
                std::memcpy(values, pixels + 12 * i, sizeof values);
                for (const float value : values) {
                    rgb.push_back(static_cast<int>(std::lround(value * 255.0f)));
                }
                break;
            }
            default:
                ADD_FAILURE() << "format " << std::hex << image.getFormat();
                return rgb;
        }
    }
    return rgb;
}

class TranslatorRosterTest : public ::testing::Test {
protected:
    // The class name of the translator the roster picks for `bytes`.
    types::String claimantOf(const std::string& bytes) {
        mFolder.write("file", bytes);
        Pointer<io::File> file = mScratch.open("file", io::File::kRead);
        io::Translator<Image>* translator = mRoster.find(*file);
        return translator != nullptr ? translator->className() : types::String("none");
    }

    nevrik::testing::TempFolder mFolder;
    io::SystemFileFactory mScratch{mFolder.path().c_str()};
    io::SystemFileFactory mFixtures{(nevrik::testing::testData() / "images").c_str()};
    TranslatorRoster mRoster;
};

TEST_F(TranslatorRosterTest, HoldsTheNineTranslatorsInOrderOfWhichBmpPngAndTgaWrite) {
    const std::vector<std::string> order = {"BMP", "DDS", "GIF", "JPG", "PCX", "PNG", "TGA", "HDR", "TIFF"};
    std::vector<std::string> names;
    Bitmap image(PIXEL_RGB8, 1, 1);
    for (io::Translator<Image>* translator : mRoster.getTranslators()) {
        names.push_back(translator->className().substring(28).c_str());
        Pointer<io::File> file = mScratch.create("out");
        const bool writes = names.back() == "BMP" || names.back() == "PNG" || names.back() == "TGA";
        EXPECT_EQ(translator->write(file->getOutputStream(), image), writes) << names.back();
        EXPECT_EQ(file->getSize() > 0, writes) << names.back();
    }
    EXPECT_EQ(names, order);
    EXPECT_EQ(mRoster.getTranslators().getFirst()->className(), "Object:Translator:TranslatorBMP");
}

TEST_F(TranslatorRosterTest, EveryFixtureIsClaimedByItsTranslatorAndDecodesTheSamePicture) {
    // What cameras and phones write: Exif (APP1) where JFIF (APP0) would
    // be, and no JFIF at all.
    std::string reference;
    for (const int value : kReference) {
        reference += static_cast<char>(value);
    }
    const std::string camera = testing::encodeJpeg(5, 3, reference, false);
    ASSERT_EQ(camera.substr(0, 4), "\xFF\xD8\xFF\xE1");
    ASSERT_EQ(camera.find("JFIF"), std::string::npos);
    mFolder.write("camera.jpg", camera);

    struct Fixture {
        const char* name;
        const char* translator;
        int tolerance;
        io::FileFactory& files;
    };
    const Fixture fixtures[] = {
        {"rgb24.bmp", "BMP", 0, mFixtures},  {"indexed8.bmp", "BMP", 0, mFixtures},
        {"rle8.bmp", "BMP", 0, mFixtures},   {"rgb24.dds", "DDS", 0, mFixtures},
        {"rgb.gif", "GIF", 0, mFixtures},    {"rgb.jpg", "JPG", 12, mFixtures},
        {"camera.jpg", "JPG", 12, mScratch}, {"indexed.pcx", "PCX", 0, mFixtures},
        {"rgb.png", "PNG", 0, mFixtures},    {"rgb24.tga", "TGA", 0, mFixtures},
        {"rle24.tga", "TGA", 0, mFixtures},  {"rgb.hdr", "HDR", 2, mFixtures},
    };
    for (const Fixture& fixture : fixtures) {
        SCOPED_TRACE(fixture.name);
        Pointer<io::File> file = fixture.files.open(fixture.name, io::File::kRead);
        io::Translator<Image>* translator = mRoster.find(*file);
        ASSERT_NE(translator, nullptr);
        EXPECT_EQ(translator->className(),
                  types::String("Object:Translator:Translator") + fixture.translator);
        file.reset();
        Pointer<Image> image = mRoster.load(fixture.files, fixture.name);
        ASSERT_TRUE(image);
        ASSERT_EQ(image->getWidth(), 5);
        ASSERT_EQ(image->getHeight(), 3);
        const std::vector<int> rgb = rgbOf(*image);
        ASSERT_EQ(rgb.size(), kReference.size());
        for (std::size_t i = 0; i < rgb.size(); ++i) {
            EXPECT_LE(std::abs(rgb[i] - kReference[i]), fixture.tolerance) << "value " << i;
        }
    }
}

TEST_F(TranslatorRosterTest, UnknownFilesFallToTheHdrReaderAndFailThere) {
    EXPECT_EQ(claimantOf("just some text"), "Object:Translator:TranslatorHDR");
    EXPECT_EQ(claimantOf(""), "Object:Translator:TranslatorHDR");
    mFolder.write("notes.txt", "just some text");
    EXPECT_EQ(testing::messageOf<io::TranslatorFormatException>([&] { mRoster.load(mScratch, "notes.txt"); }),
              "TranslatorFormatException");
}

TEST_F(TranslatorRosterTest, FailedLoadsNameTheFileOnceBesideTheReasonAndKeepTheirClass) {
    // Every fixture cut short, text nobody claims and a missing file: a load
    // that fails describes the file's path once, then the message the
    // failure carries alone (what reading the same bytes directly says).
    const std::string fixtures[] = {"rgb24.bmp",   "rle8.bmp", "rgb24.dds", "rgb.gif", "rgb.jpg",
                                    "indexed.pcx", "rgb.png",  "rle24.tga", "rgb.hdr"};
    int failures = 0;
    for (const std::string& fixture : fixtures) {
        std::ifstream in(nevrik::testing::testData() / "images" / fixture, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        mFolder.write(fixture, bytes.substr(0, bytes.size() / 2));
        std::string direct;
        try {
            Pointer<io::File> file = mScratch.open(fixture.c_str(), io::File::kRead);
            io::InputStream& stream = file->getInputStream();
            mRoster.claim(*file).read(stream, stream.available());
        } catch (const object::Exception& error) {
            direct = error.getMessage().c_str();
        }
        try {
            mRoster.load(mScratch, fixture.c_str());
            EXPECT_EQ(direct, "") << fixture << " loads, but not when read directly";
        } catch (const object::Exception& error) {
            ++failures;
            EXPECT_EQ(std::string(error.describe().c_str()), mFolder / fixture + ": " + direct) << fixture;
        }
    }
    EXPECT_GT(failures, 5);

    mFolder.write("notes.txt", "just some text");
    try {
        mRoster.load(mScratch, "notes.txt");
        ADD_FAILURE() << "text loaded";
    } catch (const io::TranslatorFormatException& error) {
        EXPECT_STREQ(error.what(), "TranslatorFormatException");
        EXPECT_EQ(std::string(error.describe().c_str()),
                  mFolder / "notes.txt" + ": TranslatorFormatException");
    }
    try {
        mRoster.load(mScratch, "absent.png");
        ADD_FAILURE() << "a missing file loaded";
    } catch (const io::FileNotFoundException& error) {
        EXPECT_EQ(std::string(error.describe().c_str()),
                  mFolder / "absent.png" + ": The system cannot find the file specified.");
    }
}

TEST_F(TranslatorRosterTest, TiffFilesAreShadowedByTheHdrReader) {
    Pointer<io::File> file = mFixtures.open("rgb.tiff", io::File::kRead);
    EXPECT_EQ(mRoster.find(*file)->className(), "Object:Translator:TranslatorHDR");
    // Only asked on its own does the TIFF translator know the file.
    file->seek(0, io::File::kBegin);
    TranslatorTIFF tiff;
    EXPECT_TRUE(tiff.probe(*file));
}

TEST_F(TranslatorRosterTest, ProbesNeedTheirWholeSignature) {
    EXPECT_EQ(claimantOf(std::string("BM") + std::string(60, '\0')), "Object:Translator:TranslatorBMP");
    EXPECT_EQ(claimantOf(std::string("DDS ") + std::string(124, '\0')), "Object:Translator:TranslatorDDS");
    // A JPEG whose first segment has an impossible length (0), a PCX header
    // cut short, a lone "GIF": nobody's but HDR's.
    EXPECT_EQ(claimantOf(std::string("\xFF\xD8\xFF\xE1\0\0Exif", 10)), "Object:Translator:TranslatorHDR");
    EXPECT_EQ(claimantOf(std::string("\x0A\x05\x01\x08", 4)), "Object:Translator:TranslatorHDR");
    EXPECT_EQ(claimantOf("GIF"), "Object:Translator:TranslatorHDR");
    // TGA has no signature: a colour-map type of 0 or 1 and a known image type will do.
    EXPECT_EQ(claimantOf(std::string("\0\0\x02", 3)), "Object:Translator:TranslatorTGA");
    EXPECT_EQ(claimantOf(std::string("\0\0\x0C", 3)), "Object:Translator:TranslatorHDR");
}

}  // namespace
}  // namespace nevrik::graphics
