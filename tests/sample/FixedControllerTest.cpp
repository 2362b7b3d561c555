#include "sample/FixedController.h"

#include "nevrik/input3d/Navigator.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

#include <gtest/gtest.h>

namespace nevrik::sample {
namespace {

using Matrix = math::Matrix4<float>;

Matrix translation(float x, float y, float z) {
    Matrix matrix;
    matrix.setColumn(3, math::Vector3<float>(x, y, z));
    return matrix;
}

TEST(FixedControllerTest, UpdateAdoptsTheFixedTransformAndOnlyUpdateDoes) {
    FixedController fixed;
    EXPECT_STREQ(fixed.className().c_str(), "Object:Controller:FixedController");
    fixed.setFixed(translation(0.0f, 0.0f, 400.0f));
    EXPECT_EQ(fixed.getCurrent()(2, 3), 0.0f);
    fixed.update(0.0f);
    EXPECT_EQ(fixed.getCurrent()(2, 3), 400.0f);
    // reset() is the base's: the last update stands.
    fixed.reset();
    EXPECT_EQ(fixed.getCurrent()(2, 3), 400.0f);
}

TEST(FixedControllerTest, ChainedLastItPlacesTheCameraAlongTheTurnedAxis) {
    // The GUI's chain: a turning controller, then the fixed distance.
    auto turn = object::Pointer<FixedController>::adopt(new FixedController());
    Matrix quarter;
    quarter.rotate(1.5707964f, math::Vector3<float>(0.0f, 1.0f, 0.0f));
    turn->setFixed(quarter);
    auto distance = object::Pointer<FixedController>::adopt(new FixedController());
    distance->setFixed(translation(0.0f, 0.0f, 400.0f));
    ASSERT_TRUE(turn->setNext(distance.get()));
    input3d::Navigator navigator;
    navigator.setFirst(turn.get());
    navigator.update(1.0f);
    // Turned a quarter about y, the camera sits on +x looking back at the origin.
    EXPECT_NEAR(navigator.getTransform()(0, 3), 400.0f, 1e-3f);
    EXPECT_NEAR(navigator.getTransform()(2, 3), 0.0f, 1e-3f);
}

}  // namespace
}  // namespace nevrik::sample
