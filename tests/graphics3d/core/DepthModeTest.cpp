#include "nevrik/graphics3d/core/DepthMode.h"

#include "graphics3d/GlFixture.h"

namespace nevrik::graphics3d {
namespace {

using DepthModeTest = GlFixture;

TEST_F(DepthModeTest, WriteMaskOffKeepsTheTestOnAndNoFunctionTurnsOnlyTheTestOff) {
    DepthMode readOnly;
    readOnly.setWriteMask(false);
    readOnly.apply();
    EXPECT_TRUE(isEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(integer(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_EQ(integer(GL_DEPTH_WRITEMASK), GL_FALSE);

    DepthMode off;
    off.setFunction(-1);
    off.apply();
    EXPECT_FALSE(isEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(integer(GL_DEPTH_WRITEMASK), GL_TRUE);
}

}  // namespace
}  // namespace nevrik::graphics3d
