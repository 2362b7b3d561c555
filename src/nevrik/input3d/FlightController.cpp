#include "nevrik/input3d/FlightController.h"

#include "nevrik/math/Matrix4.h"

namespace nevrik::input3d {
namespace {

// The image of `v` under a turn of `angle` radians about `axis`.
math::Vector3<float> turned(const math::Vector3<float>& v, float angle, const math::Vector3<float>& axis) {
    math::Matrix4<float> turn;
    turn.rotate(angle, axis);
    return turn.transformDirection(v);
}

}  // namespace

void FlightController::reset() {
    mCurrent.setColumn(0, mHomeX);
    mCurrent.setColumn(1, mHomeY);
    mCurrent.setColumn(2, mHomeZ);
    mCurrent.setColumn(3, math::Vector3<float>());
    mSpeed = 0.0f;
}

void FlightController::update(float dt) {
    move(mSpeed * mStep * dt);
}

void FlightController::keyDown(std::uint32_t key) {
    switch (key) {
        case kLeftKey:
            look(-mStep * kTurnPerStep, 0.0f);
            break;
        case kRightKey:
            look(mStep * kTurnPerStep, 0.0f);
            break;
        case kUpKey:
            move(-mStep);
            break;
        case kDownKey:
            move(mStep);
            break;
        default:
            break;
    }
}

void FlightController::setArea(const input::Rect& area) {
    mArea.set(area);
}

void FlightController::mouseMoved(const input::Point& position, std::uint32_t state) {
    input::Point u = mArea.map(position);
    u.y = -u.y;
    if ((state & kAnyButton) != 0) {
        if ((state & kLeftButton) != 0) {
            mSpeed = -kButtonSpeed;
        } else if ((state & kRightButton) != 0) {
            mSpeed = kButtonSpeed;
        }
        look(u.x - mLastMouse.x, mLastMouse.y - u.y);
    }
    mLastMouse = u;
}

void FlightController::mouseButton(const input::Point& /*position*/, std::uint32_t event) {
    switch (event) {
        case kLeftButton:
            mSpeed = -kButtonSpeed;
            break;
        case kRightButton:
            mSpeed = kButtonSpeed;
            break;
        case kLeftReleased:
        case kRightReleased:
            mSpeed = 0.0f;
            break;
        default:
            break;
    }
}

void FlightController::mouseWheel(float delta) {
    move(delta * mStep);
}

bool FlightController::setHome(const math::Vector3<float>& x, const math::Vector3<float>& y,
                               const math::Vector3<float>& z) {
    // A zero y would make every turn a scaling (the rotation of a zero axis).
    if (!(x.squaredLength() > 0.0f && y.squaredLength() > 0.0f && z.squaredLength() > 0.0f)) {
        return false;
    }
    mHomeX = x;
    mHomeY = y;
    mHomeZ = z;
    return true;
}

void FlightController::move(float distance) {
    // normalise() leaves a zero axis as it is.
    const math::Vector3<float> axis = mCurrent.getColumn(2).normalise();
    mCurrent.setColumn(3, mCurrent.getColumn(3) + distance * axis);
}

void FlightController::look(float dx, float dy) {
    math::Vector3<float> x = mCurrent.getColumn(0);
    // Pitch about the camera's own x axis, then yaw about home "up".
    math::Vector3<float> z = turned(mCurrent.getColumn(2), -dy, x);
    x = turned(x, -dx, mHomeY);
    z = turned(z, -dx, mHomeY);
    mCurrent.setColumn(0, x);
    mCurrent.setColumn(1, z.cross(x));
    mCurrent.setColumn(2, z);
    mCurrent(3, 0) = 0.0f;
    mCurrent(3, 1) = 0.0f;
    mCurrent(3, 2) = 0.0f;
}

}  // namespace nevrik::input3d
