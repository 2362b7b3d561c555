#include "nevrik/graphics3d/StencilMode.h"

#include "GlFixture.h"
#include "RenderState.h"

namespace nevrik::graphics3d {
namespace {

using StencilModeTest = GlFixture;

TEST_F(StencilModeTest, DefaultsTestNothingAndWriteNothing) {
    glStencilMask(0xFF);
    StencilMode mode;
    mode.apply();
    EXPECT_FALSE(isEnabled(GL_STENCIL_TEST));
    EXPECT_EQ(integer(GL_STENCIL_WRITEMASK), 0) << "the write mask starts at 0, not all ones";
    EXPECT_EQ(integer(GL_STENCIL_FAIL), GL_KEEP);
}

TEST_F(StencilModeTest, CompiledFormLeavesTheStateAndRecordOfApply) {
    StencilMode marking;
    marking.setFunction(GL_EQUAL, 5, 0x7);
    marking.setOperations(GL_REPLACE, GL_INVERT, GL_INCR_WRAP);
    marking.setWriteMask(0x3);
    StencilMode off;
    for (StencilMode* mode : {&marking, &off}) {
        expectCompiledLikeApplied([&] { mContext->apply(*mode); },
                                  [&](system::Assembler& assembler) { mode->compile(assembler); });
        EXPECT_EQ(mContext->getCurrentStencilMode(), mode);
    }
    EXPECT_EQ(integer(GL_STENCIL_FAIL), GL_KEEP);
}

}  // namespace
}  // namespace nevrik::graphics3d
