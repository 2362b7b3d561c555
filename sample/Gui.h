#pragma once

#include "nevrik/freetype/Font.h"
#include "nevrik/gui3d/Root.h"
#include "nevrik/input/KeyboardDispatcher.h"
#include "nevrik/input/MouseDispatcher.h"
#include "nevrik/input/Point.h"
#include "nevrik/input3d/FlightController.h"
#include "nevrik/input3d/Navigator.h"
#include "nevrik/input3d/TrackballController.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"
#include "sample/FixedController.h"
#include "sample/TransformConstraint.h"

namespace nevrik::graphics3d {
class Context;
}

namespace nevrik::sample {

/// The sample's 3D GUI over its OpenGL view: draws the verdict text and turns
/// the mouse input its own views leave into camera motion through a trackball
/// orbiting the origin at a fixed distance. Remembers where the mouse is, for
/// picking.
///
/// Reference-counted; the view holds it from its creation to its destruction,
/// both on the window thread, which is the only thread that may use it.
class Gui : public gui3d::Root {
public:
    /// How far the camera orbits from the origin.
    static constexpr float kDistance = 400.0f;
    static constexpr float kFontSize = 24.0f;
    static constexpr const char* kFontFamily = "Accidental Presidency";

    /// The GUI of the window `context` draws into, not yet taking input
    /// (takeInput()). The font comes from the files of the current folder:
    /// throws what freetype::FontFactory::createFont() throws when none fits.
    explicit Gui(graphics3d::Context* context);

    NEVRIK_CLASS_NAME(gui3d::Root, ":Gui")

    /// Lays the views out, then gives the mouse listeners the new area.
    bool resized(const gui::Size& size) override;
    /// Remembers the position; what no view takes turns the camera, and a
    /// drag repaints at once.
    bool mouseMoved(const input::Point& position, std::uint32_t state) override;
    bool mouseButton(const input::Point& position, std::uint32_t event) override;
    /// Dollies the camera.
    bool mouseWheel(float delta, std::uint32_t state) override;

    freetype::Font* getFont() const noexcept { return mFont.get(); }
    const input::Point& getMousePosition() const noexcept { return mMousePosition; }
    const input3d::Navigator& getNavigator() const noexcept { return *mNavigator; }
    input3d::TrackballController& getTrackball() noexcept { return *mTrackball; }
    input3d::FlightController& getFlight() noexcept { return *mFlight; }
    FixedController& getFixed() noexcept { return *mFixed; }
    input::MouseDispatcher& getMouseDispatcher() noexcept { return mMouseDispatcher; }
    input::KeyboardDispatcher& getKeyboardDispatcher() noexcept { return mKeyboardDispatcher; }
    const TransformConstraint& getConstraint() const noexcept { return *mConstraint; }

private:
    // The mouse listeners' area: the whole root.
    void updateArea();

    object::Pointer<freetype::Font> mFont;
    input::Point mMousePosition;
    object::Pointer<input3d::Navigator> mNavigator;
    object::Pointer<input3d::TrackballController> mTrackball;
    // Made for other ways of moving about; the sample leaves them unconnected.
    object::Pointer<input3d::FlightController> mFlight;
    object::Pointer<FixedController> mFixed;
    input::MouseDispatcher mMouseDispatcher;
    input::KeyboardDispatcher mKeyboardDispatcher;
    object::Pointer<TransformConstraint> mConstraint;
};

}  // namespace nevrik::sample
