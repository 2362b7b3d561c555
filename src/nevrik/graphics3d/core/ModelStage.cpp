#include "nevrik/graphics3d/core/ModelStage.h"

#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/FrameBuffer.h"

#include <GL/glew.h>

#include <cstring>

namespace nevrik::graphics3d {
namespace {

// A soft highlight: full white specular light would bleach shiny models.
constexpr float kSpecular = 0.3f;

math::Matrix4<float> translation(const math::Vector3<float>& offset) {
    math::Matrix4<float> matrix;
    matrix.setColumn(3, offset);
    return matrix;
}

}  // namespace

ModelStage::ModelStage(Model* model) : mModel(model) {
    if (mModel) {
        mParameters = ParameterBuffer::create(&mModel->getParameterFormat());
    }
    mLight.setColour(PointLight::kSpecular, kSpecular, kSpecular, kSpecular, 1.0f);
}

void ModelStage::setBackground(float red, float green, float blue) noexcept {
    mBackground[0] = red;
    mBackground[1] = green;
    mBackground[2] = blue;
}

void ModelStage::render(std::int32_t width, std::int32_t height) {
    Context* context = Context::current();
    if (context == nullptr || width < 1 || height < 1) {
        return;
    }
    glViewport(0, 0, width, height);
    // The last frame's blended meshes leave depth writes off, and clearing
    // the depth buffer needs them on.
    context->apply(context->getDefaultDepthMode());
    context->apply(context->getDefaultBlendMode());
    glClearColor(mBackground[0], mBackground[1], mBackground[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    mCamera.setFieldOfView(kFieldOfView, static_cast<float>(width) / static_cast<float>(height));
    math::Matrix4<float> placement;
    if (mModel) {
        const geometry::BoundingBox<float> box = mModel->getBounds().toBoundingBox();
        // A box of no size keeps the view it had: there is nothing to frame.
        mCamera.frame(box, kDirection, kUp);
        // Orbiting the camera one way turns the model the other way about
        // the same centre, under the one light at the eye.
        math::Matrix4<float> turn = mOrbit;
        turn.invert();
        const math::Vector3<float> centre = box.centre();
        placement = translation(centre) * turn * translation(centre * -1.0f);
    }
    mCamera.apply();
    // The light's position goes through the identity: it stays at the eye.
    context->getMatrixStack().load(math::Matrix4<float>());
    context->getLightStack().put(0, &mLight);

    const std::int32_t offset = mModel ? mModel->getMatrixOffset() : -1;
    if (mParameters && offset >= 0 &&
        static_cast<std::uint32_t>(offset) + Model::kMatrixSize <= mParameters->getSize()) {
        const math::Matrix4<float> modelView = mCamera.getView() * placement;
        std::memcpy(mParameters->getData() + offset, modelView.getElements(), Model::kMatrixSize);
        mModel->render(*mParameters);
    }
    context->getDeferQueue().flush();
}

object::Pointer<graphics::Image> ModelStage::renderImage(std::int32_t width, std::int32_t height) {
    if (Context::current() == nullptr || width < 1 || height < 1) {
        return {};
    }
    render(width, height);
    return FrameBuffer::readPixels(0, 0, width, height);
}

}  // namespace nevrik::graphics3d
