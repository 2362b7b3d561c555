#include "nevrik/graphics3d/loading/TextureManager.h"

#include "nevrik/io/FileNotFoundException.h"
#include "nevrik/io/IOException.h"

#include "graphics3d/GlFixture.h"
#include "graphics3d/ImageFiles.h"

namespace nevrik::graphics3d {
namespace {

using TextureManagerTest = GlFixture;

TEST_F(TextureManagerTest, EachNameIsLoadedOnce) {
    auto files = object::make<CountingFiles>();
    TextureManager manager(files.get());
    Texture* first = manager.get(types::String("rgb24.bmp"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(manager.get(types::String("rgb24.bmp")), first);
    EXPECT_EQ(files->mOpened, 1);
    Texture* other = manager.get(types::String("rgb24.tga"));
    EXPECT_NE(other, first);
    EXPECT_EQ(files->mOpened, 2);
    EXPECT_EQ(manager.getCount(), 2);
}

TEST_F(TextureManagerTest, FailedLoadsPassTheirExceptionAndAreTriedAgain) {
    auto files = object::make<CountingFiles>();
    TextureManager manager(files.get());
    EXPECT_THROW(manager.get(types::String("missing.bmp")), io::FileNotFoundException);
    EXPECT_THROW(manager.get(types::String("missing.bmp")), io::FileNotFoundException);
    // The empty name is the folder itself, which is no texture.
    EXPECT_THROW(manager.get(types::String("")), io::IOException);
    EXPECT_EQ(files->mOpened, 0) << "a name the folder does not list is never opened";
    EXPECT_EQ(manager.getCount(), 0);
}

TEST_F(TextureManagerTest, TexturesLiveAsLongAsTheManagerOrTheirOtherHolders) {
    GLuint name = 0;
    object::Pointer<Texture> kept;
    {
        TextureManager manager(imageFiles().get());
        Texture* texture = manager.get(types::String("rgb24.bmp"));
        EXPECT_EQ(texture->getReferenceCount(), 1) << "the manager's own";
        name = texture->getTextureName();
        kept.reset(manager.get(types::String("indexed8.bmp")));
    }
    EXPECT_EQ(glIsTexture(name), GL_FALSE);
    EXPECT_EQ(kept->getReferenceCount(), 1);
    EXPECT_EQ(glIsTexture(kept->getTextureName()), GL_TRUE);
}

}  // namespace
}  // namespace nevrik::graphics3d
