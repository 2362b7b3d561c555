#include "nevrik/graphics3d/DepthMode.h"

#include "GlFixture.h"
#include "RenderState.h"

namespace nevrik::graphics3d {
namespace {

using DepthModeTest = GlFixture;

TEST_F(DepthModeTest, WriteMaskOffKeepsTheTestOnAndNoFunctionTurnsItOff) {
    DepthMode readOnly;
    readOnly.setWriteMask(false);
    readOnly.setRange(0.25f, 0.5f);
    readOnly.apply();
    EXPECT_TRUE(isEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(integer(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_EQ(integer(GL_DEPTH_WRITEMASK), GL_FALSE);
    GLfloat range[2] = {};
    glGetFloatv(GL_DEPTH_RANGE, range);
    EXPECT_EQ(range[1], 0.5f);

    DepthMode off;
    off.setFunction(-1);
    off.apply();
    EXPECT_FALSE(isEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(integer(GL_DEPTH_WRITEMASK), GL_TRUE) << "writes are set apart from the test";
}

TEST_F(DepthModeTest, CompiledFormLeavesTheStateAndRecordOfApply) {
    DepthMode greater;
    greater.setFunction(GL_GREATER);
    greater.setWriteMask(false);
    greater.setRange(0.125f, 0.875f);
    DepthMode off;
    off.setFunction(-1);
    for (DepthMode* mode : {&greater, &off}) {
        expectCompiledLikeApplied([&] { mContext->apply(*mode); },
                                  [&](system::Assembler& assembler) { mode->compile(assembler); });
        EXPECT_EQ(mContext->getCurrentDepthMode(), mode);
    }
}

}  // namespace
}  // namespace nevrik::graphics3d
