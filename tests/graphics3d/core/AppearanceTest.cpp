#include "nevrik/graphics3d/core/Appearance.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics3d/core/ColourMaterial.h"
#include "nevrik/graphics3d/core/PlainShader.h"
#include "nevrik/graphics3d/core/Texture2D.h"
#include "nevrik/graphics3d/core/TextureShader.h"

#include "graphics3d/GlFixture.h"
#include "graphics3d/RenderState.h"

namespace nevrik::graphics3d {
namespace {

using AppearanceTest = GlFixture;

// A material that counts how often it is sent.
class CountingMaterial : public ColourMaterial {
public:
    void apply() const override {
        ++mApplied;
        ColourMaterial::apply();
    }
    mutable int mApplied = 0;
};

template <class T>
object::Pointer<T> make() {
    return object::make<T>();
}

TEST_F(AppearanceTest, StartsWithTheContextsDefaultsAndKeepsThemAndTheContextAlive) {
    const int contextCount = mContext->getReferenceCount();
    const int materialCount = mContext->getDefaultMaterial().getReferenceCount();
    {
        const auto appearance = make<Appearance>();
        EXPECT_EQ(appearance->getMaterial(), &mContext->getDefaultMaterial());
        EXPECT_EQ(appearance->getShader(), &mContext->getDefaultShader());
        EXPECT_EQ(appearance->getBlendMode(), &mContext->getDefaultBlendMode());
        EXPECT_EQ(appearance->getDepthMode(), nullptr);
        EXPECT_EQ(mContext->getReferenceCount(), contextCount + 1);
        EXPECT_EQ(mContext->getDefaultMaterial().getReferenceCount(), materialCount + 1);
    }
    EXPECT_EQ(mContext->getReferenceCount(), contextCount);
    EXPECT_EQ(mContext->getDefaultMaterial().getReferenceCount(), materialCount);
}

TEST_F(AppearanceTest, ApplySendsOnlyWhatIsNotInForceAndLeavesEmptyCategoriesAlone) {
    const auto material = make<CountingMaterial>();
    const auto shader = object::make<TextureShader>(VertexFormat::kPositionArray);
    const auto polygons = make<PolygonMode>();
    const auto texture = Texture2D::create(graphics::PIXEL_RGB8, 2, 2, 1);
    const auto appearance = make<Appearance>();
    appearance->setMaterial(material.get());
    appearance->setShader(shader.get());
    appearance->setPolygonMode(polygons.get());
    appearance->setTexture(3, texture.get());
    DepthMode& depth = mContext->getDefaultDepthMode();
    mContext->apply(depth);

    ASSERT_TRUE(appearance->apply());
    EXPECT_EQ(mContext->getCurrentShader(), shader.get());
    EXPECT_EQ(mContext->getCurrentMaterial(), material.get());
    EXPECT_EQ(mContext->getCurrentBlendMode(), &mContext->getDefaultBlendMode());
    EXPECT_EQ(mContext->getCurrentPolygonMode(), polygons.get());
    EXPECT_EQ(mContext->getCurrentDepthMode(), &depth) << "no depth mode: the one in force stays";
    EXPECT_EQ(mContext->getCurrentStencilMode(), nullptr);
    EXPECT_EQ(mContext->getBoundTexture(3), texture.get());
    EXPECT_EQ(material->mApplied, 1);

    glActiveTexture(GL_TEXTURE0);
    glDisable(GL_TEXTURE_2D);
    ASSERT_TRUE(appearance->apply());
    EXPECT_EQ(material->mApplied, 1);
    EXPECT_FALSE(isEnabled(GL_TEXTURE_2D)) << "the shader in force was not bound again";
}

// Every category set, the states with their tests and switches on.
object::Pointer<Appearance> everythingOn(Texture* first, Texture* second) {
    const auto material = make<ColourMaterial>();
    material->setColour(ColourMaterial::kSpecular, 0.5f, 0.25f, 1.0f, 0.75f);
    material->setShininess(12.5f);
    const auto blend = object::make<BlendMode>(GL_ONE_MINUS_CONSTANT_ALPHA, GL_SRC_ALPHA);
    blend->setEquation(GL_MAX);
    blend->setColour(0.5f, 0.25f, 1.0f, 0.75f);
    blend->setAlphaTest(GL_LEQUAL, 0.25f);
    const auto stencil = make<StencilMode>();
    stencil->setFunction(GL_EQUAL, 5, 0x7);
    stencil->setOperations(GL_REPLACE, GL_INVERT, GL_INCR_WRAP);
    stencil->setWriteMask(0x3);
    const auto depth = make<DepthMode>();
    depth->setFunction(GL_GREATER);
    depth->setWriteMask(false);
    depth->setRange(0.125f, 0.875f);
    const auto polygons = make<PolygonMode>();
    polygons->setModes(GL_POINT, GL_LINE);
    polygons->setCull(PolygonMode::kCullFront);
    polygons->setOffset(-1.0f, 0.5f);
    const auto appearance = make<Appearance>();
    appearance->setMaterial(material.get());
    appearance->setShader(
        object::make<TextureShader>(VertexFormat::kPositionArray | VertexFormat::kColourArray,
                                    FixedShader::kLighting | FixedShader::kLocalViewer)
            .get());
    appearance->setBlendMode(blend.get());
    appearance->setStencilMode(stencil.get());
    appearance->setDepthMode(depth.get());
    appearance->setPolygonMode(polygons.get());
    appearance->setTexture(0, first);
    appearance->setTexture(7, second);
    return appearance;
}

// Every category set, the states with their tests and switches off.
object::Pointer<Appearance> everythingOff(Texture* texture) {
    const auto depth = make<DepthMode>();
    depth->setFunction(-1);
    const auto polygons = make<PolygonMode>();
    polygons->setCull(7);
    const auto appearance = make<Appearance>();
    appearance->setMaterial(make<Material>().get());
    appearance->setShader(object::make<PlainShader>(0, FixedShader::kTwoSided).get());
    appearance->setBlendMode(make<BlendMode>().get());
    appearance->setStencilMode(make<StencilMode>().get());
    appearance->setDepthMode(depth.get());
    appearance->setPolygonMode(polygons.get());
    appearance->setTexture(2, texture);
    return appearance;
}

TEST_F(AppearanceTest, CompiledFormLeavesTheStateAndRecordsOfApply) {
    const auto first = Texture2D::create(graphics::PIXEL_RGB8, 2, 2, 1);
    const auto second = Texture2D::create(graphics::PIXEL_A8, 4, 4, 1);
    for (const auto& appearance : {everythingOn(first.get(), second.get()), everythingOff(second.get())}) {
        expectCompiledLikeApplied([&] { appearance->apply(); },
                                  [&](system::Assembler& assembler) { appearance->compile(assembler); });
        EXPECT_EQ(mContext->getCurrentStencilMode(), appearance->getStencilMode());
        EXPECT_EQ(mContext->getCurrentShader(), appearance->getShader());
    }
}

TEST_F(AppearanceTest, TranslucentQuadMixesWithTheOpaqueOneBehindIt) {
    prepareDrawing(64, 48);
    const auto blue = make<ColourMaterial>();
    blue->setColour(ColourMaterial::kDiffuse, 0.0f, 0.0f, 1.0f, 1.0f);
    const auto opaque = make<Appearance>();
    opaque->setMaterial(blue.get());
    ASSERT_TRUE(opaque->apply());
    drawQuad(-1.0f, -1.0f, 1.0f, 1.0f);

    const auto red = make<ColourMaterial>();
    red->setColour(ColourMaterial::kDiffuse, 1.0f, 0.0f, 0.0f, 0.25f);
    const auto translucent = make<Appearance>();
    translucent->setMaterial(red.get());
    const auto blend = object::make<BlendMode>(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    translucent->setBlendMode(blend.get());
    ASSERT_TRUE(translucent->apply());
    drawQuad(-1.0f, -1.0f, 0.0f, 1.0f);

    EXPECT_TRUE(near(pixelAt(16, 24), {64, 0, 191}));
    EXPECT_TRUE(near(pixelAt(48, 24), {0, 0, 255}));
}

}  // namespace
}  // namespace nevrik::graphics3d
