#include "nevrik/graphics3d/core/Model.h"

#include "nevrik/geometry/BoundingBox.h"

#include <cstring>
#include <limits>

namespace nevrik::graphics3d {
namespace {

// The matrix offset of `format`: "modelview" first, then "model".
std::int32_t findMatrixOffset(const ParameterFormat& format) noexcept {
    const ParameterFormat::Component* component = format.find(Model::kModelViewName);
    if (component == nullptr) {
        component = format.find(Model::kModelName);
    }
    return component != nullptr ? static_cast<std::int32_t>(component->offset) : -1;
}

// Grows `box` (or starts it, when `empty`) to take in the corners of `bounds`.
void takeCorners(const geometry::OrientedBox& bounds, geometry::BoundingBox<float>& box,
                 bool& empty) noexcept {
    for (int corner = 0; corner < 8; ++corner) {
        math::Vector3<float> point = bounds.getCentre();
        for (int axis = 0; axis < 3; ++axis) {
            const float sign = (corner >> axis & 1) != 0 ? 1.0f : -1.0f;
            point = point + bounds.getAxis(axis) * sign;
        }
        if (empty) {
            box.min = box.max = point;
            empty = false;
            continue;
        }
        for (int axis = 0; axis < 3; ++axis) {
            if (point[axis] < box.min[axis]) {
                box.min[axis] = point[axis];
            }
            if (point[axis] > box.max[axis]) {
                box.max[axis] = point[axis];
            }
        }
    }
}

// Whether a block of `size` bytes holds a whole matrix at `offset`.
bool holdsMatrix(std::int32_t offset, std::uint32_t size) noexcept {
    return offset >= 0 && std::uint64_t{size} >= static_cast<std::uint64_t>(offset) + Model::kMatrixSize;
}

}  // namespace

Model::~Model() = default;

void Model::update(float, ParameterBuffer&, const math::Matrix4<float>&) {}

bool Model::intersect(const ParameterBuffer& parameters, const geometry::Ray& ray,
                      geometry::PickResult* hit) {
    math::Matrix4<float> matrix;
    if (!readMatrix(parameters, matrix)) {
        return false;
    }
    math::Matrix4<float> inverse = matrix;
    if (!inverse.invertGaussJordan()) {
        return false;
    }
    return intersect(matrix, inverse, ray, hit);
}

bool Model::intersect(const math::Matrix4<float>& matrix, const math::Matrix4<float>& inverse,
                      const geometry::Ray& ray, geometry::PickResult* hit) {
    geometry::Ray local = ray;
    local.transform(inverse);
    // The direction is carried without normalising, so a distance along the
    // local ray is the same parameter along `ray`. Made ready once for every
    // mesh: most meshes are then dismissed by one box test.
    using Collider = geometry::MeshCollider3<float>;
    const Collider::Probe probe(local);
    float best = std::numeric_limits<float>::infinity();
    for (const object::Pointer<Mesh>& mesh : mMeshes) {
        const Collider* collider = mesh->getCollider();
        // Only a strictly nearer hit replaces the one kept, so a mesh need
        // not look beyond it.
        Collider::Approach approached;
        if (collider == nullptr || !collider->approach(Collider::Range::kRay, probe, best, approached)) {
            continue;
        }
        if (hit == nullptr) {
            if (collider->intersect(Collider::Range::kRay, probe, approached, nullptr)) {
                return true;
            }
            continue;
        }
        geometry::PickResult scratch;
        if (collider->intersect(Collider::Range::kRay, probe, approached, &scratch, best) &&
            scratch.distance < best) {
            best = scratch.distance;
            hit->point = matrix.transformPoint(scratch.point);
            hit->normal = scratch.normal;
            hit->distance = scratch.distance;
            hit->model = this;
            hit->mesh = mesh.get();
        }
    }
    return best < std::numeric_limits<float>::infinity();
}

bool Model::updateBounds(bool recomputeMeshes) {
    if (recomputeMeshes) {
        for (const object::Pointer<Mesh>& mesh : mMeshes) {
            mesh->updateBounds();
        }
    }
    fitBounds();
    return true;
}

bool Model::createColliders(bool force) {
    for (const object::Pointer<Mesh>& mesh : mMeshes) {
        if (force || mesh->getCollider() == nullptr) {
            mesh->createCollider();
        }
        geometry::MeshCollider3<float>* collider = mesh->getCollider();
        if (collider != nullptr && !collider->isBuilt()) {
            collider->build();
        }
    }
    return true;
}

bool Model::optimise() {
    return false;
}

void Model::clear() {
    mParameterFormat.clear();
    mMatrixOffset = -1;
    mJoints.clear();
    mAnimations.clear();
    mMeshes.clear();
    mBounds = geometry::OrientedBox();
    mRenderStream.reset();
    mCompiled = false;
}

bool Model::addMesh(Mesh* mesh) {
    if (mesh == nullptr) {
        return false;
    }
    mMeshes.add(object::Pointer<Mesh>(mesh));
    return true;
}

void Model::setParameterFormat(const ParameterFormat& format) {
    mParameterFormat = format;
    mMatrixOffset = findMatrixOffset(mParameterFormat);
}

bool Model::addAnimation(Animation* animation) {
    if (animation == nullptr) {
        return false;
    }
    mAnimations.add(object::Pointer<Animation>(animation));
    return true;
}

bool Model::readMatrix(const ParameterBuffer& parameters, math::Matrix4<float>& matrix) const noexcept {
    if (!holdsMatrix(mMatrixOffset, parameters.getSize())) {
        return false;
    }
    float elements[16];
    std::memcpy(elements, parameters.getData() + mMatrixOffset, kMatrixSize);
    matrix = math::Matrix4<float>(elements);
    return true;
}

bool Model::writeMatrix(ParameterBuffer& parameters, const math::Matrix4<float>& matrix) const noexcept {
    if (!holdsMatrix(mMatrixOffset, parameters.getSize())) {
        return false;
    }
    std::memcpy(parameters.getData() + mMatrixOffset, matrix.getElements(), kMatrixSize);
    return true;
}

void Model::fitBounds() noexcept {
    geometry::BoundingBox<float> box;
    bool empty = true;
    for (const object::Pointer<Mesh>& mesh : mMeshes) {
        takeCorners(mesh->getBounds(), box, empty);
    }
    mBounds = empty ? geometry::OrientedBox() : geometry::OrientedBox(box);
}

void Model::setMeshes(container::Array<object::Pointer<Mesh>>&& meshes) noexcept {
    mMeshes = std::move(meshes);
}

}  // namespace nevrik::graphics3d
