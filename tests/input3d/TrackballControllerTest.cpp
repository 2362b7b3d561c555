#include "nevrik/input3d/TrackballController.h"

#include "input3d/Near.h"
#include "nevrik/input3d/Navigator.h"
#include "nevrik/object/Pointer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace nevrik::input3d {
namespace {

using input::MouseListener;
using math::Matrix4;
using math::Vector3;
using test::expectNear;
using test::turnAngle;

// Replaces the transform with a fixed one and says so.
class Pin : public Constraint {
public:
    explicit Pin(const Matrix4<float>& pinned) : mPinned(pinned) {}
    bool apply(Matrix4<float>& transform) override {
        transform = mPinned;
        return true;
    }

private:
    Matrix4<float> mPinned;
};

class TrackballControllerTest : public ::testing::Test {
protected:
    TrackballControllerTest() { trackball.setArea({0, 0, 200, 100}); }

    void drag(float fromX, float fromY, float toX, float toY, std::uint32_t buttons) {
        trackball.mouseMoved({fromX, fromY}, 0);
        trackball.mouseMoved({toX, toY}, buttons);
        trackball.update(1.0f);
    }

    TrackballController trackball;
};

TEST_F(TrackballControllerTest, MoveWithoutButtonsOnlyRecordsThePosition) {
    trackball.mouseMoved({30, 40}, 0);
    trackball.mouseMoved({170, 90}, 0);
    trackball.update(1.0f);
    expectNear(trackball.getCurrent(), Matrix4<float>());
    // The right drag starts where the last plain move ended: against the
    // motion in x, with it in y; the rotation stays.
    trackball.mouseMoved({180, 95}, MouseListener::kRightButton);
    trackball.update(1.0f);
    expectNear(trackball.getCurrent(), test::rigid(0, {0, 0, 1}, {-10, 5, 0}));
}

TEST_F(TrackballControllerTest, LeftDragTurnsByTheArcBetweenLiftedPoints) {
    drag(100, 50, 101, 50, MouseListener::kLeftButton);
    const float expected = 2.0f * std::asin(1.0f / (2.0f * 0.8f * 100.0f));
    EXPECT_NEAR(turnAngle(trackball.getCurrent()), expected, 1e-4f);
    // Dragging right turns about +y by a negative angle.
    EXPECT_LT(trackball.getCurrent()(0, 2), 0.0f);
    expectNear(trackball.getCurrent().getColumn(1), {0, 1, 0});

    // Degenerate areas are ignored; a still drag turns nothing.
    trackball.reset();
    trackball.setArea({0, 0, 0, 0});
    trackball.setArea({0, 0, NAN, 100});
    drag(150, 20, 150, 20, MouseListener::kLeftButton);
    expectNear(trackball.getCurrent(), Matrix4<float>());
    drag(100, 50, 101, 50, MouseListener::kLeftButton);
    EXPECT_NEAR(turnAngle(trackball.getCurrent()), expected, 1e-4f);

    // One pixel on a very wide view still turns.
    trackball.reset();
    trackball.setArea({0, 0, 4000, 2000});
    drag(2000, 1000, 2001, 1000, MouseListener::kLeftButton);
    EXPECT_NEAR(turnAngle(trackball.getCurrent()), 2.0f * std::asin(1.0f / 3200.0f), 1e-4f);
}

TEST_F(TrackballControllerTest, FarDragTurnsAtMostHalfATurn) {
    drag(100, 50, 100000, 50, MouseListener::kLeftButton);
    EXPECT_NEAR(turnAngle(trackball.getCurrent()), 3.14159265f, 1e-3f);
    EXPECT_TRUE(std::isfinite(trackball.getCurrent()(0, 0)));
}

TEST_F(TrackballControllerTest, PanAndDollyFollowTheirSpace) {
    trackball.setScale(2.0f);
    drag(100, 50, 100, 53, MouseListener::kMiddleButton);
    trackball.mouseWheel(-1.5f);
    expectNear(trackball.getPan(), {0, 0, 3});

    // World space: the pan is turned with the camera when composed.
    trackball.reset();
    trackball.setScale(1.0f);
    drag(100, 50, 140, 50, MouseListener::kLeftButton);
    const Matrix4<float> rotation = trackball.getRotation();
    drag(100, 50, 110, 50, MouseListener::kRightButton);
    expectNear(trackball.getCurrent().getColumn(3), rotation.transformPoint({-10, 0, 0}));

    // View space: moves are turned as they happen and composed unturned.
    trackball.reset();
    trackball.setPanInViewSpace(true);
    drag(100, 50, 140, 50, MouseListener::kLeftButton);
    drag(100, 50, 110, 50, MouseListener::kRightButton);
    trackball.mouseWheel(2.0f);
    trackball.update(1.0f);
    const Vector3<float> expected = rotation.transformPoint({-10, 0, 0}) + 2.0f * rotation.getColumn(2);
    expectNear(trackball.getCurrent().getColumn(3), expected);
}

TEST_F(TrackballControllerTest, NextUpdateReproducesTheConstrainedTransform) {
    const Matrix4<float> pinned = test::rigid(0.7f, {1, 2, 3}, {4, -5, 6});
    for (bool viewSpace : {false, true}) {
        SCOPED_TRACE(viewSpace);
        auto controller = object::make<TrackballController>();
        controller->setPanInViewSpace(viewSpace);
        Navigator navigator;
        navigator.setFirst(controller.get());
        controller->setConstraint(object::make<Pin>(pinned).get());
        navigator.update(1.0f);
        controller->setConstraint(nullptr);
        navigator.update(1.0f);
        expectNear(controller->getCurrent(), pinned);
    }
}

}  // namespace
}  // namespace nevrik::input3d
