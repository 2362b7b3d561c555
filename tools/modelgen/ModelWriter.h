#pragma once

#include "modelgen/ChunkWriter.h"
#include "modelgen/Material.h"
#include "modelgen/MeshPart.h"

#include <cstddef>
#include <vector>

namespace nevrik::modelgen {

/// Lays out materials and parts as a 3DS file: a main chunk holding an editor chunk
/// with every material first (so face groups find them), then one named triangle-mesh
/// object per part.
///
/// The format counts vertices and faces of an object in 16 bits, so a part that
/// exceeds kMaxObjectElements of either is cut into several objects, "name",
/// "name_2", ... Owned by value by the program; single-threaded.
class ModelWriter {
public:
    static constexpr std::size_t kMaxObjectElements = 65535;

    /// Throws std::invalid_argument when a triangle names a material that is not listed.
    ModelWriter(std::vector<Material> materials, const std::vector<MeshPart>& parts);

    /// The objects as they go into the file, after cutting.
    const std::vector<MeshPart>& getObjects() const noexcept { return mObjects; }
    std::size_t getTriangleCount() const noexcept;

    ChunkWriter encode() const;

private:
    void split(const MeshPart& part);
    bool isTextured(const MeshPart& object) const;
    void writeMaterial(ChunkWriter& out, const Material& material) const;
    void writeObject(ChunkWriter& out, const MeshPart& object) const;

    std::vector<Material> mMaterials;
    std::vector<MeshPart> mObjects;
};

}  // namespace nevrik::modelgen
