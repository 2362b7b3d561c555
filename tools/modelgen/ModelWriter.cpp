#include "modelgen/ModelWriter.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

namespace nevrik::modelgen {

namespace {

enum ChunkId : std::uint16_t {
    kColourBytes = 0x0011,
    kLinearColourBytes = 0x0012,
    kPercentage = 0x0030,
    kVersion = 0x0002,
    kMasterScale = 0x0100,
    kMain = 0x4D4D,
    kEditor = 0x3D3D,
    kMeshVersion = 0x3D3E,
    kNamedObject = 0x4000,
    kTriangleMesh = 0x4100,
    kVertexList = 0x4110,
    kFaceList = 0x4120,
    kFaceMaterialGroup = 0x4130,
    kTexCoordList = 0x4140,
    kLocalAxes = 0x4160,
    kMaterialEntry = 0xAFFF,
    kMaterialName = 0xA000,
    kAmbient = 0xA010,
    kDiffuse = 0xA020,
    kSpecular = 0xA030,
    kShininess = 0xA040,
    kTransparency = 0xA050,
    kTextureMap = 0xA200,
    kMapFileName = 0xA300,
};

constexpr std::uint32_t kFormatVersion = 3;
constexpr std::uint16_t kAllEdgesVisible = 0x0007;
constexpr std::uint16_t kFullStrength = 100;
constexpr std::uint32_t kUnmapped = std::numeric_limits<std::uint32_t>::max();

void writeColour(ChunkWriter& out, std::uint16_t id, const Material::Rgb& rgb) {
    auto bytes = [&] {
        for (std::uint8_t channel : rgb) {
            out.putU8(channel);
        }
    };
    // Editors write the gamma-corrected colour and then the linear one; readers take
    // the first they understand.
    out.chunk(id, [&] {
        out.chunk(kColourBytes, bytes);
        out.chunk(kLinearColourBytes, bytes);
    });
}

void writePercentage(ChunkWriter& out, std::uint16_t id, std::uint16_t percent) {
    out.chunk(id, [&] { out.chunk(kPercentage, [&] { out.putU16(percent); }); });
}

}  // namespace

ModelWriter::ModelWriter(std::vector<Material> materials, const std::vector<MeshPart>& parts)
    : mMaterials(std::move(materials)) {
    for (const MeshPart& part : parts) {
        for (const MeshTriangle& t : part.triangles) {
            if (t.material < 0 || static_cast<std::size_t>(t.material) >= mMaterials.size()) {
                throw std::invalid_argument("ModelWriter: part " + part.name + " uses an unknown material");
            }
        }
        split(part);
    }
}

std::size_t ModelWriter::getTriangleCount() const noexcept {
    std::size_t count = 0;
    for (const MeshPart& object : mObjects) {
        count += object.triangles.size();
    }
    return count;
}

// Greedy cut in triangle order: the builders emit neighbouring cells one after the
// other, so few vertices are repeated across a cut.
void ModelWriter::split(const MeshPart& part) {
    std::vector<std::uint32_t> mapped(part.vertices.size(), kUnmapped);
    std::vector<std::uint32_t> sources;  // part vertex of each object vertex
    MeshPart object;
    int pieces = 0;
    auto flush = [&] {
        if (object.triangles.empty()) {
            return;
        }
        ++pieces;
        object.name = pieces == 1 ? part.name : part.name + "_" + std::to_string(pieces);
        mObjects.push_back(std::move(object));
        object = MeshPart{};
        for (std::uint32_t source : sources) {
            mapped[source] = kUnmapped;
        }
        sources.clear();
    };
    for (const MeshTriangle& t : part.triangles) {
        const std::uint32_t corners[3] = {t.a, t.b, t.c};
        std::size_t added = 0;
        for (int i = 0; i < 3; ++i) {
            const bool repeated = std::find(corners, corners + i, corners[i]) != corners + i;
            added += mapped.at(corners[i]) == kUnmapped && !repeated ? 1 : 0;
        }
        if (object.triangles.size() + 1 > kMaxObjectElements || sources.size() + added > kMaxObjectElements) {
            flush();
        }
        MeshTriangle local = t;
        std::uint32_t* localCorners[3] = {&local.a, &local.b, &local.c};
        for (int i = 0; i < 3; ++i) {
            std::uint32_t& slot = mapped[corners[i]];
            if (slot == kUnmapped) {
                slot = static_cast<std::uint32_t>(sources.size());
                sources.push_back(corners[i]);
                object.vertices.push_back(part.vertices[corners[i]]);
            }
            *localCorners[i] = slot;
        }
        object.triangles.push_back(local);
    }
    flush();
}

bool ModelWriter::isTextured(const MeshPart& object) const {
    return std::any_of(object.triangles.begin(), object.triangles.end(),
                       [&](const MeshTriangle& t) { return !mMaterials[t.material].texture.empty(); });
}

ChunkWriter ModelWriter::encode() const {
    ChunkWriter out;
    out.chunk(kMain, [&] {
        out.chunk(kVersion, [&] { out.putU32(kFormatVersion); });
        out.chunk(kEditor, [&] {
            out.chunk(kMeshVersion, [&] { out.putU32(kFormatVersion); });
            for (const Material& material : mMaterials) {
                writeMaterial(out, material);
            }
            out.chunk(kMasterScale, [&] { out.putF32(1.0f); });
            for (const MeshPart& object : mObjects) {
                writeObject(out, object);
            }
        });
    });
    return out;
}

void ModelWriter::writeMaterial(ChunkWriter& out, const Material& material) const {
    out.chunk(kMaterialEntry, [&] {
        out.chunk(kMaterialName, [&] { out.putString(material.name); });
        writeColour(out, kAmbient, material.ambient);
        writeColour(out, kDiffuse, material.diffuse);
        writeColour(out, kSpecular, material.specular);
        writePercentage(out, kShininess, material.shininess);
        writePercentage(out, kTransparency, material.transparency);
        if (!material.texture.empty()) {
            out.chunk(kTextureMap, [&] {
                out.chunk(kPercentage, [&] { out.putU16(kFullStrength); });
                out.chunk(kMapFileName, [&] { out.putString(material.texture); });
            });
        }
    });
}

void ModelWriter::writeObject(ChunkWriter& out, const MeshPart& object) const {
    const auto vertexCount = static_cast<std::uint16_t>(object.vertices.size());
    Vector3 low = object.vertices.front().position;
    Vector3 high = low;
    for (const MeshVertex& v : object.vertices) {
        low = {std::min(low.x, v.position.x), std::min(low.y, v.position.y), std::min(low.z, v.position.z)};
        high = {std::max(high.x, v.position.x), std::max(high.y, v.position.y),
                std::max(high.z, v.position.z)};
    }
    const Vector3 pivot = (low + high) * 0.5f;

    out.chunk(kNamedObject, [&] {
        out.putString(object.name);
        out.chunk(kTriangleMesh, [&] {
            out.chunk(kVertexList, [&] {
                out.putU16(vertexCount);
                for (const MeshVertex& v : object.vertices) {
                    out.putF32(v.position.x);
                    out.putF32(v.position.y);
                    out.putF32(v.position.z);
                }
            });
            if (isTextured(object)) {
                out.chunk(kTexCoordList, [&] {
                    out.putU16(vertexCount);
                    for (const MeshVertex& v : object.vertices) {
                        out.putF32(v.u);
                        out.putF32(v.v);
                    }
                });
            }
            // Vertices are stored in model space already: identity axes, pivot at the
            // object's centre.
            out.chunk(kLocalAxes, [&] {
                const float axes[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, pivot.x, pivot.y, pivot.z};
                for (float value : axes) {
                    out.putF32(value);
                }
            });
            out.chunk(kFaceList, [&] {
                out.putU16(static_cast<std::uint16_t>(object.triangles.size()));
                for (const MeshTriangle& t : object.triangles) {
                    out.putU16(static_cast<std::uint16_t>(t.a));
                    out.putU16(static_cast<std::uint16_t>(t.b));
                    out.putU16(static_cast<std::uint16_t>(t.c));
                    out.putU16(kAllEdgesVisible);
                }
                for (std::size_t m = 0; m < mMaterials.size(); ++m) {
                    std::vector<std::uint16_t> faces;
                    for (std::size_t f = 0; f < object.triangles.size(); ++f) {
                        if (static_cast<std::size_t>(object.triangles[f].material) == m) {
                            faces.push_back(static_cast<std::uint16_t>(f));
                        }
                    }
                    if (faces.empty()) {
                        continue;
                    }
                    out.chunk(kFaceMaterialGroup, [&] {
                        out.putString(mMaterials[m].name);
                        out.putU16(static_cast<std::uint16_t>(faces.size()));
                        for (std::uint16_t face : faces) {
                            out.putU16(face);
                        }
                    });
                }
            });
        });
    });
}

}  // namespace nevrik::modelgen
