#include "nevrik/graphics3d/loading/TranslatorOBJ.h"

#include "nevrik/graphics3d/building/StaticModel.h"
#include "nevrik/graphics3d/core/ColourMaterial.h"
#include "nevrik/graphics3d/core/IndexBuffer.h"
#include "nevrik/graphics3d/core/IndexMesh.h"
#include "nevrik/graphics3d/core/TypeWord.h"
#include "nevrik/graphics3d/core/VertexFormat.h"
#include "nevrik/graphics3d/loading/TextureManager.h"
#include "nevrik/graphics3d/loading/detail/BufferFill.h"
#include "nevrik/graphics3d/loading/detail/ReadBytes.h"
#include "nevrik/graphics3d/loading/detail/SmoothNormals.h"
#include "nevrik/io/File.h"
#include "nevrik/io/InputStream.h"
#include "nevrik/io/TranslatorFormatException.h"
#include "nevrik/io/TranslatorMemoryException.h"

#include <GL/glew.h>
#include <tiny_obj_loader.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace nevrik::graphics3d {
namespace {

// Material libraries through the translator's file lookup: base names in
// its folder only. A library that cannot be had leaves its materials out.
class MaterialLibraries : public tinyobj::MaterialReader {
public:
    using Missing = std::function<void(const std::string& name, const char* reason)>;

    MaterialLibraries(TextureManager& textures, Missing missing)
        : mTextures(textures), mMissing(std::move(missing)) {}

    bool operator()(const std::string& name, std::vector<tinyobj::material_t>* materials,
                    std::map<std::string, int>* names, std::string* warn, std::string* err) override {
        try {
            TextureFactory& factory = mTextures.getFactory();
            const object::Pointer<io::File> file =
                factory.getFiles().open(factory.findFile(types::String(name.c_str())), io::File::kRead);
            std::istringstream text(
                detail::readBytes(file->getInputStream(), file->getInputStream().available()));
            tinyobj::LoadMtl(names, materials, &text, warn, err);
            return true;
        } catch (const std::exception& e) {
            mMissing(name, e.what());
            return false;
        }
    }

private:
    TextureManager& mTextures;
    Missing mMissing;
};

// The parser drops the backslashes of library names ("..\\lib\\a.mtl"
// would become "..liba.mtl"); as slashes they keep the base name apart.
std::string libraryNamesWithSlashes(std::string text) {
    std::size_t line = 0;
    while (line < text.size()) {
        const std::size_t end = std::min(text.find('\n', line), text.size());
        const std::size_t start = text.find_first_not_of(" \t", line);
        if (start < end && text.compare(start, 6, "mtllib") == 0) {
            std::replace(text.begin() + static_cast<std::ptrdiff_t>(start),
                         text.begin() + static_cast<std::ptrdiff_t>(end), '\\', '/');
        }
        line = end + 1;
    }
    return text;
}

[[noreturn]] void refuse(const std::string& what) {
    throw io::TranslatorFormatException(types::String(("OBJ: " + what).c_str()));
}

// Every index of every face against what it names; the parser leaves
// indices as written.
void checkFaces(const tinyobj::attrib_t& attrib, const std::vector<tinyobj::shape_t>& shapes,
                std::size_t materials) {
    const auto positions = static_cast<int>(attrib.vertices.size() / 3);
    const auto texCoords = static_cast<int>(attrib.texcoords.size() / 2);
    const auto normals = static_cast<int>(attrib.normals.size() / 3);
    for (const tinyobj::shape_t& shape : shapes) {
        const tinyobj::mesh_t& mesh = shape.mesh;
        if (mesh.indices.size() != 3 * mesh.num_face_vertices.size() ||
            mesh.material_ids.size() != mesh.num_face_vertices.size()) {
            refuse("a face of shape \"" + shape.name + "\" is not a triangle");
        }
        for (const tinyobj::index_t& index : mesh.indices) {
            if (index.vertex_index < 0 || index.vertex_index >= positions) {
                refuse("a face names position " + std::to_string(index.vertex_index + 1) + " of " +
                       std::to_string(positions));
            }
            if (index.texcoord_index < -1 || index.texcoord_index >= texCoords) {
                refuse("a face names texture coordinate " + std::to_string(index.texcoord_index + 1) +
                       " of " + std::to_string(texCoords));
            }
            if (index.normal_index < -1 || index.normal_index >= normals) {
                refuse("a face names normal " + std::to_string(index.normal_index + 1) + " of " +
                       std::to_string(normals));
            }
        }
        for (int id : mesh.material_ids) {
            if (id < -1 || id >= static_cast<int>(materials)) {
                refuse("a face names material " + std::to_string(id) + " of " + std::to_string(materials));
            }
        }
    }
}

}  // namespace

TranslatorOBJ::TranslatorOBJ() = default;

TranslatorOBJ::~TranslatorOBJ() = default;

object::Pointer<Model> TranslatorOBJ::read(io::InputStream& stream, std::uint32_t size) {
    clearMissingTextures();
    if (size == kWholeStream) {
        size = stream.available();
    }
    std::istringstream text(libraryNamesWithSlashes(detail::readBytes(stream, size)));
    MaterialLibraries libraries(textureManager(), [this](const std::string& name, const char* reason) {
        recordMissing(types::String(name.c_str()), types::String(reason));
    });
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warnings;
    std::string errors;
    if (!tinyobj::LoadObj(&attrib, &shapes, &materials, &warnings, &errors, &text, &libraries, true, false)) {
        refuse(errors);
    }
    checkFaces(attrib, shapes, materials.size());

    // One vertex for each distinct (position, texture coordinate, normal)
    // a corner names; faces grouped by material, faces of none last.
    std::map<std::tuple<int, int, int>, std::uint32_t> vertexOf;
    std::vector<tinyobj::index_t> vertices;
    std::vector<std::vector<std::uint32_t>> groups(materials.size() + 1);
    bool textured = false;
    for (const tinyobj::shape_t& shape : shapes) {
        for (std::size_t corner = 0; corner < shape.mesh.indices.size(); ++corner) {
            const tinyobj::index_t& index = shape.mesh.indices[corner];
            const auto key = std::make_tuple(index.vertex_index, index.texcoord_index, index.normal_index);
            const auto found = vertexOf.emplace(key, static_cast<std::uint32_t>(vertices.size()));
            if (found.second) {
                vertices.push_back(index);
                textured = textured || index.texcoord_index >= 0;
            }
            const int material = shape.mesh.material_ids[corner / 3];
            groups[material < 0 ? materials.size() : static_cast<std::size_t>(material)].push_back(
                found.first->second);
        }
    }
    if (vertices.empty()) {
        return nullptr;
    }

    // Corners without a normal: the area-weighted normals of the faces
    // around their vertex.
    std::vector<float> positions(vertices.size() * 3);
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        std::copy_n(&attrib.vertices[3 * vertices[i].vertex_index], 3, &positions[3 * i]);
    }
    std::vector<std::uint32_t> corners;
    for (const std::vector<std::uint32_t>& group : groups) {
        corners.insert(corners.end(), group.begin(), group.end());
    }
    const std::vector<float> normals = detail::smoothNormalSums(positions, corners);

    VertexFormat format;
    const int position = format.add(TypeWord::kFloat3, VertexFormat::kPositionArray);
    const int normal = format.add(TypeWord::kFloat3, VertexFormat::kNormalArray);
    const int texCoord = textured ? format.add(TypeWord::kFloat2, VertexFormat::kAllTextureArrays) : -1;
    const auto vertexCount = static_cast<std::uint32_t>(vertices.size());
    auto vertexBuffer = VertexBuffer::create(format, vertexCount, VertexBuffer::kStatic);
    if (!vertexBuffer) {
        throw io::TranslatorMemoryException();
    }
    const std::uint32_t stride = vertexBuffer->getStride();
    detail::fillBuffer(*vertexBuffer, [&](std::uint8_t* data) {
        for (std::size_t i = 0; i < vertices.size(); ++i) {
            std::uint8_t* vertex = data + i * stride;
            const tinyobj::index_t& index = vertices[i];
            detail::storeFloats(vertex + format.getEntry(position)->offset, &positions[3 * i], 3);
            float unit[3];
            detail::unitNormal(
                index.normal_index >= 0 ? &attrib.normals[3 * index.normal_index] : &normals[i * 3], unit);
            detail::storeFloats(vertex + format.getEntry(normal)->offset, unit, 3);
            if (texCoord >= 0) {
                // Pictures are uploaded top row first: v runs the other way.
                const float* given =
                    index.texcoord_index >= 0 ? &attrib.texcoords[2 * index.texcoord_index] : nullptr;
                const float uv[2] = {given ? given[0] : 0.0f, 1.0f - (given ? given[1] : 0.0f)};
                detail::storeFloats(vertex + format.getEntry(texCoord)->offset, uv, 2);
            }
        }
    });

    const object::Pointer<IndexBuffer> indexBuffer = detail::makeIndexBuffer(corners, vertexCount);

    auto model = object::make<StaticModel>();
    std::uint32_t start = 0;
    for (std::size_t id = 0; id < groups.size(); ++id) {
        const auto count = static_cast<std::uint32_t>(groups[id].size());
        if (count == 0) {
            continue;
        }
        object::Pointer<Appearance> appearance;
        if (id == materials.size()) {
            appearance = makeDefaultAppearance(*getPlainShader());
        } else {
            const tinyobj::material_t& source = materials[id];
            appearance = object::make<Appearance>();
            appearance->setName(types::String(source.name.c_str()));
            auto material = object::make<ColourMaterial>();
            const float alpha = std::clamp(source.dissolve, 0.0f, 1.0f);
            const auto setColour = [&](ColourMaterial::Colour which, const float* rgb) {
                material->setColour(which, rgb[0], rgb[1], rgb[2], alpha);
            };
            setColour(ColourMaterial::kAmbient, source.ambient);
            setColour(ColourMaterial::kDiffuse, source.diffuse);
            setColour(ColourMaterial::kSpecular, source.specular);
            setColour(ColourMaterial::kEmission, source.emission);
            material->setShininess(std::clamp(source.shininess, 0.0f, 128.0f));
            appearance->setMaterial(material.get());
            object::Pointer<Texture> texture;
            if (!source.diffuse_texname.empty()) {
                texture = loadTexture(types::String(source.diffuse_texname.c_str()));
            }
            if (texture) {
                texture->setFilter(kMinFilter, kMagFilter);
                appearance->setTexture(0, texture.get());
            }
            setSharedStates(*appearance, alpha < 1.0f);
        }
        auto mesh = object::make<IndexMesh>();
        mesh->setAppearance(appearance.get());
        mesh->setPrimitive(GL_TRIANGLES);
        mesh->setVertexBuffer(vertexBuffer.get(), 0);
        mesh->setIndexBuffer(indexBuffer.get());
        mesh->setRange(start, start + count);
        mesh->updateBounds();
        model->addMesh(mesh.get());
        start += count;
    }
    model->complete();
    return model;
}

bool TranslatorOBJ::write(io::OutputStream&, Model&) {
    return false;
}

bool TranslatorOBJ::probe(io::File& file) {
    try {
        const std::int32_t position = file.getPosition();
        char sample[kProbeBytes] = {};
        const std::int32_t got = file.getInputStream().read(sample, kProbeBytes);
        file.seek(position, io::File::kBegin);
        if (got <= 0) {
            return false;
        }
        const std::string text(sample, static_cast<std::size_t>(got));
        if (std::any_of(text.begin(), text.end(), [](char c) {
                return !std::isprint(static_cast<unsigned char>(c)) &&
                       !std::isspace(static_cast<unsigned char>(c));
            })) {
            return false;
        }
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line)) {
            std::istringstream words(line);
            std::string first;
            if (!(words >> first) || first[0] == '#') {
                continue;
            }
            static const char* const kStatements[] = {"v", "vt",     "vn",     "f", "o", "g",
                                                      "s", "mtllib", "usemtl", "l", "p"};
            return std::any_of(std::begin(kStatements), std::end(kStatements),
                               [&](const char* statement) { return first == statement; });
        }
        return false;
    } catch (...) {
        return false;
    }
}

}  // namespace nevrik::graphics3d
