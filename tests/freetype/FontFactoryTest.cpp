#include "nevrik/freetype/FontFactory.h"

#include "freetype/Failure.h"
#include "freetype/FontFiles.h"
#include "nevrik/io/DirectoryNotFoundException.h"
#include "nevrik/io/SystemFileFactory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace nevrik::freetype {
namespace {

using object::Pointer;

Pointer<io::FileFactory> filesIn(const std::filesystem::path& path) {
    return object::make<io::SystemFileFactory>(path.c_str());
}

class FontFactoryTest : public ::testing::Test {
protected:
    void registerInOrder(const std::vector<std::string>& faces) {
        for (const std::string& face : faces) {
            testing::copyDejaVu(mFolder, face, face);
            ASSERT_TRUE(mFactory->registerFont(face.c_str())) << face;
        }
    }

    std::string chosen(const char* family, const char* style) {
        const Pointer<Font> font = mFactory->createFont(Descriptor(family, style));
        EXPECT_EQ(font->getReferenceCount(), 1);
        return font->getDescriptor().toString().c_str();
    }

    // "file: family / style" per entry, sorted: listings come in no set order.
    std::vector<std::string> registered() const {
        std::vector<std::string> lines;
        for (const FontInfo& info : mFactory->getFonts()) {
            lines.push_back(std::string(info.getFileName().c_str()) + ": " + info.getFamily().c_str() +
                            " / " + info.getStyle().c_str());
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    testing::TempFolder mFolder;
    const Pointer<io::FileFactory> mFiles = filesIn(mFolder.path());
    // Made over the empty folder, so that each test registers in its own order.
    const Pointer<FontFactory> mFactory = object::make<FontFactory>(*mFiles);
};

TEST_F(FontFactoryTest, FamilyMatchBeatsStyleMatchAndBothIgnoreCase) {
    registerInOrder({"DejaVuSans.ttf", "DejaVuSerif-Bold.ttf"});
    EXPECT_EQ(chosen("DEJAVU sans", "Bold"), "DejaVu Sans Book");
    EXPECT_EQ(chosen("dejavu serif", "book"), "DejaVu Serif Bold");
    registerInOrder({"DejaVuSans-Bold.ttf"});
    EXPECT_EQ(chosen("DejaVu Sans", "BOLD"), "DejaVu Sans Bold");
    EXPECT_EQ(chosen("DejaVu Sans", "book"), "DejaVu Sans Book");
}

TEST_F(FontFactoryTest, WithoutFamilyMatchTheLastStyleMatchOrElseTheLastFontWins) {
    EXPECT_EQ(testing::freetypeFailureOf([&] { mFactory->createFont(Descriptor()); }),
              "Object:Exception:FreetypeException:NoMatchException / NoMatchException");
    registerInOrder({"DejaVuSerif-Bold.ttf", "DejaVuSans.ttf", "DejaVuSansMono-Bold.ttf"});
    EXPECT_EQ(chosen("Nothing", "book"), "DejaVu Sans Book");
    EXPECT_EQ(chosen("Nothing", "bold"), "DejaVu Sans Mono Bold");
    EXPECT_EQ(chosen("Nothing", "italic"), "DejaVu Sans Mono Bold");
}

TEST_F(FontFactoryTest, ScanRegistersEveryFaceFreetypeOpensAndSkipsTheRest) {
    testing::copyDejaVu(mFolder, "DejaVuSans-Bold.ttf", "bold.ttf");
    testing::copyDejaVu(mFolder, "DejaVuSerif.ttf", "serif");
    mFolder.write("cut.ttf", mFolder.read("bold.ttf").substr(0, 2000));
    mFolder.write("empty.ttf", "");
    mFolder.write("squares.ttf", testing::SquareFont("Nevrik SQUARES", "").bytes());
    std::filesystem::create_directory(mFolder / "folder.ttf");

    mFactory->setFileFactory(*mFiles);
    const std::vector<std::string> expected = {"bold.ttf: dejavu sans / bold", "serif: dejavu serif / book",
                                               "squares.ttf: nevrik squares / "};
    EXPECT_EQ(registered(), expected);
    EXPECT_FALSE(mFactory->registerFont("absent.ttf"));
    EXPECT_FALSE(mFactory->registerFont("cut.ttf"));
    EXPECT_EQ(registered(), expected);

    // A folder that cannot be listed changes nothing; another one replaces the registry.
    const Pointer<io::FileFactory> missing = filesIn(mFolder / "missing");
    EXPECT_THROW(mFactory->setFileFactory(*missing), io::DirectoryNotFoundException);
    EXPECT_EQ(mFactory->getFileFactory(), mFiles.get());
    EXPECT_EQ(registered(), expected);
    const Pointer<io::FileFactory> empty = filesIn(mFolder / "folder.ttf");
    mFactory->setFileFactory(*empty);
    EXPECT_EQ(empty->getReferenceCount(), 2);
    EXPECT_TRUE(registered().empty());
}

TEST_F(FontFactoryTest, ChosenFileDamagedIsFreetypeExceptionAndGoneIsFormatException) {
    registerInOrder({"DejaVuSans.ttf"});
    const auto create = [&] { mFactory->createFont(Descriptor()); };
    mFolder.write("DejaVuSans.ttf", "damaged since it was registered");
    EXPECT_EQ(testing::freetypeFailureOf(create), "Object:Exception:FreetypeException / FreetypeException");
    std::filesystem::remove(mFolder / "DejaVuSans.ttf");
    EXPECT_EQ(testing::freetypeFailureOf(create),
              "Object:Exception:FreetypeException:FormatException / FormatException");
}

}  // namespace
}  // namespace nevrik::freetype
