#include "nevrik/gui3d/View.h"

namespace nevrik::gui3d {
namespace {

// The map that undoes `t`; false, leaving `inverse`, when `t` flattens the
// plane and has none.
bool invert(const graphics::Transform<float>& t, graphics::Transform<float>& inverse) noexcept {
    const float determinant = t.m00 * t.m11 - t.m01 * t.m10;
    if (determinant == 0.0f) {
        return false;
    }
    const float i00 = t.m11 / determinant;
    const float i01 = -t.m01 / determinant;
    const float i10 = -t.m10 / determinant;
    const float i11 = t.m00 / determinant;
    inverse = graphics::Transform<float>(i00, i01, -(i00 * t.tx + i01 * t.ty), i10, i11,
                                         -(i10 * t.tx + i11 * t.ty));
    return true;
}

}  // namespace

View::View(const input::Rect& frame) : mBounds{0.0f, 0.0f, frame.width, frame.height}, mFrame(frame) {
    updateWindowTransform();
}

View::~View() = default;

gui::Size& View::getSizeInto(gui::Size& out) const {
    out = getSize();
    return out;
}

bool View::isShowing() const {
    return isVisible();
}

bool View::activate() {
    return true;
}
bool View::deactivate() {
    return true;
}
bool View::attached() {
    return true;
}
bool View::detached() {
    return true;
}
bool View::show() {
    return true;
}
bool View::hide() {
    return true;
}
bool View::render() {
    return true;
}
bool View::frameChanged(const input::Rect& /*frame*/) {
    return true;
}

gui::Size View::getSize() const {
    return {mFrame.width, mFrame.height};
}

bool View::isVisible() const {
    return true;
}
bool View::refresh() {
    return true;
}
bool View::focusLost() {
    return true;
}
bool View::keyDown(std::uint32_t /*key*/) {
    return false;
}
bool View::keyUp(std::uint32_t /*key*/) {
    return false;
}
bool View::character(std::uint32_t /*code*/, std::uint32_t /*modifiers*/) {
    return false;
}
bool View::mouseMoved(const input::Point& /*position*/, std::uint32_t /*state*/) {
    return false;
}
bool View::mouseButton(const input::Point& /*position*/, std::uint32_t /*event*/) {
    return false;
}
bool View::mouseEntered(const input::Point& /*position*/, std::uint32_t /*state*/) {
    return false;
}
bool View::mouseLeft() {
    return false;
}

void View::relayout() {
    graphics::Transform<float> inverse;
    if (invert(mTransform, inverse)) {
        // The frame's origin and size carried back into view coordinates.
        mBounds = {inverse.tx, inverse.ty, inverse.m00 * mFrame.width + inverse.m01 * mFrame.height,
                   inverse.m10 * mFrame.width + inverse.m11 * mFrame.height};
    }
    updateWindowTransform();
    frameChanged(mFrame);
}

void View::updateWindowTransform() {
    const graphics::Transform<float> placed =
        graphics::Transform<float>().translated(mFrame.x, mFrame.y) * mTransform;
    mWindowTransform = mParent != nullptr ? mParent->mWindowTransform * placed : placed;
}

bool View::isUnder(const input::Point& point) const noexcept {
    return mEnabled != 0 && mFrame.x <= point.x && point.x <= mFrame.x + mFrame.width &&
           mFrame.y <= point.y && point.y <= mFrame.y + mFrame.height;
}

input::Point View::toView(const input::Point& point) const noexcept {
    const float u = point.x - mFrame.x;
    const float v = point.y - mFrame.y;
    graphics::Transform<float> inverse;
    if (!invert(mTransform, inverse)) {
        return {u, v};
    }
    // The whole inverse, so that rotated and sheared views get their own
    // coordinates too.
    return {inverse.m00 * u + inverse.m01 * v + inverse.tx, inverse.m10 * u + inverse.m11 * v + inverse.ty};
}

}  // namespace nevrik::gui3d
