#include "sample/SampleView.h"

#include "nevrik/geometry/PickResult.h"
#include "nevrik/graphics3d/building/MemoryException.h"
#include "nevrik/graphics3d/building/UnsupportedFormatException.h"
#include "nevrik/graphics3d/building/UnsupportedPrimitiveException.h"
#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/DeferQueue.h"
#include "nevrik/graphics3d/core/Graphics3dException.h"
#include "nevrik/graphics3d/core/MatrixStack.h"
#include "nevrik/graphics3d/core/TextureException.h"
#include "nevrik/graphics3d/core/TypeException.h"
#include "nevrik/graphics3d/loading/TextureManager.h"
#include "nevrik/graphics3d/loading/Translator3DS.h"
#include "nevrik/io/DirectoryNotFoundException.h"
#include "nevrik/io/File.h"
#include "nevrik/io/FileNotFoundException.h"
#include "nevrik/io/FileOpenException.h"
#include "nevrik/io/FileReadException.h"
#include "nevrik/io/FileSeekException.h"
#include "nevrik/io/IllegalPositionModeException.h"
#include "nevrik/io/SystemFileFactory.h"
#include "nevrik/io/TranslatorFormatException.h"
#include "nevrik/io/TranslatorMemoryException.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/platform/Clock.h"
#include "nevrik/scene3d/ModelNode.h"
#include "nevrik/scene3d/PickTraverser.h"
#include "sample/detail/ExceptionContext.h"

#include <GL/glew.h>

namespace nevrik::sample {
namespace {

using object::make;

math::Matrix4<float> translation(float x, float y, float z) {
    math::Matrix4<float> matrix;
    matrix.setColumn(3, math::Vector3<float>(x, y, z));
    return matrix;
}

// What went wrong with the model file, for the user. Some failures carry no
// text of their own but their class name; the file system then tells more.
types::String explain(const object::Exception& error, io::FileFactory& files) {
    const types::String& message = error.getMessage();
    if (message != error.getName()) {
        return message;
    }
    types::String reason;
    if (dynamic_cast<const io::TranslatorException*>(&error) != nullptr) {
        reason = "the file is damaged or is no 3DS model";
    } else if (!io::SystemFileFactory(".").exists(SampleView::kDataFolder)) {
        reason = types::String("the folder \"") + SampleView::kDataFolder + "\" is not in the current folder";
    } else if (!files.exists(SampleView::kModelFile)) {
        reason = "the file does not exist";
    } else {
        reason = "the file cannot be opened or read";
    }
    return reason + " (" + message + ")";
}

}  // namespace

SampleView::SampleView() : gui::OpenGL(input::Rect{0.0f, 0.0f, kWidth, kHeight}) {
    platform::PixelFormat& format = getPixelFormat();
    format.colourBits = 24;
    format.alphaBits = 8;
    format.stencilBits = 8;
    format.depthBits = 24;
}

bool SampleView::create() {
    if (!gui::OpenGL::create()) {
        return false;
    }
    mRenderContext = getGraphicsContext();
    if (mRenderContext == nullptr) {
        return false;
    }
    mMatrixStack = &mRenderContext->getMatrixStack();
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    const input::Rect& bounds = getBounds();
    const float targetHeight = static_cast<float>(mRenderContext->getSize()[1]);
    glViewport(static_cast<GLint>(bounds.x), static_cast<GLint>(targetHeight - bounds.y - bounds.height),
               static_cast<GLsizei>(bounds.width), static_cast<GLsizei>(bounds.height));
    mGui = make<Gui>(mRenderContext);
    mGui->takeInput();
    mTimer.start(0);
    createScene();
    return true;
}

bool SampleView::destroy() {
    // Models and lights hold rendering resources: they go while the
    // rendering context still exists.
    mGui.reset();
    mVerdict.reset();
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
    mRenderContext = nullptr;
    mMatrixStack = nullptr;
    return gui::OpenGL::destroy();
}

void SampleView::createScene() {
    mUniverse = make<scene3d::Universe>();
    // The universe's chain keeps the locale's only reference.
    mLocale = object::make<scene3d::Locale>(mUniverse.get());
    mScene = make<scene3d::Root>();
    mLocale->addRoot(mScene.get());

    mViewer = make<scene3d::Viewer>();
    mViewer->setNear(20.0f);
    mViewer->setFar(4000.0f);
    mScene->addChild(mViewer.get());
    mObserver = make<scene3d::Observer>(mUniverse.get(), mRenderContext, nullptr);
    mObserver->setViewer(mViewer.get());

    mLight = make<graphics3d::PointLight>();
    mLight->setPosition(0.0f, 0.0f, 400.0f);
    mLight->setColour(graphics3d::PointLight::kAmbient, 0.0f, 0.0f, 0.0f, 0.0f);
    mLight->setColour(graphics3d::PointLight::kDiffuse, 1.0f, 1.0f, 1.0f, 0.0f);
    mLight->setColour(graphics3d::PointLight::kSpecular, 0.3f, 0.3f, 0.3f, 0.0f);
    mLight->setAttenuation(1.0f, 0.0f, 0.0f);

    mModel = loadModel();
    for (int i = -kColumns; i <= kColumns; ++i) {
        for (int j = -kRows; j <= kRows; ++j) {
            auto node = make<scene3d::ModelNode>(mModel.get());
            node->setLocalTransform(
                translation(static_cast<float>(i) * kSpacingX, static_cast<float>(j) * kSpacingY, 0.0f));
            node->markDirty();
            mScene->addChild(node.get());
        }
    }

    mVerdict = make<gui3d::StringView>(kVerdictFrame, types::String(""));
    mVerdict->setLayoutFlags(gui3d::View::kFollowBottom);
    mVerdict->setFont(mGui->getFont());
    mGui->addView(mVerdict.get());
}

object::Pointer<graphics3d::Model> SampleView::loadModel() {
    auto files = make<io::SystemFileFactory>(kDataFolder);
    const types::String path = files->join(kModelFile);
    try {
        object::Pointer<io::File> file = files->open(kModelFile, io::File::kRead);
        auto reader = make<graphics3d::Translator3DS>();
        reader->setTextureManager(make<graphics3d::TextureManager>(files.get()).get());
        object::Pointer<graphics3d::Model> model =
            reader->read(file->getInputStream(), graphics3d::Translator3DS::kWholeStream);
        file.reset();
        if (!model) {
            // Picking and drawing both need a model; a file without one
            // would otherwise be found out only by a null pointer.
            throw io::TranslatorFormatException("it holds no 3DS editor data");
        }
        model->setCompiled(model->optimise());
        model->createColliders(true);
        return model;
    } catch (const object::Exception& error) {
        detail::rethrowWithMessage<
            io::IOException, io::FileNotFoundException, io::DirectoryNotFoundException, io::FileOpenException,
            io::FileReadException, io::FileSeekException, io::IllegalPositionModeException,
            io::TranslatorException, io::TranslatorFormatException, io::TranslatorMemoryException,
            graphics3d::Graphics3dException, graphics3d::MemoryException, graphics3d::TextureException,
            graphics3d::TypeException, graphics3d::UnsupportedFormatException,
            graphics3d::UnsupportedPrimitiveException>(
            error, "Cannot load the model " + path + ": " + explain(error, *files));
    }
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

    const math::Matrix4<float>& camera = mGui->getNavigator().getTransform();
    mViewer->setLocalTransform(camera);
    mViewer->markDirty();
    mUniverse->update();
    mObserver->render();
    drawAxisIndicator(camera);
    context.getDeferQueue().flush();

    const std::uint64_t picking = platform::Clock::threadTime();
    const bool hit = pick();
    const std::uint64_t picked = platform::Clock::threadTime();
    mVerdict->setText(hit ? kOverText : kNotOverText);
    mGui->deliverMessages();
    mGui->render();

    const std::uint64_t now = platform::Clock::now();
    if (mStatistics.frames++ == 0) {
        mStatistics.firstFrame = now;
    }
    mStatistics.lastFrame = now;
    mStatistics.hits += hit ? 1 : 0;
    mStatistics.pickTime += picked - picking;
    mStatistics.renderTime += (picking - start) + (platform::Clock::threadTime() - picked);
}

bool SampleView::pick() {
    const gui::Size size = getSize();
    const input::Point& mouse = mGui->getMousePosition();
    const float halfWidth = size.width / 2.0f;
    const float halfHeight = size.height / 2.0f;
    const geometry::Ray ray =
        mViewer->rayThrough((mouse.x - halfWidth) / halfWidth, (mouse.y - halfHeight) / halfHeight);
    scene3d::PickTraverser traverser(mUniverse.get());
    geometry::PickResult result;
    return traverser.pick(ray, &result) != nullptr;
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
