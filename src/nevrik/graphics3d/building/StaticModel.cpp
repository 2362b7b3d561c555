#include "nevrik/graphics3d/building/StaticModel.h"

#include "nevrik/graphics3d/building/Optimiser.h"
#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/TypeWord.h"

#include <cstring>

namespace nevrik::graphics3d {
namespace {

// Blended meshes are drawn after the opaque scene, through the defer queue.
bool blends(const Mesh& mesh) noexcept {
    const Appearance* appearance = mesh.getAppearance();
    return appearance != nullptr && appearance->getBlendMode() != nullptr &&
           !appearance->getBlendMode()->isOpaque();
}

}  // namespace

void StaticModel::render(const ParameterBuffer& parameters) {
    Context* context = Context::current();
    if (context == nullptr || parameters.getSize() < kMatrixSize) {
        return;
    }
    float elements[16];
    std::memcpy(elements, parameters.getData(), kMatrixSize);
    const math::Matrix4<float> modelView(elements);
    context->getMatrixStack().load(modelView);
    DeferQueue& queue = context->getDeferQueue();
    // A model flagged compiled that was never optimised has no program:
    // drawing its meshes one by one is the only way to show it.
    if (isCompiled() && getRenderStream() != nullptr) {
        getRenderStream()->draw();
        for (const object::Pointer<Mesh>& mesh : mDeferred) {
            queue.add(mesh.get(), modelView);
        }
        return;
    }
    for (const object::Pointer<Mesh>& mesh : getMeshes()) {
        if (blends(*mesh)) {
            queue.add(mesh.get(), modelView);
        } else {
            mesh->draw();
        }
    }
}

void StaticModel::update(float, ParameterBuffer& parameters, const math::Matrix4<float>& source) {
    writeMatrix(parameters, source);
}

bool StaticModel::optimise() {
    // Everything is built aside first, so that a throw from splitting or
    // compiling leaves the model as it was.
    container::Array<object::Pointer<Mesh>> deferred;
    auto optimiser = object::make<Optimiser>();
    for (const object::Pointer<Mesh>& mesh : getMeshes()) {
        if (blends(*mesh)) {
            deferred.add(mesh);
        } else {
            optimiser->add(mesh.get());
        }
    }
    optimiser->process();
    object::Pointer<RenderStream> stream = optimiser->compile();
    container::Array<object::Pointer<Mesh>> meshes;
    optimiser->takeMeshes(meshes, true);
    meshes.append(deferred);
    setRenderStream(stream.get());
    setMeshes(std::move(meshes));
    mDeferred = std::move(deferred);
    return true;
}

void StaticModel::clear() {
    Model::clear();
    mMatrices.clear();
    mDeferred.clear();
}

void StaticModel::complete() {
    ParameterFormat format;
    format.add(kModelViewName, TypeWord::kMatrix4);
    setParameterFormat(format);
    fitBounds();
}

}  // namespace nevrik::graphics3d
