#pragma once

#include "nevrik/graphics3d/core/Model.h"
#include "nevrik/graphics3d/core/PointLight.h"
#include "nevrik/gui/OpenGL.h"
#include "nevrik/gui3d/StringView.h"
#include "nevrik/math/Matrix4.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/platform/PixelFormat.h"
#include "nevrik/scene3d/Locale.h"
#include "nevrik/scene3d/Observer.h"
#include "nevrik/scene3d/Root.h"
#include "nevrik/scene3d/Universe.h"
#include "nevrik/scene3d/Viewer.h"
#include "nevrik/system/Timer.h"
#include "nevrik/types/String.h"
#include "sample/Gui.h"

#include <cstdint>

namespace nevrik::geometry {
class OrientedBox;
struct PickResult;
}  // namespace nevrik::geometry

namespace nevrik::graphics3d {
class Context;
class MatrixStack;
}  // namespace nevrik::graphics3d

namespace nevrik::sample {

/// The sample's OpenGL view: builds the scene of 35 copies of one model when
/// it is created and, on every repaint, draws it, draws the axis indicator,
/// casts a ray through the mouse position and shows the verdict as text. The
/// projection keeps the camera window's height and takes its width from the
/// view's shape, so circles stay round in any window. A failure to build the
/// scene ends the running application with a message naming the file.
///
/// Reference-counted; the window holds it and the application keeps its own
/// reference. Creation, rendering and destruction happen on the window
/// thread; the frame counters may be read once that thread has ended.
class SampleView : public gui::OpenGL {
public:
    static constexpr float kWidth = 600.0f;
    static constexpr float kHeight = 500.0f;
    /// 24 colour, 8 alpha, 8 stencil and 24 depth bits.
    static constexpr platform::PixelFormat kFormat{24, 8, 8, 0, 24, 0};
    /// Pixels from the lower right corner to the axis indicator's centre,
    /// and the length of an axis facing the viewer.
    static constexpr float kIndicatorInset = 32.0f;
    static constexpr float kIndicatorLength = 20.0f;
    /// The model, in the "data" folder, and the grid its copies stand on:
    /// columns -3 to 3 kSpacingX apart, rows -2 to 2 kSpacingY apart.
    static constexpr const char* kDataFolder = "data";
    static constexpr const char* kModelFile = "f5e_05.3ds";
    static constexpr int kColumns = 3;
    static constexpr int kRows = 2;
    static constexpr float kSpacingX = 320.0f;
    static constexpr float kSpacingY = 600.0f;
    /// The camera's clipping distances; its window, kWindowSize high, lies at
    /// the near distance.
    static constexpr float kNear = 20.0f;
    static constexpr float kFar = 4000.0f;
    static constexpr float kWindowSize = 20.0f;
    /// The bounding radius of the default model (as the model generator
    /// makes it): any other model's scene is scaled by its own radius over
    /// this, so that it shows as the default one does.
    static constexpr float kDefaultRadius = 162.0f;
    /// Where the verdict shows: its lines hang below the frame's top edge, so
    /// the frame lies wholly inside the view, and it is wide enough for the
    /// longer verdict in a 24-pixel sans-serif face.
    static constexpr input::Rect kVerdictFrame{10.0f, 460.0f, 300.0f, 40.0f};
    static constexpr const char* kOverText = "mouse over object";
    static constexpr const char* kNotOverText = "mouse not over object";
    /// Where the frame statistics show when asked for: the upper left corner.
    static constexpr input::Rect kStatisticsFrame{10.0f, 0.0f, 400.0f, 40.0f};
    /// Microseconds over which the statistics average.
    static constexpr std::uint64_t kStatisticsPeriod = 500000;

    /// How the scene stands around a model: the grid spacing, the camera's
    /// distances and the light all grow with `scale`; every copy is moved by
    /// -`centre`, so that the model's middle stands on its grid point.
    struct Placement {
        float scale = 1.0f;
        math::Vector3<float> centre;
    };
    /// The default model's placement is the unit one; another model's comes
    /// from its bounds.
    static Placement placementFor(const geometry::OrientedBox& bounds);

    /// A 600 × 500 view at the window's origin asking for kFormat that shows
    /// the model at `modelPath`, in any format the model roster reads, or the
    /// default model (kModelFile in kDataFolder) when the path is empty.
    explicit SampleView(const types::String& modelPath = types::String());

    /// Makes the child window and its rendering context, the GUI and the
    /// scene. False, with neither, when the rendering context cannot be made;
    /// false when the model or the font cannot be read. Either way the
    /// running application is told why (SampleApplication::failCurrent()).
    bool create() override;
    /// Lets go of the scene and the GUI while the rendering context still
    /// exists, then deletes the context and the child window.
    bool destroy() override;
    /// Draws one frame and picks under the mouse.
    void render() override;
    /// Keys the top-level window hears go to the GUI, as the view's own do.
    bool keyDown(std::uint32_t key) override;

    /// The far end of the indicator's line for axis `row` (0 to 2) of
    /// `transform`'s rotation part, seen from `centre` in window pixels
    /// (y downwards): an oblique view in which z points down and to the right.
    static input::Point indicatorEnd(const math::Matrix4<float>& transform, int row,
                                     const input::Point& centre);

    /// What the frames cost: counts, the wall time from the first frame to
    /// the last, and the window thread's processor time spent drawing and
    /// picking, all in microseconds.
    struct Statistics {
        std::uint64_t frames = 0;
        /// Frames whose ray hit a model.
        std::uint64_t hits = 0;
        std::uint64_t firstFrame = 0;
        std::uint64_t lastFrame = 0;
        std::uint64_t renderTime = 0;
        std::uint64_t pickTime = 0;
    };
    const Statistics& getStatistics() const noexcept { return mStatistics; }

private:
    void createScene();
    // Lets go of the scene and the GUI; the rendering context stays.
    void releaseScene();
    // The model, optimised, with colliders for picking.
    object::Pointer<graphics3d::Model> loadModel();
    // The camera where the navigator has it, its window shaped like the view.
    void placeCamera();
    // The ray through the centre of the view's pixel at `position`.
    geometry::Ray rayAt(const input::Point& position) const;
    // Whether the ray through `position` hits a model; `result` says where.
    bool pickAt(const input::Point& position, geometry::PickResult& result);
    // World units per view pixel at the scene point under `position`, or at
    // the pivot's depth when no model is there.
    float panScale(const input::Point& position);
    // The frame rate and pick time of the last period, when they are shown.
    // Writes the view to the next free nevrik-N.png beside the program (in
    // the current folder when the program's folder takes no file) and says
    // where, or why not, on standard error.
    void saveScreenshot();
    void showStatistics(std::uint64_t now);
    // Three lines from the lower right corner along the rows of the
    // transform's rotation part: x red, y green, z blue.
    void drawAxisIndicator(const math::Matrix4<float>& transform);

    types::String mModelPath;
    Placement mPlacement;
    graphics3d::Context* mRenderContext = nullptr;
    graphics3d::MatrixStack* mMatrixStack = nullptr;
    object::Pointer<Gui> mGui;
    system::Timer mTimer;
    object::Pointer<scene3d::Universe> mUniverse;
    object::Pointer<scene3d::Locale> mLocale;
    object::Pointer<scene3d::Root> mScene;
    object::Pointer<scene3d::Viewer> mViewer;
    object::Pointer<scene3d::Observer> mObserver;
    object::Pointer<graphics3d::PointLight> mLight;
    object::Pointer<graphics3d::Model> mModel;
    object::Pointer<gui3d::StringView> mVerdict;
    object::Pointer<gui3d::StringView> mStatisticsText;
    Statistics mStatistics;
    // The statistics at the start of the period shown.
    Statistics mShown;
};

}  // namespace nevrik::sample
