#include "nevrik/input3d/TrackballController.h"

#include <algorithm>
#include <cmath>

namespace nevrik::input3d {
namespace {

constexpr float kRadiusSquared = TrackballController::kRadius * TrackballController::kRadius;

// Below this the two lifted points count as one and there is no axis to turn
// about. It only has to keep a zero vector out of the normalisation: a bound
// as coarse as 1e-3 would swallow every one-pixel drag on views wider than
// 1600 pixels.
constexpr float kMinAxisLength = 1e-6f;

}  // namespace

void TrackballController::reset() {
    mCurrent = math::Matrix4<float>();
    mRotation = math::Matrix4<float>();
    mPan = math::Vector3<float>();
}

void TrackballController::update(float /*dt*/) {
    mCurrent = mRotation;
    const math::Vector3<float> offset = mPanInViewSpace ? mPan : mRotation.transformPoint(mPan);
    mCurrent.setColumn(3, mCurrent.getColumn(3) + offset);
}

void TrackballController::onConstrained() {
    for (int column = 0; column < 3; ++column) {
        mRotation.setColumn(column, mCurrent.getColumn(column));
    }
    mRotation.setColumn(3, math::Vector3<float>());
    const math::Vector3<float> translation = mCurrent.getColumn(3);
    if (mPanInViewSpace) {
        // update() adds the pan unturned in this mode.
        mPan = translation;
        return;
    }
    math::Matrix4<float> inverse = mRotation;
    inverse.invert();
    mPan = inverse.transformPoint(translation);
}

void TrackballController::setArea(const input::Rect& area) {
    mArea.set(area);
}

void TrackballController::mouseMoved(const input::Point& position, std::uint32_t state) {
    if ((state & kLeftButton) != 0) {
        rotate(mLastMouse, position);
    }
    if ((state & kRightButton) != 0) {
        const math::Vector3<float> step(mScale * (mLastMouse.x - position.x),
                                        mScale * (position.y - mLastMouse.y), 0.0f);
        if (mPanInViewSpace) {
            mPan += mRotation.transformPoint(step);
        } else {
            mPan += step;
        }
    }
    if ((state & kMiddleButton) != 0) {
        dolly(mScale * (position.y - mLastMouse.y));
    }
    mLastMouse = position;
}

void TrackballController::mouseWheel(float delta) {
    dolly(delta * mScale);
}

void TrackballController::rotate(const input::Point& from, const input::Point& to) {
    const math::Vector3<float> a = lift(from);
    const math::Vector3<float> b = lift(to);
    const math::Vector3<float> axis = a.cross(b);
    if (axis.length() < kMinAxisLength) {
        return;
    }
    // Beyond t = 1 the points are more than a diameter apart: half a turn at most.
    const float t = std::min((a - b).length() / (2.0f * kRadius), 1.0f);
    mRotation.rotate(-2.0f * std::asin(t), axis);
}

void TrackballController::dolly(float amount) {
    if (mPanInViewSpace) {
        mPan += amount * mRotation.getColumn(2);
    } else {
        mPan.z += amount;
    }
}

math::Vector3<float> TrackballController::lift(const input::Point& position) const {
    const input::Point u = mArea.map(position);
    const float s = u.x * u.x + u.y * u.y;
    const float z =
        s < kRadiusSquared / 2.0f ? std::sqrt(kRadiusSquared - s) : kRadiusSquared / (2.0f * std::sqrt(s));
    return math::Vector3<float>(u.x, -u.y, z);
}

}  // namespace nevrik::input3d
