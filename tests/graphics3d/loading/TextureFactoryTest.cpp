#include "nevrik/graphics3d/loading/TextureFactory.h"

#include "nevrik/graphics3d/core/Texture2D.h"
#include "nevrik/io/FileNotFoundException.h"
#include "nevrik/io/SystemFileFactory.h"
#include "nevrik/io/TranslatorException.h"

#include "graphics3d/GlFixture.h"
#include "graphics3d/ImageFiles.h"

#include <fstream>
#include <string>

namespace nevrik::graphics3d {
namespace {

using TextureFactoryTest = GlFixture;

TEST_F(TextureFactoryTest, LoadsAnImageFileAsAMipmappedTrilinearTexture) {
    TextureFactory factory(imageFiles().get());
    const object::Pointer<Texture> texture = factory.create(types::String("rgb24.bmp"));
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->getReferenceCount(), 1);
    auto* flat = dynamic_cast<Texture2D*>(texture.get());
    ASSERT_NE(flat, nullptr);
    // The 5 x 3 picture, resized.
    EXPECT_EQ(flat->getWidth(), 8);
    EXPECT_EQ(flat->getHeight(), 4);
    EXPECT_EQ(texture->getMinFilter(), static_cast<std::uint32_t>(GL_LINEAR_MIPMAP_LINEAR));
    EXPECT_EQ(texture->getMagFilter(), static_cast<std::uint32_t>(GL_LINEAR));
    glBindTexture(GL_TEXTURE_2D, texture->getTextureName());
    GLint generating = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, &generating);
    EXPECT_EQ(generating, GL_TRUE);
    GLubyte texels[8 * 4 * 3] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    // Top left of the picture is red, bottom right (250, 240, 230).
    EXPECT_EQ(texels[0], 255);
    EXPECT_EQ(texels[1], 0);
    EXPECT_EQ(texels[(3 * 8 + 7) * 3 + 1], 240);

    const std::string path = std::string(NEVRIK_TEST_DATA) + "/images/rgb24.bmp";
    EXPECT_THROW(TextureFactory().create(types::String(path.c_str())), io::FileNotFoundException)
        << "no file factory: the base name, in the current directory only";
}

TEST_F(TextureFactoryTest, MissingAndUnreadableFilesPassTheirExceptionsOn) {
    TextureFactory factory(imageFiles().get());
    EXPECT_THROW(factory.create(types::String("no such image.bmp")), io::FileNotFoundException);
    try {
        factory.create(types::String("C:\\maps\\no such image.bmp"));
        ADD_FAILURE() << "found";
    } catch (const io::FileNotFoundException& missing) {
        EXPECT_STREQ(missing.describe().c_str(), "no such image.bmp: FileNotFoundException")
            << "the name looked for";
    }

    const std::string folder = ::testing::TempDir();
    std::ofstream(folder + "/texture factory junk.bin") << "nothing any image translator reads";
    TextureFactory junk(object::make<io::SystemFileFactory>(folder.c_str()).get());
    EXPECT_THROW(junk.create(types::String("texture factory junk.bin")), io::TranslatorException);
}

}  // namespace
}  // namespace nevrik::graphics3d
