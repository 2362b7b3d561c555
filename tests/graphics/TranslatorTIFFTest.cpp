#include "nevrik/graphics/TranslatorTIFF.h"

#include "nevrik/io/SystemFileFactory.h"

#include "graphics/ImageFiles.h"
#include "io/TempFolder.h"

#include <gtest/gtest.h>

namespace nevrik::graphics {
namespace {

TEST(TranslatorTIFFTest, RecognisesBothByteOrdersAndDecodesNothing) {
    nevrik::testing::TempFolder folder;
    io::SystemFileFactory factory(folder.path().c_str());
    TranslatorTIFF translator;
    const auto probe = [&](const std::string& bytes) {
        folder.write("file", bytes);
        return translator.probe(*factory.open("file", io::File::kRead));
    };
    EXPECT_TRUE(probe(std::string("II*\0\x08\0\0\0", 8)));
    EXPECT_TRUE(probe(std::string("MM\0*\0\0\0\x08", 8)));
    EXPECT_FALSE(probe(std::string("II\0*", 4)));
    EXPECT_FALSE(probe(std::string("MM*\0", 4)));
    EXPECT_FALSE(probe("II*"));
    EXPECT_FALSE(testing::decode(translator, std::string("II*\0\x08\0\0\0", 8)));
}

}  // namespace
}  // namespace nevrik::graphics
