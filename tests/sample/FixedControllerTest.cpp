#include "sample/FixedController.h"

#include "nevrik/types/String.h"

#include <gtest/gtest.h>

namespace nevrik::sample {
namespace {

TEST(FixedControllerTest, UpdateAdoptsTheFixedTransformAndOnlyUpdateDoes) {
    FixedController fixed;
    EXPECT_STREQ(fixed.className().c_str(), "Object:Controller:FixedController");
    math::Matrix4<float> distance;
    distance(2, 3) = 400.0f;
    fixed.setFixed(distance);
    EXPECT_EQ(fixed.getCurrent()(2, 3), 0.0f);
    fixed.update(0.0f);
    EXPECT_EQ(fixed.getCurrent()(2, 3), 400.0f);
    // reset() is the base's: the last update stands.
    fixed.reset();
    EXPECT_EQ(fixed.getCurrent()(2, 3), 400.0f);
}

}  // namespace
}  // namespace nevrik::sample
