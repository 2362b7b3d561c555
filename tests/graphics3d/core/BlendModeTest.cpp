#include "nevrik/graphics3d/core/BlendMode.h"

#include "graphics3d/GlFixture.h"
#include "graphics3d/RenderState.h"

#include <array>

namespace nevrik::graphics3d {
namespace {

using BlendModeTest = GlFixture;

std::array<float, 4> blendColour() {
    std::array<float, 4> colour{};
    glGetFloatv(GL_BLEND_COLOR, colour.data());
    return colour;
}

TEST_F(BlendModeTest, TranslucentModeBlendsAndOpaqueModeDisablesBlendingWhateverItsEquation) {
    BlendMode translucent(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_FALSE(translucent.isOpaque());
    translucent.apply();
    EXPECT_TRUE(isEnabled(GL_BLEND));
    EXPECT_EQ(integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);

    BlendMode opaque;
    opaque.setEquation(GL_FUNC_SUBTRACT);
    opaque.setColour(1.0f, 1.0f, 1.0f, 1.0f);
    EXPECT_TRUE(opaque.isOpaque());
    opaque.apply();
    EXPECT_FALSE(isEnabled(GL_BLEND));
    EXPECT_EQ(integer(GL_BLEND_EQUATION), GL_FUNC_ADD) << "nothing but the switch is sent";
    EXPECT_EQ(blendColour(), (std::array<float, 4>{0.0f, 0.0f, 0.0f, 0.0f}));
}

TEST_F(BlendModeTest, OnlyConstantColourFactorsSendTheColour) {
    BlendMode alpha(GL_SRC_ALPHA, GL_ONE);
    alpha.setColour(0.25f, 0.5f, 0.75f, 1.0f);
    alpha.apply();
    EXPECT_EQ(blendColour(), (std::array<float, 4>{0.0f, 0.0f, 0.0f, 0.0f}));

    BlendMode constant(GL_CONSTANT_COLOR, GL_ZERO);
    constant.setColour(0.25f, 0.5f, 0.75f, 1.0f);
    constant.setEquation(GL_FUNC_REVERSE_SUBTRACT);
    constant.apply();
    EXPECT_EQ(blendColour(), (std::array<float, 4>{0.25f, 0.5f, 0.75f, 1.0f}));
    EXPECT_EQ(integer(GL_BLEND_EQUATION), GL_FUNC_REVERSE_SUBTRACT);
}

TEST_F(BlendModeTest, CompiledRecordOfNoModeAndDestructionBothEmptyTheRecord) {
    {
        BlendMode mode(GL_ONE, GL_ONE);
        mContext->apply(mode);
        runCompiled([](system::Assembler& assembler) {
            Context::compileRecord(assembler, Context::Record::CurrentBlendMode, nullptr);
        });
        EXPECT_EQ(mContext->getCurrentBlendMode(), nullptr);
        EXPECT_TRUE(isEnabled(GL_BLEND)) << "only the record changes";
        runCompiled([&](system::Assembler& assembler) { mode.compile(assembler); });
        ASSERT_EQ(mContext->getCurrentBlendMode(), &mode);
    }
    EXPECT_EQ(mContext->getCurrentBlendMode(), nullptr);
}

}  // namespace
}  // namespace nevrik::graphics3d
