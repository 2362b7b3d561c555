#include "nevrik/scene3d/Viewer.h"

#include <cmath>

namespace nevrik::scene3d {

Viewer::Viewer() : Graphics(KIND_GRAPHICS) {
    mCamera.setWindow(kWindowLeft, kWindowBottom, kWindowSize, kWindowSize);
    mCamera.setClipping(kNear, kFar);
    mCamera.setDistance(kNear);
    mFrustum.setNear(kNear);
    mFrustum.setFar(kFar);
    updateFrustum();
}

object::Pointer<Node> Viewer::clone() const {
    return object::make<Viewer>(*this);
}

void Viewer::attach(Locale* locale) {
    Node::attach(locale);
}

void Viewer::detach(Locale* locale) {
    Node::detach(locale);
}

void Viewer::onEnable() {}

void Viewer::onDisable() {}

void Viewer::updateTransform(const math::Matrix4<float>& parentTransform) {
    mWorldTransform = parentTransform * mLocalTransform;
    updateFrustum();
}

void Viewer::render(GraphicsContext*, const math::Matrix4<float>&) {}

bool Viewer::pick(const geometry::Ray&, geometry::PickResult*) {
    return false;
}

bool Viewer::setNear(float distance) noexcept {
    if (!std::isfinite(distance) || distance <= 0.0f || distance == mCamera.getFar()) {
        return false;
    }
    mCamera.setClipping(distance, mCamera.getFar());
    // The window is measured at the near distance, where the frustum's
    // window axes lie.
    mCamera.setDistance(distance);
    mFrustum.setNear(distance);
    return true;
}

bool Viewer::setFar(float distance) noexcept {
    if (!std::isfinite(distance) || distance == mCamera.getNear()) {
        return false;
    }
    mCamera.setClipping(mCamera.getNear(), distance);
    mFrustum.setFar(distance);
    return true;
}

geometry::Ray Viewer::rayThrough(float x, float y) const {
    geometry::Ray ray = mCamera.eyeRay(x, y);
    ray.transform(mWorldTransform);
    return ray;
}

void Viewer::updateFrustum() noexcept {
    const float halfWidth = mCamera.getWidth() / 2.0f;
    const float halfHeight = mCamera.getHeight() / 2.0f;
    mFrustum.setOrigin(mWorldTransform.getColumn(3));
    mFrustum.setDirection(mWorldTransform.getColumn(2) * -1.0f);
    mFrustum.setAxis(0, mWorldTransform.getColumn(0) * halfWidth);
    mFrustum.setAxis(1, mWorldTransform.getColumn(1) * halfHeight);
    // The window centre's offset from the view axis, in half-axis units as
    // the frustum measures it (the camera window is given in its own units).
    mFrustum.setWindowOffset((mCamera.getLeft() + halfWidth) / halfWidth,
                             (mCamera.getBottom() + halfHeight) / halfHeight);
}

}  // namespace nevrik::scene3d
