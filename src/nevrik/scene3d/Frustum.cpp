#include "nevrik/scene3d/Frustum.h"

#include <algorithm>
#include <cmath>

namespace nevrik::scene3d {
namespace {

using Vec = math::Vector3<float>;

// The pyramid projected on one axis is the hull of the near window (centre
// pNear, radius rNear) and the far window, `ratio` times as wide. Touching
// counts as separated.
bool separatedOnAxis(float pNear, float pFar, float rNear, float ratio, float low, float high) noexcept {
    const float rFar = rNear * ratio;
    const float spanMin = std::min(pNear - rNear, pFar - rFar);
    const float spanMax = std::max(pNear + rNear, pFar + rFar);
    return spanMax <= low || spanMin >= high;
}

float absSum(const Vec& v) noexcept { return std::fabs(v.x) + std::fabs(v.y) + std::fabs(v.z); }

}  // namespace

Frustum::Frustum() noexcept {
    updateDepths();
    updateScaled();
    updatePoints();
    updatePlanes();
}

void Frustum::setOrigin(const Vec& origin) noexcept {
    mOrigin = origin;
    updatePoints();
}

void Frustum::setDirection(const Vec& direction) noexcept {
    mDirection = direction;
    updateDepths();
    updatePoints();
    updatePlanes();
}

bool Frustum::setAxis(int index, const Vec& axis) noexcept {
    if (index < 0 || index > 1) {
        return false;
    }
    mAxes[index] = axis;
    updateScaled();
    updatePoints();
    updatePlanes();
    return true;
}

void Frustum::setWindowOffset(float e0, float e1) noexcept {
    mWindowOffset[0] = e0;
    mWindowOffset[1] = e1;
    updateScaled();
    updatePoints();
    updatePlanes();
}

bool Frustum::setNear(float distance) noexcept {
    // At or behind the eye the far window would be scaled by an infinite or
    // negative ratio, turning every span into NaN or inside out.
    if (!std::isfinite(distance) || distance <= 0.0f) {
        return false;
    }
    mNear = distance;
    updateDepths();
    updatePoints();
    updatePlanes();
    return true;
}

bool Frustum::setFar(float distance) noexcept {
    if (!std::isfinite(distance)) {
        return false;
    }
    mFar = distance;
    updateDepths();
    updatePoints();
    return true;
}

void Frustum::updateDepths() noexcept {
    mDirectionLength = mDirection.squaredLength();
    mNearDot = mNear * mDirectionLength;
    mFarDot = mFar * mDirectionLength;
    mRatio = mFar / mNear;
}

void Frustum::updateScaled() noexcept {
    for (int k = 0; k < 2; ++k) {
        mAxisLengths[k] = mAxes[k].squaredLength();
        mScaledAxes[k] = mWindowOffset[k] * mAxes[k];
        mScaledLengths[k] = mWindowOffset[k] * mAxisLengths[k];
    }
}

void Frustum::updatePoints() noexcept {
    mNearCentre = mOrigin + mNear * mDirection;
    mFarCentre = mOrigin + mFar * mDirection;
    const Vec shift = mScaledAxes[0] + mScaledAxes[1];
    mNearWindow = mNearCentre + shift;
    mFarWindow = mFarCentre + shift * mRatio;
}

void Frustum::updatePlanes() noexcept {
    for (int k = 0; k < 2; ++k) {
        mSidePlanes[2 * k] = mNearDot * mAxes[k] - (mWindowOffset[k] + 1.0f) * mAxisLengths[k] * mDirection;
        mSidePlanes[2 * k + 1] = -mNearDot * mAxes[k] + (mWindowOffset[k] - 1.0f) * mAxisLengths[k] * mDirection;
    }
}

bool Frustum::intersects(const geometry::OrientedBox& box) const noexcept {
    const Vec& c = box.getCentre();
    for (int i = 0; i < 3; ++i) {
        const Vec& b = box.getAxis(i);
        const float length = box.getSquaredLength(i);
        const float rNear = std::fabs(b.dot(mAxes[0])) + std::fabs(b.dot(mAxes[1]));
        if (separatedOnAxis((mNearWindow - c).dot(b), (mFarWindow - c).dot(b), rNear, mRatio, -length, length)) {
            return false;
        }
    }
    const Vec toCentre = c - mOrigin;
    const auto radius = [&box](const Vec& n) {
        return std::fabs(n.dot(box.getAxis(0))) + std::fabs(n.dot(box.getAxis(1))) + std::fabs(n.dot(box.getAxis(2)));
    };
    const float m = toCentre.dot(mDirection);
    const float r = radius(mDirection);
    if (m - r >= mFarDot || m + r <= mNearDot) {
        return false;
    }
    for (const Vec& n : mSidePlanes) {
        if (n.dot(toCentre) >= radius(n)) {
            return false;
        }
    }
    return true;
}

bool Frustum::intersects(const geometry::Cube& loose) const noexcept { return classify(loose) != kOutside; }

int Frustum::classify(const geometry::Cube& loose) const noexcept {
    const Vec& c = loose.centre;
    const float s = loose.edge;
    for (int i = 0; i < 3; ++i) {
        const float rNear = std::fabs(mAxes[0][i]) + std::fabs(mAxes[1][i]);
        if (separatedOnAxis(mNearWindow[i], mFarWindow[i], rNear, mRatio, c[i] - s, c[i] + s)) {
            return kOutside;
        }
    }
    const Vec toCentre = c - mOrigin;
    const float m = toCentre.dot(mDirection);
    const float r = s * absSum(mDirection);
    if (m - r >= mFarDot || m + r <= mNearDot) {
        return kOutside;
    }
    bool crossing = m - r < mNearDot || m + r > mFarDot;
    for (const Vec& n : mSidePlanes) {
        const float d = n.dot(toCentre);
        const float rn = s * absSum(n);
        if (d >= rn) {
            return kOutside;
        }
        crossing = crossing || d >= -rn;
    }
    return crossing ? kCrossing : kInside;
}

}  // namespace nevrik::scene3d
