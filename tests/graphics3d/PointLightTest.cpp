#include "nevrik/graphics3d/PointLight.h"

#include "nevrik/graphics3d/ColourMaterial.h"
#include "nevrik/graphics3d/FixedShader.h"
#include "nevrik/object/Pointer.h"

#include "GlFixture.h"
#include "RenderState.h"

#include <array>

namespace nevrik::graphics3d {
namespace {

using PointLightTest = GlFixture;

TEST_F(PointLightTest, ApplySendsAPointWithAFullSphereCone) {
    PointLight lamp;
    lamp.setColour(PointLight::kSpecular, 0.25f, 0.5f, 0.75f, 1.0f);
    lamp.setPosition(1.0f, 2.0f, 3.0f);
    lamp.setAttenuation(2.0f, 0.5f, 0.25f);
    glLightf(GL_LIGHT6, GL_SPOT_CUTOFF, 45.0f);
    glLightf(GL_LIGHT6, GL_SPOT_EXPONENT, 8.0f);
    lamp.apply(6);
    EXPECT_EQ(fourFloats(glGetLightfv, GL_LIGHT6, GL_SPECULAR),
              (std::array<float, 4>{0.25f, 0.5f, 0.75f, 1.0f}));
    EXPECT_EQ(fourFloats(glGetLightfv, GL_LIGHT6, GL_POSITION),
              (std::array<float, 4>{1.0f, 2.0f, 3.0f, 1.0f}));
    EXPECT_EQ(fourFloats(glGetLightfv, GL_LIGHT6, GL_QUADRATIC_ATTENUATION)[0], 0.25f);
    EXPECT_EQ(fourFloats(glGetLightfv, GL_LIGHT6, GL_SPOT_CUTOFF)[0], 180.0f);
    EXPECT_EQ(fourFloats(glGetLightfv, GL_LIGHT6, GL_SPOT_EXPONENT)[0], 0.0f);

    lamp.apply(8);
    lamp.apply(-1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "no slot, nothing sent";
    EXPECT_FALSE(lamp.setColour(PointLight::kColours, 0.0f, 0.0f, 0.0f, 0.0f));
}

TEST_F(PointLightTest, LitTriangleTakesTheColourOfMaterialAndLightAttenuatedByDistance) {
    prepareDrawing(64, 48);
    auto lamp = object::Pointer<PointLight>::adopt(new PointLight());
    lamp->setColour(PointLight::kDiffuse, 1.0f, 0.5f, 1.0f, 1.0f);
    lamp->setColour(PointLight::kSpecular, 0.0f, 0.0f, 0.0f, 0.0f);
    lamp->setPosition(0.0f, 0.0f, 100.0f);
    ColourMaterial paint;
    paint.setColour(ColourMaterial::kAmbient, 0.0f, 0.0f, 0.0f, 1.0f);
    paint.setColour(ColourMaterial::kDiffuse, 0.8f, 0.4f, 0.2f, 1.0f);
    paint.setColour(ColourMaterial::kSpecular, 0.0f, 0.0f, 0.0f, 1.0f);
    FixedShader lit(Context::kPositionArray | Context::kNormalArray, FixedShader::kLighting);
    lit.bind();
    mContext->apply(paint);
    auto triangle = [] {
        glBegin(GL_TRIANGLES);
        glNormal3f(0.0f, 0.0f, 1.0f);
        glVertex3f(-1.0f, -1.0f, 0.0f);
        glVertex3f(1.0f, -1.0f, 0.0f);
        glVertex3f(0.0f, 1.0f, 0.0f);
        glEnd();
    };

    ASSERT_TRUE(mContext->getLightStack().put(0, lamp.get()));
    triangle();
    EXPECT_TRUE(near(pixelAt(32, 20), {204, 51, 51}));
    EXPECT_TRUE(near(pixelAt(2, 46), {0, 0, 0})) << "outside the triangle";

    // 1 / (1 + 0.0001 * 100^2) halves it: a light at a point, not a direction.
    lamp->setAttenuation(1.0f, 0.0f, 0.0001f);
    mContext->getLightStack().put(0, lamp.get());
    triangle();
    EXPECT_TRUE(near(pixelAt(32, 20), {102, 25, 25}));
}

}  // namespace
}  // namespace nevrik::graphics3d
