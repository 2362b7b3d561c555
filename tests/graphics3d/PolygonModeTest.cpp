#include "nevrik/graphics3d/PolygonMode.h"

#include "GlFixture.h"
#include "RenderState.h"

namespace nevrik::graphics3d {
namespace {

using PolygonModeTest = GlFixture;

TEST_F(PolygonModeTest, DifferentFacesGetTheirOwnModesAndCullZeroCullsNothing) {
    PolygonMode mode;
    mode.setModes(GL_LINE, GL_FILL);
    mode.setCull(0);
    mode.setOffset(2.0f, 1.5f);
    mode.apply();
    GLint modes[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_LINE);
    EXPECT_EQ(modes[1], GL_FILL);
    EXPECT_FALSE(isEnabled(GL_CULL_FACE));
    GLfloat units = 0.0f;
    glGetFloatv(GL_POLYGON_OFFSET_UNITS, &units);
    EXPECT_EQ(units, 2.0f);

    mode.setCull(PolygonMode::kCullFront);
    mode.apply();
    EXPECT_TRUE(isEnabled(GL_CULL_FACE));
    EXPECT_EQ(integer(GL_CULL_FACE_MODE), GL_FRONT);
}

TEST_F(PolygonModeTest, CompiledFormLeavesTheStateAndRecordOfApply) {
    PolygonMode split;
    split.setModes(GL_POINT, GL_LINE);
    split.setCull(PolygonMode::kCullFront);
    split.setOffset(-1.0f, 0.5f);
    PolygonMode plain;
    PolygonMode unculled;
    unculled.setCull(7);
    for (PolygonMode* mode : {&split, &plain, &unculled}) {
        expectCompiledLikeApplied([&] { mContext->apply(*mode); },
                                  [&](system::Assembler& assembler) { mode->compile(assembler); });
        EXPECT_EQ(mContext->getCurrentPolygonMode(), mode);
    }
}

}  // namespace
}  // namespace nevrik::graphics3d
