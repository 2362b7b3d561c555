#include "sample/SampleView.h"

#include "nevrik/geometry/PickResult.h"
#include "nevrik/graphics/TranslatorPNG.h"
#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/DeferQueue.h"
#include "nevrik/graphics3d/core/FrameBuffer.h"
#include "nevrik/graphics3d/core/MatrixStack.h"
#include "nevrik/graphics3d/loading/ModelRoster.h"
#include "nevrik/io/File.h"
#include "nevrik/io/IOException.h"
#include "nevrik/io/SystemFileFactory.h"
#include "nevrik/io/TranslatorException.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/platform/Clock.h"
#include "nevrik/platform/Executable.h"
#include "nevrik/scene3d/ModelNode.h"
#include "nevrik/scene3d/PickTraverser.h"
#include "sample/SampleApplication.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

namespace nevrik::sample {
namespace {

using object::make;

math::Matrix4<float> translation(float x, float y, float z) {
    math::Matrix4<float> matrix;
    matrix.setColumn(3, math::Vector3<float>(x, y, z));
    return matrix;
}

// Why the model file at `path` failed, for a failure that carries no text
// of its own but its class name: the file system tells more.
types::String explain(const object::Exception& error, const types::String& path) {
    if (dynamic_cast<const io::TranslatorException*>(&error) != nullptr) {
        return "the file is damaged";
    }
    const std::filesystem::path file(path.c_str());
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    if (!std::filesystem::is_directory(folder)) {
        return types::String("the folder \"") + folder.c_str() + "\" does not exist";
    }
    return std::filesystem::exists(file) ? "the file cannot be opened or read" : "the file does not exist";
}

// A new file nevrik-N.png in `folder` (empty for the current one), numbered
// from 1 and never over an earlier one; `path` says where. Throws the
// io::IOException of a folder that takes no new file.
object::Pointer<io::File> createScreenshotFile(const std::string& folder, types::String& path) {
    const auto files = make<io::SystemFileFactory>(types::String(folder.c_str()));
    types::String name;
    for (int number = 1; name.isEmpty() || files->exists(name); ++number) {
        name = types::String("nevrik-") + std::to_string(number).c_str() + ".png";
    }
    path = files->join(name);
    return files->create(name);
}

}  // namespace

SampleView::Placement SampleView::placementFor(const geometry::OrientedBox& bounds) {
    // The box's half-axes are perpendicular: the sphere through its corners.
    const float radius =
        std::sqrt(bounds.getSquaredLength(0) + bounds.getSquaredLength(1) + bounds.getSquaredLength(2));
    Placement placement;
    placement.centre = bounds.getCentre();
    // An empty or flat-out broken model keeps the default's scale.
    if (std::isfinite(radius) && radius > 0.0f) {
        placement.scale = radius / kDefaultRadius;
    }
    return placement;
}

SampleView::SampleView(const types::String& modelPath)
    : gui::OpenGL(input::Rect{0.0f, 0.0f, kWidth, kHeight}), mModelPath(modelPath) {
    getPixelFormat() = kFormat;
}

bool SampleView::create() {
    if (!gui::OpenGL::create() || getGraphicsContext() == nullptr) {
        SampleApplication::failCurrent("Cannot make an OpenGL rendering context for the window");
        return false;
    }
    mRenderContext = getGraphicsContext();
    mMatrixStack = &mRenderContext->getMatrixStack();
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    const input::Rect& bounds = getBounds();
    const float targetHeight = static_cast<float>(mRenderContext->getSize()[1]);
    glViewport(static_cast<GLint>(bounds.x), static_cast<GLint>(targetHeight - bounds.y - bounds.height),
               static_cast<GLsizei>(bounds.width), static_cast<GLsizei>(bounds.height));
    try {
        mGui = make<Gui>(mRenderContext);
        mGui->takeInput();
        mGui->setPanScale([this](const input::Point& position) { return panScale(position); });
        mTimer.start(0);
        createScene();
    } catch (const object::Exception& error) {
        // Nothing is drawn from a scene half built.
        releaseScene();
        SampleApplication::failCurrent(error.describe());
        return false;
    }
    return true;
}

bool SampleView::keyDown(std::uint32_t key) {
    return mGui && mGui->keyDown(key);
}

bool SampleView::destroy() {
    releaseScene();
    mRenderContext = nullptr;
    mMatrixStack = nullptr;
    return gui::OpenGL::destroy();
}

void SampleView::releaseScene() {
    // Models and lights hold rendering resources: they go while the
    // rendering context still exists.
    mGui.reset();
    mVerdict.reset();
    mStatisticsText.reset();
    mObserver.reset();
    mViewer.reset();
    mScene.reset();
    mLocale.reset();
    mUniverse.reset();
    mModel.reset();
    if (mLight && mRenderContext != nullptr) {
        mRenderContext->getLightStack().remove(mLight.get());
    }
    mLight.reset();
}

void SampleView::createScene() {
    mUniverse = make<scene3d::Universe>();
    // The universe's chain keeps the locale's only reference.
    mLocale = object::make<scene3d::Locale>(mUniverse.get());
    mScene = make<scene3d::Root>();
    mLocale->addRoot(mScene.get());

    mModel = loadModel();
    if (!mModelPath.isEmpty()) {
        mPlacement = placementFor(mModel->getBounds());
    }
    const float scale = mPlacement.scale;

    mViewer = make<scene3d::Viewer>();
    mViewer->setNear(kNear * scale);
    mViewer->setFar(kFar * scale);
    mScene->addChild(mViewer.get());
    mObserver = make<scene3d::Observer>(mUniverse.get(), mRenderContext, nullptr);
    mObserver->setViewer(mViewer.get());
    mGui->setHome(Gui::kDistance * scale);

    mLight = make<graphics3d::PointLight>();
    mLight->setPosition(0.0f, 0.0f, Gui::kDistance * scale);
    mLight->setColour(graphics3d::PointLight::kAmbient, 0.0f, 0.0f, 0.0f, 0.0f);
    mLight->setColour(graphics3d::PointLight::kDiffuse, 1.0f, 1.0f, 1.0f, 0.0f);
    mLight->setColour(graphics3d::PointLight::kSpecular, 0.3f, 0.3f, 0.3f, 0.0f);
    mLight->setAttenuation(1.0f, 0.0f, 0.0f);

    const math::Vector3<float>& centre = mPlacement.centre;
    for (int i = -kColumns; i <= kColumns; ++i) {
        for (int j = -kRows; j <= kRows; ++j) {
            auto node = make<scene3d::ModelNode>(mModel.get());
            node->setLocalTransform(translation(static_cast<float>(i) * kSpacingX * scale - centre.x,
                                                static_cast<float>(j) * kSpacingY * scale - centre.y,
                                                -centre.z));
            node->markDirty();
            mScene->addChild(node.get());
        }
    }

    mVerdict = make<gui3d::StringView>(kVerdictFrame, types::String(""));
    mVerdict->setLayoutFlags(gui3d::View::kFollowBottom);
    mVerdict->setFont(mGui->getFont());
    mGui->addView(mVerdict.get());
    mStatisticsText = make<gui3d::StringView>(kStatisticsFrame, types::String(""));
    mStatisticsText->setFont(mGui->getFont());
    mGui->addView(mStatisticsText.get());
}

object::Pointer<graphics3d::Model> SampleView::loadModel() {
    const types::String path =
        mModelPath.isEmpty() ? types::String(kDataFolder) + "/" + kModelFile : mModelPath;
    try {
        // Any format the engine reads, told by the file's content; textures
        // are looked for beside the model.
        graphics3d::ModelRoster roster;
        object::Pointer<graphics3d::Model> model = roster.readFile(path);
        // The model is drawn without them; the user learns which and why.
        for (const auto& missing : roster.getMissingTextures()) {
            std::fprintf(stderr, "Texture %s of %s not loaded: %s\n", missing.name.c_str(), path.c_str(),
                         missing.reason.c_str());
        }
        model->setCompiled(model->optimise());
        model->createColliders(true);
        return model;
    } catch (object::Exception& error) {
        // The user reads which model failed and why; handlers above still
        // see the class. The roster has named the file.
        if (error.getMessage() == error.getName()) {
            error.addContext(explain(error, path));
        }
        error.addContext("Cannot load the model");
        throw;
    }
}

void SampleView::placeCamera() {
    // The window keeps its height; its width follows the view's shape, for
    // drawing and picking alike.
    const gui::Size size = getSize();
    const float height = kWindowSize * mPlacement.scale;
    const float width = size.height > 0.0f ? height * size.width / size.height : height;
    mViewer->getCamera().setWindow(-width / 2.0f, -height / 2.0f, width, height);
    mViewer->setLocalTransform(mGui->getNavigator().getTransform());
    mViewer->markDirty();
    mUniverse->update();
}

void SampleView::render() {
    if (mRenderContext == nullptr || !mGui) {
        return;
    }
    const std::uint64_t start = platform::Clock::threadTime();
    graphics3d::Context& context = *mRenderContext;
    context.apply(context.getDefaultDepthMode());
    context.apply(context.getDefaultBlendMode());
    glClearColor(0.59f, 0.59f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    mMatrixStack->load(math::Matrix4<float>());
    // Put in its slot every frame: the light's position is taken through the
    // identity just loaded, so it stays at the camera.
    context.getLightStack().put(0, mLight.get());

    placeCamera();
    mObserver->render();
    drawAxisIndicator(mGui->getNavigator().getTransform());
    context.getDeferQueue().flush();

    const std::uint64_t picking = platform::Clock::threadTime();
    geometry::PickResult result;
    const bool hit = pickAt(mGui->getMousePosition(), result);
    const std::uint64_t picked = platform::Clock::threadTime();
    mVerdict->setText(hit ? kOverText : kNotOverText);
    mGui->deliverMessages();
    mGui->render();
    if (mGui->takeScreenshotRequest()) {
        saveScreenshot();
    }

    const std::uint64_t now = platform::Clock::now();
    if (mStatistics.frames++ == 0) {
        mStatistics.firstFrame = now;
    }
    mStatistics.lastFrame = now;
    mStatistics.hits += hit ? 1 : 0;
    mStatistics.pickTime += picked - picking;
    mStatistics.renderTime += (picking - start) + (platform::Clock::threadTime() - picked);
    showStatistics(now);
}

void SampleView::saveScreenshot() {
    const input::Rect& bounds = getBounds();
    const float targetHeight = static_cast<float>(mRenderContext->getSize()[1]);
    const object::Pointer<graphics::Image> image = graphics3d::FrameBuffer::readPixels(
        static_cast<std::int32_t>(bounds.x),
        static_cast<std::int32_t>(targetHeight - bounds.y - bounds.height),
        static_cast<std::int32_t>(bounds.width), static_cast<std::int32_t>(bounds.height));
    types::String path;
    try {
        object::Pointer<io::File> file;
        try {
            file = createScreenshotFile(platform::Executable::getFolder(), path);
        } catch (const io::IOException&) {
            // The program's folder takes no file (installed read-only, or
            // gone since the start): the current folder is the user's.
            file = createScreenshotFile("", path);
        }
        if (image && graphics::TranslatorPNG().write(file->getOutputStream(), *image)) {
            std::fprintf(stderr, "Saved the view as %s\n", path.c_str());
            return;
        }
    } catch (const object::Exception& error) {
        std::fprintf(stderr, "Cannot save the view: %s\n", error.describe().c_str());
        return;
    }
    std::fprintf(stderr, "Cannot save the view as %s\n", path.c_str());
}

void SampleView::showStatistics(std::uint64_t now) {
    if (!mGui->isStatisticsShown()) {
        mStatisticsText->setText("");
        mShown = mStatistics;
        return;
    }
    const std::uint64_t frames = mStatistics.frames - mShown.frames;
    const std::uint64_t elapsed = now - mShown.lastFrame;
    if (elapsed < kStatisticsPeriod && !mStatisticsText->getText().isEmpty()) {
        return;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.0f frames/s, pick %.2f ms",
                  elapsed > 0 ? static_cast<double>(frames) * 1e6 / static_cast<double>(elapsed) : 0.0,
                  frames > 0 ? static_cast<double>(mStatistics.pickTime - mShown.pickTime) / 1e3 /
                                   static_cast<double>(frames)
                             : 0.0);
    mStatisticsText->setText(text);
    mShown = mStatistics;
}

geometry::Ray SampleView::rayAt(const input::Point& position) const {
    // Through the pixel's centre, where the rasteriser samples what it draws.
    const gui::Size size = getSize();
    const float halfWidth = size.width / 2.0f;
    const float halfHeight = size.height / 2.0f;
    return mViewer->rayThrough((position.x + 0.5f - halfWidth) / halfWidth,
                               (position.y + 0.5f - halfHeight) / halfHeight);
}

bool SampleView::pickAt(const input::Point& position, geometry::PickResult& result) {
    scene3d::PickTraverser traverser(mUniverse.get());
    return traverser.pick(rayAt(position), &result) != nullptr;
}

float SampleView::panScale(const input::Point& position) {
    placeCamera();
    const math::Matrix4<float>& eye = mViewer->getWorldTransform();
    float depth = mGui->getDistance();
    geometry::PickResult result;
    if (pickAt(position, result)) {
        // The camera looks down its negative z axis.
        depth = (eye.getColumn(3) - result.point).dot(eye.getColumn(2));
    }
    const graphics3d::PerspectiveCamera& camera = mViewer->getCamera();
    return depth * camera.getHeight() / (camera.getDistance() * getSize().height);
}

input::Point SampleView::indicatorEnd(const math::Matrix4<float>& transform, int row,
                                      const input::Point& centre) {
    const float x = transform(row, 0);
    const float y = transform(row, 1);
    const float z = transform(row, 2);
    return input::Point{centre.x + (z * 0.5f + x) * kIndicatorLength,
                        centre.y - (y - z * 0.5f) * kIndicatorLength};
}

void SampleView::drawAxisIndicator(const math::Matrix4<float>& transform) {
    const gui::Size size = getSize();
    const input::Point centre{size.width - kIndicatorInset, size.height - kIndicatorInset};
    // Lighting and texturing would hide the line colours; the attribute
    // stack puts back exactly what the context has recorded.
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_POLYGON_BIT | GL_CURRENT_BIT);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    mMatrixStack->push(GL_PROJECTION);
    glOrtho(0.0, size.width, size.height, 0.0, -1.0, 1.0);
    mMatrixStack->push(GL_MODELVIEW);
    static constexpr float kColours[3][4] = {
        {1.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 1.0f, 1.0f}};
    glBegin(GL_LINES);
    for (int row = 0; row < 3; ++row) {
        const input::Point end = indicatorEnd(transform, row, centre);
        glColor4fv(kColours[row]);
        glVertex2f(centre.x, centre.y);
        glVertex2f(end.x, end.y);
    }
    glEnd();
    mMatrixStack->pop(GL_MODELVIEW);
    mMatrixStack->pop(GL_PROJECTION);
    glPopAttrib();
    graphics3d::Context& context = *mRenderContext;
    context.apply(context.getDefaultDepthMode());
    context.apply(context.getDefaultPolygonMode());
}

}  // namespace nevrik::sample
