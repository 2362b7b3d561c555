#include "nevrik/graphics3d/core/PolygonMode.h"

#include "graphics3d/GlFixture.h"

namespace nevrik::graphics3d {
namespace {

using PolygonModeTest = GlFixture;

TEST_F(PolygonModeTest, DifferentFacesGetTheirOwnModesAndCullZeroCullsNothing) {
    PolygonMode mode;
    mode.setModes(GL_LINE, GL_FILL);
    mode.setCull(0);
    mode.apply();
    GLint modes[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_LINE);
    EXPECT_EQ(modes[1], GL_FILL);
    EXPECT_FALSE(isEnabled(GL_CULL_FACE));

    mode.setCull(PolygonMode::kCullFront);
    mode.apply();
    EXPECT_TRUE(isEnabled(GL_CULL_FACE));
    EXPECT_EQ(integer(GL_CULL_FACE_MODE), GL_FRONT);
}

}  // namespace
}  // namespace nevrik::graphics3d
