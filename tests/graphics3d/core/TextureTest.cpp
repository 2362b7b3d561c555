#include "nevrik/graphics3d/core/Texture.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics3d/core/Texture2D.h"
#include "nevrik/object/Pointer.h"

#include "graphics3d/GlFixture.h"
#include "graphics3d/RenderState.h"
#include "graphics3d/TextureNames.h"

namespace nevrik::graphics3d {
namespace {

using TextureTest = GlFixture;

GLint parameter(GLenum target, GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(target, name, &value);
    return value;
}

// A texture on a name made here, with a level of `internalFormat`.
object::Pointer<Texture> wrap(GLenum target, GLint internalFormat) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(target, name);
    if (target == GL_TEXTURE_2D) {
        glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    }
    glBindTexture(target, 0);
    return object::make<Texture>(name, target);
}

TEST_F(TextureTest, ConstructionReadsTheLevelBackSendsTheDefaultsAndRecordsTheBinding) {
    glActiveTexture(GL_TEXTURE5);
    const auto texture = wrap(GL_TEXTURE_2D, GL_ALPHA16);
    EXPECT_EQ(texture->getFormat(), static_cast<std::uint32_t>(graphics::PIXEL_A16));
    EXPECT_EQ(texture->getLevels(), 1001) << "GL_TEXTURE_MAX_LEVEL 1000, plus one";
    EXPECT_EQ(texture->getBindingQuery(), static_cast<std::uint32_t>(GL_TEXTURE_BINDING_2D));
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(texture->getTextureName()));
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_R), GL_REPEAT);
    GLfloat lod = 0.0f;
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MIN_LOD, &lod);
    EXPECT_EQ(lod, -1000.0f);
    EXPECT_EQ(mContext->getBoundTexture(5), texture.get());

    EXPECT_EQ(wrap(GL_TEXTURE_2D, GL_RGB5)->getFormat(), 0u) << "no pixel format for GL_RGB5";
    const auto cube = wrap(GL_TEXTURE_CUBE_MAP, GL_RGBA8);
    EXPECT_EQ(cube->getBindingQuery(), static_cast<std::uint32_t>(GL_TEXTURE_BINDING_CUBE_MAP));
    EXPECT_EQ(mContext->getBoundTarget(5), static_cast<std::uint32_t>(GL_TEXTURE_CUBE_MAP));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureTest, SetFilterBindsTheTextureBoundBeforeAgain) {
    const auto texture = wrap(GL_TEXTURE_2D, GL_RGBA8);
    const auto other = wrap(GL_TEXTURE_2D, GL_RGBA8);
    ASSERT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(other->getTextureName()));
    texture->setFilter(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(other->getTextureName()));
    EXPECT_EQ(mContext->getBoundTexture(0), other.get());
    EXPECT_EQ(texture->getMinFilter(), static_cast<std::uint32_t>(GL_LINEAR_MIPMAP_LINEAR));
    glBindTexture(GL_TEXTURE_2D, texture->getTextureName());
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
}

TEST_F(TextureTest, CompiledBindBindsAndRecordsWithoutComparing) {
    const auto texture = wrap(GL_TEXTURE_2D, GL_RGBA8);
    system::Assembler refused;
    EXPECT_FALSE(texture->compileBindToUnit(refused, Context::kTextureUnits));
    EXPECT_EQ(refused.getCommands().getCount(), 0);
    expectCompiledLikeApplied(
        [&] { texture->bindToUnit(6); },
        [&](system::Assembler& assembler) { texture->compileBindToUnit(assembler, 6); });
    EXPECT_EQ(mContext->getBoundTexture(6), texture.get());
    glBindTexture(GL_TEXTURE_2D, 0);
    runCompiled([&](system::Assembler& assembler) { texture->compileBindToUnit(assembler, 6); });
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(texture->getTextureName()))
        << "bound again although the record held it";
}

TEST_F(TextureTest, DestructionDeletesTheNameAndEmptiesEveryUnitHoldingIt) {
    auto texture = wrap(GL_TEXTURE_2D, GL_RGBA8);
    const auto kept = wrap(GL_TEXTURE_2D, GL_RGBA8);
    const GLuint name = texture->getTextureName();
    texture->bindToUnit(1);
    texture->bindToUnit(4);
    kept->bindToUnit(2);
    texture.reset();
    EXPECT_EQ(glIsTexture(name), GL_FALSE);
    EXPECT_EQ(mContext->getBoundTexture(1), nullptr);
    EXPECT_EQ(mContext->getBoundTexture(4), nullptr);
    EXPECT_EQ(mContext->getBoundTexture(2), kept.get());
}

TEST_F(TextureTest, TenThousandTexturesMadeAndDestroyedLeaveNoLiveName) {
    graphics::Bitmap image(graphics::PIXEL_RGBA8, 3, 3);
    const GLuint first = nextName();
    for (int i = 0; i < 10000; ++i) {
        Texture2D::create(image, 1);
    }
    EXPECT_EQ(liveTexturesSince(first), 0);
    EXPECT_GE(nextName() - first, 10000u) << "every texture had a name of its own";
    for (int unit = 0; unit < Context::kTextureUnits; ++unit) {
        EXPECT_EQ(mContext->getBoundTexture(unit), nullptr);
    }
}

}  // namespace
}  // namespace nevrik::graphics3d
