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

#include <functional>

namespace nevrik::graphics3d {
class Context;
}

namespace nevrik::sample {

/// The sample's 3D GUI over its OpenGL view: draws the verdict text and turns
/// the input its own views leave into camera motion as model viewers do. A
/// left drag turns the camera about a pivot (the origin at first), a right
/// drag pans it so that the point under the cursor follows the cursor, and
/// the wheel (forward: closer) or a middle drag (up: closer) dollies it in
/// steps proportional to its distance from the pivot, which it never reaches.
/// Keys: Esc and Q quit, R returns to the starting view, F shows or hides the
/// frame statistics, S asks the view for a screenshot. Remembers where the
/// mouse is, for picking.
///
/// Reference-counted; the view holds it from its creation to its destruction,
/// both on the window thread, which is the only thread that may use it.
class Gui : public gui3d::Root {
public:
    /// How far the camera orbits from the origin at first, unless told
    /// otherwise (setHome()).
    static constexpr float kDistance = 400.0f;
    /// One wheel notch, or kDollyPixels of a middle drag, takes the camera
    /// this fraction of the way to the pivot.
    static constexpr float kDollyStep = 0.2f;
    static constexpr float kDollyPixels = 40.0f;
    /// Bounds of the distance to the pivot, in starting distances: near
    /// enough to look into any detail, far enough to see the whole scene.
    static constexpr float kNearestDistance = 1e-3f;
    static constexpr float kFurthestDistance = 8.0f;
    /// World units one pixel of the view covers at the scene point under
    /// `position`: what a right drag pans by.
    using PanScale = std::function<float(const input::Point& position)>;
    static constexpr float kFontSize = 24.0f;
    static constexpr const char* kFontFamily = "Accidental Presidency";

    /// The GUI of the window `context` draws into, not yet taking input
    /// (takeInput()). The font comes from the files of the current folder:
    /// throws what freetype::FontFactory::createFont() throws when none fits.
    explicit Gui(graphics3d::Context* context);

    NEVRIK_CLASS_NAME(gui3d::Root, ":Gui")

    /// Lays the views out, then gives the mouse listeners the new area.
    bool resized(const gui::Size& size) override;
    /// Remembers the position; what no view takes turns, pans or dollies
    /// the camera, and a drag repaints at once.
    bool mouseMoved(const input::Point& position, std::uint32_t state) override;
    /// A right press measures the pan for the point under the cursor.
    bool mouseButton(const input::Point& position, std::uint32_t event) override;
    /// Dollies the camera: forward (positive) closer.
    bool mouseWheel(float delta, std::uint32_t state) override;
    /// Esc and Q quit the running application, R goes home, F toggles the
    /// statistics; true for those keys.
    bool keyDown(std::uint32_t key) override;

    /// The starting view orbits the origin at `distance`; goes there.
    void setHome(float distance);
    /// Back to the starting view.
    void goHome();
    /// Moves the camera `steps` dolly steps towards the pivot (away for
    /// negative steps), within the distance bounds.
    void dolly(float steps);
    void setPanScale(PanScale panScale) { mPanScale = std::move(panScale); }

    float getDistance() const noexcept { return mDistance; }
    bool isStatisticsShown() const noexcept { return mStatisticsShown; }
    /// Whether s was pressed since the last call; the call forgets it.
    bool takeScreenshotRequest() noexcept { return std::exchange(mScreenshotRequested, false); }

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
    // The fixed controller at the current distance, and the camera moved.
    void placeCamera();

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
    float mHome = kDistance;
    float mDistance = kDistance;
    PanScale mPanScale;
    bool mStatisticsShown = false;
    bool mScreenshotRequested = false;
};

}  // namespace nevrik::sample
