#pragma once

// The body shared by the model fuzz targets: read the input from memory with
// one translator that lives across inputs, so that a read after a failed one
// is exercised too. Refusals are expected; anything else escaping, a model
// whose faces name vertices outside their buffer, or a collider whose
// hierarchy answers a ray otherwise than its per-triangle loop, is a finding.
//
// No GL context is made: buffers fall back to client memory, and every file
// a model names resolves through a file factory that has no files, so no
// picture is ever decoded here (the image fuzzers cover the decoders).

#include "graphics/MemoryStream.h"
#include "nevrik/geometry/MeshCollider3.h"
#include "nevrik/geometry/PickResult.h"
#include "nevrik/geometry/Ray.h"
#include "nevrik/graphics3d/core/BufferLock.h"
#include "nevrik/graphics3d/core/IndexMesh.h"
#include "nevrik/graphics3d/core/Model.h"
#include "nevrik/graphics3d/loading/ModelTranslator.h"
#include "nevrik/graphics3d/loading/TextureManager.h"
#include "nevrik/io/DirectoryNotFoundException.h"
#include "nevrik/io/FileFactory.h"
#include "nevrik/io/TranslatorException.h"
#include "nevrik/math/Matrix4.h"
#include "nevrik/object/Pointer.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace nevrik::fuzz {

class NoFiles : public io::FileFactory {
public:
    bool exists(const types::String&) override { return false; }
    object::Pointer<io::File> create(const types::String&) override { return nullptr; }
    object::Pointer<io::File> open(const types::String&, std::uint32_t) override { return nullptr; }
    object::Pointer<io::Directory> getDirectory() override { throw io::DirectoryNotFoundException(); }
};

// A translator of type T made once, its files through NoFiles.
template <class T>
T& modelTranslator() {
    static T* sTranslator = [] {
        auto* made = new T();
        made->setTextureManager(
            object::make<graphics3d::TextureManager>(object::make<NoFiles>().get()).get());
        return made;
    }();
    return *sTranslator;
}

inline bool sameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Builds the model's colliders and casts rays through its bounds: hostile
// geometry (non-finite, degenerate or stacked triangles) must neither crash
// nor hang the hierarchies, and each must answer as its per-triangle loop.
inline void pickModel(graphics3d::Model& model) {
    model.createColliders(true);
    const math::Matrix4<float> identity;
    const math::Vector3<float> centre = model.getBounds().getCentre();
    for (const math::Vector3<float>& direction :
         {math::Vector3<float>(0, 0, -1), math::Vector3<float>(0.3f, -1, 0.2f),
          math::Vector3<float>(1, 0, 0)}) {
        const geometry::Ray ray(centre - direction * 1000.0f, direction);
        geometry::PickResult result;
        model.intersect(identity, identity, ray, &result);
        for (const object::Pointer<graphics3d::Mesh>& mesh : model.getMeshes()) {
            const geometry::MeshCollider3<float>* collider = mesh->getCollider();
            geometry::PickResult walked;
            geometry::PickResult looped;
            if (collider != nullptr && (collider->intersectRay(ray, &walked) !=
                                            collider->intersectReference(
                                                geometry::MeshCollider3<float>::Range::kRay, ray, &looped) ||
                                        !sameBits(walked.distance, looped.distance))) {
                std::abort();
            }
        }
    }
}

// Every index a mesh draws must name a vertex of its buffer.
inline void checkMesh(graphics3d::IndexMesh& mesh) {
    graphics3d::IndexBuffer& indices = *mesh.getIndexBuffer();
    graphics3d::VertexBuffer& vertices = *mesh.getVertexBuffer(0);
    graphics3d::BufferLock<graphics3d::IndexBuffer> lock(indices, graphics3d::VertexBuffer::kRead);
    if (!lock.isLocked() || mesh.getRangeEnd() > indices.getIndexCount()) {
        std::abort();
    }
    for (std::uint32_t i = mesh.getRangeStart(); i < mesh.getRangeEnd(); ++i) {
        if (indices.getIndex(i) >= vertices.getVertexCount()) {
            std::abort();
        }
    }
}

inline int readModel(graphics3d::ModelTranslator& translator, const std::uint8_t* data, std::size_t size) {
    testing::MemoryStream stream(data, size);
    try {
        const object::Pointer<graphics3d::Model> model = translator.read(stream, stream.available());
        if (model) {
            for (const object::Pointer<graphics3d::Mesh>& mesh : model->getMeshes()) {
                checkMesh(dynamic_cast<graphics3d::IndexMesh&>(*mesh));
            }
            pickModel(*model);
        }
    } catch (const io::TranslatorException&) {
    }
    return 0;
}

}  // namespace nevrik::fuzz
