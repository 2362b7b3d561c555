#include "sample/Gui.h"

#include "nevrik/freetype/Descriptor.h"
#include "nevrik/freetype/FontFactory.h"
#include "nevrik/freetype/FormatException.h"
#include "nevrik/freetype/NoMatchException.h"
#include "nevrik/input/MouseListener.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/platform/KeyCodes.h"
#include "nevrik/platform/NativeWindow.h"
#include "nevrik/platform/WindowMessage.h"
#include "sample/SampleApplication.h"

#include <algorithm>
#include <cmath>

namespace nevrik::sample {
namespace {

using object::make;

object::Pointer<freetype::Font> makeFont() {
    try {
        freetype::FontFactory factory;
        freetype::Descriptor descriptor;
        descriptor.setFamily(Gui::kFontFamily);
        descriptor.setSize(Gui::kFontSize, Gui::kFontSize);
        return factory.createFont(descriptor);
    } catch (freetype::FreetypeException& error) {
        // These carry their class name only; say what the user can change.
        error.addContext(dynamic_cast<const freetype::NoMatchException*>(&error) != nullptr
                             ? "no font file in the current folder opens as a font"
                             : "the font file in the current folder cannot be used");
        error.addContext("Cannot make the font for the verdict text");
        throw;
    }
}

}  // namespace

Gui::Gui(graphics3d::Context* context)
    : gui3d::Root(context, false),
      mNavigator(make<input3d::Navigator>()),
      mTrackball(make<input3d::TrackballController>()),
      mFlight(make<input3d::FlightController>()),
      mFixed(make<FixedController>()),
      mConstraint(make<TransformConstraint>(math::Vector3<float>(0.0f, 0.0f, 1.0f),
                                            math::Vector3<float>(0.0f, 1.0f, 0.0f), 0.8f, 0.2f, 0.4f,
                                            math::Vector3<float>(0.0f, 0.0f, 0.0f))) {
    // The pan then moves the pivot in the world, along the screen's axes
    // whatever the rotation, and the camera keeps orbiting it.
    mTrackball->setPanInViewSpace(true);
    mTrackball->setNext(mFixed.get());
    mNavigator->setFirst(mTrackball.get());
    placeCamera();
    // Refused when registered already; the registration itself is the point.
    mMouseDispatcher.addListener(mTrackball.get());
    updateArea();
    mFont = makeFont();
}

void Gui::updateArea() {
    const gui::Size& size = getSize();
    mMouseDispatcher.setArea(input::Rect{0.0f, 0.0f, size.width, size.height});
}

bool Gui::resized(const gui::Size& size) {
    const bool result = gui3d::Root::resized(size);
    updateArea();
    return result;
}

void Gui::placeCamera() {
    math::Matrix4<float> distance;
    distance.setColumn(3, math::Vector3<float>(0.0f, 0.0f, mDistance));
    mFixed->setFixed(distance);
    mNavigator->update(1.0f);
}

void Gui::setHome(float distance) {
    mHome = distance;
    goHome();
}

void Gui::goHome() {
    mTrackball->reset();
    mDistance = mHome;
    placeCamera();
}

void Gui::dolly(float steps) {
    // A fixed fraction of what is left: the pivot comes no nearer than the
    // bound however many steps come.
    const float distance = mDistance * std::pow(1.0f - kDollyStep, steps);
    mDistance = std::clamp(distance, mHome * kNearestDistance, mHome * kFurthestDistance);
    placeCamera();
}

bool Gui::mouseMoved(const input::Point& position, std::uint32_t state) {
    const input::Point last = mMousePosition;
    mMousePosition = position;
    if (gui3d::Root::mouseMoved(position, state)) {
        return true;
    }
    // The trackball would dolly by moving its pivot along with the camera;
    // the distance to the pivot is the Gui's.
    if ((state & input::MouseListener::kMiddleButton) != 0) {
        dolly((last.y - position.y) / kDollyPixels);
    }
    mMouseDispatcher.mouseMoved(position, state & ~input::MouseListener::kMiddleButton);
    mNavigator->update(1.0f);
    if ((state & input::MouseListener::kAnyButton) != 0 && getWindow() != nullptr) {
        getWindow()->invalidate();
    }
    return true;
}

bool Gui::mouseButton(const input::Point& position, std::uint32_t event) {
    if (gui3d::Root::mouseButton(position, event)) {
        return true;
    }
    if (event == input::MouseListener::kRightButton && mPanScale) {
        mTrackball->setScale(mPanScale(position));
    }
    mMouseDispatcher.mouseButton(position, event);
    return true;
}

bool Gui::mouseWheel(float delta, std::uint32_t /*state*/) {
    dolly(delta / static_cast<float>(platform::WindowMessage::kWheelNotch));
    return true;
}

bool Gui::keyDown(std::uint32_t key) {
    switch (key) {
        case platform::KeyCodes::kEscape:
        case 'Q':
            SampleApplication::quitCurrent();
            return true;
        case 'R':
            goHome();
            break;
        case 'F':
            mStatisticsShown = !mStatisticsShown;
            break;
        case 'S':
            mScreenshotRequested = true;
            break;
        default:
            return gui3d::Root::keyDown(key);
    }
    if (getWindow() != nullptr) {
        getWindow()->invalidate();
    }
    return true;
}

}  // namespace nevrik::sample
