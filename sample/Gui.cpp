#include "sample/Gui.h"

#include "nevrik/freetype/Descriptor.h"
#include "nevrik/freetype/FontFactory.h"
#include "nevrik/freetype/FormatException.h"
#include "nevrik/freetype/NoMatchException.h"
#include "nevrik/input/MouseListener.h"
#include "nevrik/platform/NativeWindow.h"
#include "sample/detail/ExceptionContext.h"
#include "nevrik/object/Pointer.h"

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
    } catch (const freetype::FreetypeException& error) {
        // These carry their class name only; say what the user can change.
        const char* reason = dynamic_cast<const freetype::NoMatchException*>(&error) != nullptr
                                 ? "no font file in the current folder opens as a font"
                                 : "the font file in the current folder cannot be used";
        detail::rethrowWithMessage<freetype::FreetypeException, freetype::NoMatchException,
                                   freetype::FormatException>(
            error, types::String("Cannot make the font for the verdict text: ") + reason + " (" +
                       error.getMessage() + ")");
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
    math::Matrix4<float> distance;
    distance.setColumn(3, math::Vector3<float>(0.0f, 0.0f, kDistance));
    mFixed->setFixed(distance);
    mTrackball->setNext(mFixed.get());
    mNavigator->setFirst(mTrackball.get());
    mNavigator->update(1.0f);
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

bool Gui::mouseMoved(const input::Point& position, std::uint32_t state) {
    mMousePosition = position;
    if (gui3d::Root::mouseMoved(position, state)) {
        return true;
    }
    mMouseDispatcher.mouseMoved(position, state);
    mNavigator->update(1.0f);
    if ((state & input::MouseListener::kAnyButton) != 0 && getWindow() != nullptr) {
        getWindow()->invalidate();
    }
    return true;
}

bool Gui::mouseButton(const input::Point& position, std::uint32_t event) {
    if (!gui3d::Root::mouseButton(position, event)) {
        mMouseDispatcher.mouseButton(position, event);
    }
    return true;
}

bool Gui::mouseWheel(float delta, std::uint32_t /*state*/) {
    mMouseDispatcher.mouseWheel(delta);
    // The dolly shows at the next frame, not only after the next move.
    mNavigator->update(1.0f);
    return true;
}

}  // namespace nevrik::sample
