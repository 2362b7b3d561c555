#include "sample/SampleView.h"

#include "nevrik/types/String.h"

#include <gtest/gtest.h>

namespace nevrik::sample {
namespace {

TEST(SampleViewTest, IndicatorDrawsXRightYUpAndZObliquelyDown) {
    const input::Point centre{568.0f, 468.0f};
    const math::Matrix4<float> identity;
    const input::Point x = SampleView::indicatorEnd(identity, 0, centre);
    const input::Point y = SampleView::indicatorEnd(identity, 1, centre);
    const input::Point z = SampleView::indicatorEnd(identity, 2, centre);
    EXPECT_EQ(x.x, 588.0f);
    EXPECT_EQ(x.y, 468.0f);
    EXPECT_EQ(y.x, 568.0f);
    EXPECT_EQ(y.y, 448.0f);
    EXPECT_EQ(z.x, 578.0f);
    EXPECT_EQ(z.y, 478.0f);
    // A camera turned half round about y: x now points left, z up and left.
    math::Matrix4<float> turned;
    turned.rotate(3.14159265f, math::Vector3<float>(0.0f, 1.0f, 0.0f));
    EXPECT_NEAR(SampleView::indicatorEnd(turned, 0, centre).x, 548.0f, 1e-3f);
    EXPECT_NEAR(SampleView::indicatorEnd(turned, 2, centre).x, 558.0f, 1e-3f);
    EXPECT_NEAR(SampleView::indicatorEnd(turned, 2, centre).y, 458.0f, 1e-3f);
}

}  // namespace
}  // namespace nevrik::sample
