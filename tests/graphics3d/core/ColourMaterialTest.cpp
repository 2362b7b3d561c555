#include "nevrik/graphics3d/core/ColourMaterial.h"

#include "graphics3d/GlFixture.h"
#include "graphics3d/RenderState.h"

#include <array>

namespace nevrik::graphics3d {
namespace {

using ColourMaterialTest = GlFixture;

TEST_F(ColourMaterialTest, CompiledProgramReadsTheColoursWhenItRuns) {
    ColourMaterial material;
    system::Assembler assembler;
    ASSERT_TRUE(material.compileApply(assembler));
    const auto program = assembler.assemble();
    ASSERT_TRUE(material.setColour(ColourMaterial::kDiffuse, 0.0f, 0.5f, 1.0f, 1.0f));
    EXPECT_FALSE(material.setColour(ColourMaterial::kColours, 0.0f, 0.0f, 0.0f, 0.0f));
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
