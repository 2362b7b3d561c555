#include "nevrik/graphics3d/ColourMaterial.h"

#include "GlFixture.h"
#include "RenderState.h"

#include <array>

namespace nevrik::graphics3d {
namespace {

using ColourMaterialTest = GlFixture;

TEST_F(ColourMaterialTest, ApplySendsBothFacesAndTheDiffuseColourAsVertexColour) {
    ColourMaterial fresh;
    fresh.apply();
    EXPECT_EQ(fourFloats(glGetMaterialfv, GL_FRONT, GL_AMBIENT),
              (std::array<float, 4>{0.2f, 0.2f, 0.2f, 0.0f}));
    EXPECT_EQ(fourFloats(glGetMaterialfv, GL_BACK, GL_DIFFUSE),
              (std::array<float, 4>{1.0f, 1.0f, 1.0f, 0.0f}))
        << "the default alpha is 0";

    ColourMaterial red;
    ASSERT_TRUE(red.setColour(ColourMaterial::kDiffuse, 1.0f, 0.0f, 0.0f, 0.5f));
    ASSERT_TRUE(red.setColour(ColourMaterial::kEmission, 0.0f, 0.25f, 0.0f, 1.0f));
    red.setShininess(32.0f);
    red.apply();
    EXPECT_EQ(fourFloats(glGetMaterialfv, GL_BACK, GL_EMISSION),
              (std::array<float, 4>{0.0f, 0.25f, 0.0f, 1.0f}));
    GLfloat shininess = 0.0f;
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_EQ(shininess, 32.0f);
    std::array<float, 4> current{};
    glGetFloatv(GL_CURRENT_COLOR, current.data());
    EXPECT_EQ(current, (std::array<float, 4>{1.0f, 0.0f, 0.0f, 0.5f}));

    EXPECT_FALSE(red.setColour(ColourMaterial::kColours, 0.0f, 0.0f, 0.0f, 0.0f));
    EXPECT_EQ(red.getColour(ColourMaterial::kColours), nullptr);
}

TEST_F(ColourMaterialTest, CompiledFormLeavesTheStateAndRecordOfApply) {
    ColourMaterial material;
    material.setColour(ColourMaterial::kAmbient, 0.5f, 0.25f, 0.125f, 1.0f);
    material.setColour(ColourMaterial::kSpecular, 0.75f, 0.5f, 0.25f, 0.0f);
    material.setShininess(12.5f);
    expectCompiledLikeApplied([&] { mContext->apply(material); },
                              [&](system::Assembler& assembler) { material.compile(assembler); });
    EXPECT_EQ(mContext->getCurrentMaterial(), &material);
}

TEST_F(ColourMaterialTest, CompiledProgramReadsTheColoursWhenItRuns) {
    ColourMaterial material;
    system::Assembler assembler;
    ASSERT_TRUE(material.compileApply(assembler));
    const auto program = object::Pointer<system::Program>::adopt(assembler.assemble());
    material.setColour(ColourMaterial::kDiffuse, 0.0f, 0.5f, 1.0f, 1.0f);
    ASSERT_TRUE(program->run());
    std::array<float, 4> current{};
    glGetFloatv(GL_CURRENT_COLOR, current.data());
    EXPECT_EQ(current, (std::array<float, 4>{0.0f, 0.5f, 1.0f, 1.0f}));
}

// A material without an inline form, counting its applies.
class CountingMaterial : public Material {
public:
    void apply() const override { ++mApplied; }
    mutable int mApplied = 0;
};

TEST_F(ColourMaterialTest, MaterialWithoutAnInlineFormCompilesAsACallOfItsApply) {
    CountingMaterial counting;
    system::Assembler inlineOnly;
    EXPECT_FALSE(counting.compileApply(inlineOnly));
    EXPECT_EQ(inlineOnly.getCommands().getCount(), 0);
    runCompiled([&](system::Assembler& assembler) { counting.compile(assembler); });
    EXPECT_EQ(counting.mApplied, 1);
    EXPECT_EQ(mContext->getCurrentMaterial(), &counting);
    mContext->apply(counting);
    EXPECT_EQ(counting.mApplied, 1) << "the program recorded it as current";
}

}  // namespace
}  // namespace nevrik::graphics3d
