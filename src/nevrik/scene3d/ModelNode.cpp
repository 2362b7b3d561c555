#include "nevrik/scene3d/ModelNode.h"

#include "nevrik/graphics3d/core/Model.h"
#include "nevrik/graphics3d/core/ParameterBuffer.h"
#include "nevrik/graphics3d/core/ParameterFormat.h"
#include "nevrik/graphics3d/core/TypeWord.h"

#include <cstring>

namespace nevrik::scene3d {
namespace {

void writeMatrix(std::uint8_t* slot, const math::Matrix4<float>& matrix) noexcept {
    if (slot != nullptr) {
        std::memcpy(slot, matrix.getElements(), graphics3d::Model::kMatrixSize);
    }
}

}  // namespace

ModelNode::ModelNode(graphics3d::Model* model) {
    setModel(model);
}

ModelNode::ModelNode(const ModelNode& other) : Geometry(other) {
    setModel(other.mModel.get());
}

// Out of line: the pointers' targets are complete only here. The buffer
// goes before the model, whose parameter format it refers to.
ModelNode::~ModelNode() = default;

object::Pointer<Node> ModelNode::clone() const {
    return object::make<ModelNode>(*this);
}

void ModelNode::render(GraphicsContext*, const math::Matrix4<float>& view) {
    if (mModel == nullptr || mParameters == nullptr) {
        return;
    }
    const math::Matrix4<float>& transform = getEffectiveTransform();
    fill(view * transform, transform, view);
    mModel->render(*mParameters);
}

bool ModelNode::pick(const geometry::Ray& ray, geometry::PickResult* result) {
    if (mModel == nullptr || mParameters == nullptr) {
        return false;
    }
    const math::Matrix4<float>& transform = getEffectiveTransform();
    fill(transform, transform, math::Matrix4<float>());
    // The model maps the ray by the inverse of the matrix it reads from the
    // block just written and reports no hit when that matrix is singular.
    math::Matrix4<float> matrix;
    if (!mModel->readMatrix(*mParameters, matrix)) {
        return false;
    }
    // Compared by bytes: equal bytes give the same inverse, NaN included.
    if (!mPickInverted ||
        std::memcmp(matrix.getElements(), mPickMatrix.getElements(), graphics3d::Model::kMatrixSize) != 0) {
        mPickMatrix = matrix;
        mPickInverse = matrix;
        mPickInvertible = mPickInverse.invertGaussJordan();
        mPickInverted = true;
    }
    if (!mPickInvertible || !mModel->intersect(matrix, mPickInverse, ray, result)) {
        return false;
    }
    if (result != nullptr) {
        result->node = this;
    }
    return true;
}

void ModelNode::setModel(graphics3d::Model* model) {
    // The old buffer refers to the old model's format: it goes first.
    mParameters.reset();
    mViewParameter = nullptr;
    mModelParameter = nullptr;
    mModelviewParameter = nullptr;
    mModel.reset(model);
    mPickInverted = false;
    setLocalBox(model != nullptr ? model->getBounds() : geometry::OrientedBox());
    markDirty();
    if (model != nullptr) {
        mParameters = graphics3d::ParameterBuffer::create(&model->getParameterFormat());
        mModelviewParameter = findSlot(graphics3d::Model::kModelViewName);
        mModelParameter = findSlot(graphics3d::Model::kModelName);
        mViewParameter = findSlot("view");
    }
}

std::uint8_t* ModelNode::findSlot(const char* name) const noexcept {
    if (mParameters == nullptr) {
        return nullptr;
    }
    // Only a whole matrix inside the block: a slot of another type or one cut
    // short by the block's end would be written past.
    const graphics3d::ParameterFormat::Component* component = mParameters->getFormat()->find(name);
    if (component == nullptr || component->type != graphics3d::TypeWord::kMatrix4 ||
        component->offset > mParameters->getSize() ||
        mParameters->getSize() - component->offset < graphics3d::Model::kMatrixSize) {
        return nullptr;
    }
    return mParameters->getData() + component->offset;
}

void ModelNode::fill(const math::Matrix4<float>& modelview, const math::Matrix4<float>& model,
                     const math::Matrix4<float>& view) noexcept {
    writeMatrix(mModelviewParameter, modelview);
    writeMatrix(mModelParameter, model);
    writeMatrix(mViewParameter, view);
}

}  // namespace nevrik::scene3d
