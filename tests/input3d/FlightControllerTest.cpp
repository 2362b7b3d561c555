#include "nevrik/input3d/FlightController.h"

#include "input3d/Near.h"

#include <gtest/gtest.h>

#include <cmath>

namespace nevrik::input3d {
namespace {

using input::KeyboardListener;
using input::MouseListener;
using math::Matrix4;
using math::Vector3;
using test::expectNear;

// At rest in a home frame tilted about x, so "up" is not the world y.
class FlightControllerTest : public ::testing::Test {
protected:
    FlightControllerTest() {
        flight.setArea({0, 0, 200, 100});
        EXPECT_TRUE(flight.setHome(homeX, homeY, homeZ));
        flight.reset();
    }

    // Expects the x and z columns to be the images of the home axes under
    // `turn`, and the y column z × x.
    void expectFrame(const Matrix4<float>& turn) {
        const Matrix4<float>& m = flight.getCurrent();
        expectNear(m.getColumn(0), turn.transformDirection(homeX));
        expectNear(m.getColumn(2), turn.transformDirection(homeZ));
        expectNear(m.getColumn(1), m.getColumn(2).cross(m.getColumn(0)));
        EXPECT_EQ(m(3, 0) + m(3, 1) + m(3, 2), 0.0f);
    }

    const Vector3<float> homeX{1, 0, 0};
    const Vector3<float> homeY{0, std::cos(0.3f), std::sin(0.3f)};
    const Vector3<float> homeZ{0, -std::sin(0.3f), std::cos(0.3f)};
    FlightController flight;
};

TEST_F(FlightControllerTest, ResetRestoresHomeAndStopsTheStartingDrift) {
    FlightController fresh;
    fresh.update(1.0f);
    expectNear(fresh.getCurrent().getColumn(3), {0, 0, 1});
    fresh.reset();
    fresh.update(1.0f);
    expectNear(fresh.getCurrent(), Matrix4<float>());

    expectNear(flight.getCurrent().getColumn(1), homeY);
    EXPECT_FALSE(flight.setHome(homeX, Vector3<float>(), homeZ));
}

TEST_F(FlightControllerTest, LooksTurnAboutCameraXAndHomeUp) {
    flight.mouseMoved({130, 20}, 0);
    flight.mouseMoved({130, 20}, MouseListener::kMiddleButton);
    expectFrame(Matrix4<float>());

    // Right arrow: a yaw of -π/128 about home "up", turning the view (-z) towards +x.
    flight.keyDown(KeyboardListener::kRightKey);
    Matrix4<float> yaw;
    yaw.rotate(-FlightController::kTurnPerStep, homeY);
    expectFrame(yaw);
    EXPECT_GT(-flight.getCurrent().getColumn(2).dot(homeX), 0.0f);

    // Ten pixels up is 0.2 area units: a pitch of 0.2 about the camera's x.
    flight.reset();
    flight.mouseMoved({100, 50}, 0);
    flight.mouseMoved({100, 40}, MouseListener::kMiddleButton);
    Matrix4<float> pitch;
    pitch.rotate(0.2f, homeX);
    expectFrame(pitch);
}

TEST_F(FlightControllerTest, KeysWheelAndButtonsMoveAlongTheViewAxis) {
    flight.setStep(2.0f);
    flight.keyDown(KeyboardListener::kUpKey);
    expectNear(flight.getCurrent().getColumn(3), -2.0f * homeZ);
    flight.keyDown(KeyboardListener::kDownKey);
    flight.keyDown('A');
    flight.mouseWheel(1.5f);
    expectNear(flight.getCurrent().getColumn(3), 3.0f * homeZ);

    flight.reset();
    flight.mouseButton({0, 0}, MouseListener::kLeftButton);
    flight.mouseButton({0, 0}, MouseListener::kMiddleButton);
    flight.update(1.5f);
    expectNear(flight.getCurrent().getColumn(3), -0.3f * homeZ);
    flight.mouseButton({0, 0}, MouseListener::kRightButton);
    EXPECT_EQ(flight.getSpeed(), 0.1f);
    flight.mouseButton({0, 0}, MouseListener::kLeftReleased);
    EXPECT_EQ(flight.getSpeed(), 0.0f);
    flight.mouseMoved({10, 10}, MouseListener::kLeftButton);
    EXPECT_EQ(flight.getSpeed(), -0.1f);

    // A move with no button held changes nothing but the last position.
    const Matrix4<float> before = flight.getCurrent();
    flight.mouseMoved({190, 90}, 0);
    expectNear(flight.getCurrent(), before);
    EXPECT_EQ(flight.getSpeed(), -0.1f);
}

}  // namespace
}  // namespace nevrik::input3d
