#include "nevrik/graphics3d/core/PointLight.h"

#include "nevrik/graphics3d/core/ColourMaterial.h"
#include "nevrik/graphics3d/core/FixedShader.h"
#include "nevrik/object/Pointer.h"

#include "graphics3d/GlFixture.h"
#include "graphics3d/RenderState.h"

namespace nevrik::graphics3d {
namespace {

using PointLightTest = GlFixture;

TEST_F(PointLightTest, LitTriangleTakesTheColourOfMaterialAndLightAttenuatedByDistance) {
    prepareDrawing(64, 48);
    auto lamp = object::make<PointLight>();
    lamp->setColour(PointLight::kDiffuse, 1.0f, 0.5f, 1.0f, 1.0f);
    lamp->setColour(PointLight::kSpecular, 0.0f, 0.0f, 0.0f, 0.0f);
    lamp->setPosition(0.0f, 0.0f, 100.0f);
    ColourMaterial paint;
    paint.setColour(ColourMaterial::kAmbient, 0.0f, 0.0f, 0.0f, 1.0f);
    paint.setColour(ColourMaterial::kDiffuse, 0.8f, 0.4f, 0.2f, 1.0f);
    paint.setColour(ColourMaterial::kSpecular, 0.0f, 0.0f, 0.0f, 1.0f);
    FixedShader lit(VertexFormat::kPositionArray | VertexFormat::kNormalArray, FixedShader::kLighting);
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
