#include "nevrik/graphics3d/core/TextureShader.h"

#include "nevrik/graphics3d/core/PlainShader.h"

#include "graphics3d/GlFixture.h"
#include "graphics3d/RenderState.h"

namespace nevrik::graphics3d {
namespace {

using TextureShaderTest = GlFixture;

constexpr std::uint32_t kTextured =
    VertexFormat::kPositionArray | VertexFormat::kNormalArray | VertexFormat::kTextureArray;

bool unitZero(GLenum state) {
    glActiveTexture(GL_TEXTURE0);
    glClientActiveTexture(GL_TEXTURE0);
    return glIsEnabled(state) == GL_TRUE;
}

TEST_F(TextureShaderTest, SwitchingToAPlainShaderStopsTexturingUnitZero) {
    TextureShader textured(kTextured, 7);
    PlainShader plain(VertexFormat::kPositionArray | VertexFormat::kNormalArray, 7);
    glActiveTexture(GL_TEXTURE4);
    textured.bind();
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_TRUE(unitZero(GL_TEXTURE_2D));
    EXPECT_TRUE(unitZero(GL_TEXTURE_COORD_ARRAY));
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE);
    EXPECT_TRUE(isEnabled(GL_LIGHTING));
    EXPECT_EQ(integer(GL_LIGHT_MODEL_TWO_SIDE), GL_TRUE);

    plain.bind();
    EXPECT_FALSE(unitZero(GL_TEXTURE_2D));
    EXPECT_FALSE(unitZero(GL_TEXTURE_COORD_ARRAY));
    EXPECT_TRUE(isEnabled(GL_LIGHTING)) << "disabled by the textured shader, enabled by the plain one";
    EXPECT_TRUE(isEnabled(GL_NORMAL_ARRAY));
}

TEST_F(TextureShaderTest, CompiledDisableLeavesTheStateOfDisable) {
    TextureShader textured(kTextured, FixedShader::kLighting);
    expectCompiledLikeApplied([&] { textured.disable(); },
                              [&](system::Assembler& assembler) { textured.compileDisable(assembler); });
    EXPECT_FALSE(unitZero(GL_TEXTURE_2D));
    EXPECT_FALSE(isEnabled(GL_LIGHTING));
}

// With vertex colours the colour array stands for the ambient and diffuse
// colours while the shader is bound, compiled or not, and no longer after.
TEST_F(TextureShaderTest, VertexColoursTrackAmbientAndDiffuseWhileBound) {
    const std::uint32_t flags = FixedShader::kLighting | FixedShader::kVertexColours;
    TextureShader coloured(kTextured | VertexFormat::kColourArray, flags);
    PlainShader plain(VertexFormat::kPositionArray, FixedShader::kLighting);
    coloured.bind();
    EXPECT_TRUE(isEnabled(GL_COLOR_MATERIAL));
    EXPECT_TRUE(isEnabled(GL_COLOR_ARRAY));
    EXPECT_EQ(integer(GL_COLOR_MATERIAL_PARAMETER), GL_AMBIENT_AND_DIFFUSE);
    EXPECT_EQ(integer(GL_COLOR_MATERIAL_FACE), GL_FRONT_AND_BACK);
    plain.bind();
    EXPECT_FALSE(isEnabled(GL_COLOR_MATERIAL));
    EXPECT_FALSE(isEnabled(GL_COLOR_ARRAY));

    expectCompiledLikeApplied([&] { coloured.enable(); },
                              [&](system::Assembler& assembler) { coloured.compileEnable(assembler); });
    EXPECT_TRUE(isEnabled(GL_COLOR_MATERIAL));
    EXPECT_EQ(integer(GL_COLOR_MATERIAL_PARAMETER), GL_AMBIENT_AND_DIFFUSE);
    expectCompiledLikeApplied([&] { coloured.disable(); },
                              [&](system::Assembler& assembler) { coloured.compileDisable(assembler); });
    EXPECT_FALSE(isEnabled(GL_COLOR_MATERIAL));
}

}  // namespace
}  // namespace nevrik::graphics3d
