#include "nevrik/graphics3d/loading/TranslatorGLTF.h"

#include "nevrik/graphics3d/building/StaticModel.h"
#include "nevrik/graphics3d/core/ColourMaterial.h"
#include "nevrik/graphics3d/core/IndexBuffer.h"
#include "nevrik/graphics3d/core/IndexMesh.h"
#include "nevrik/graphics3d/core/TypeWord.h"
#include "nevrik/graphics3d/core/VertexBuffer.h"
#include "nevrik/graphics3d/core/VertexFormat.h"
#include "nevrik/graphics3d/loading/TextureManager.h"
#include "nevrik/graphics3d/loading/detail/BufferFill.h"
#include "nevrik/graphics3d/loading/detail/ReadBytes.h"
#include "nevrik/graphics3d/loading/detail/SmoothNormals.h"
#include "nevrik/io/File.h"
#include "nevrik/io/InputStream.h"
#include "nevrik/io/MemoryFile.h"
#include "nevrik/io/TranslatorFormatException.h"
#include "nevrik/io/TranslatorMemoryException.h"

#include <GL/glew.h>
#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <map>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

namespace nevrik::graphics3d {
namespace {

constexpr char kMagic[] = "glTF";
constexpr std::uint32_t kBinaryVersion = 2;
constexpr std::uint32_t kJsonChunk = 0x4E4F534A;  // "JSON"
constexpr std::size_t kHeaderBytes = 12;
constexpr std::size_t kChunkHeaderBytes = 8;
// The extensions a file may require: quantized attributes are read like any.
constexpr const char* kKnownExtensions[] = {"KHR_mesh_quantization"};
constexpr std::size_t kMaxMessage = 240;
constexpr std::uint64_t kMaxIndices = 3 * std::uint64_t{TranslatorGLTF::kMaxVertices};

[[noreturn]] void refuse(const std::string& what) {
    throw io::TranslatorFormatException(types::String(what.c_str()));
}

// Runs `step`, naming `where` in the context of any exception it throws.
template <class Step>
auto within(const std::string& where, const Step& step) {
    try {
        return step();
    } catch (object::Exception& error) {
        error.addContext(types::String(where.c_str()));
        throw;
    }
}

std::string numbered(const char* what, std::size_t index) {
    return std::string(what) + " " + std::to_string(index);
}

std::uint32_t u32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

// Binary glTF: the header's length, once it and the chunks it lists are
// checked against the data (the parser trusts the binary chunk's length).
std::uint32_t checkBinary(const std::string& bytes) {
    if (bytes.size() < kHeaderBytes + kChunkHeaderBytes) {
        refuse("binary glTF of " + std::to_string(bytes.size()) + " bytes has no header");
    }
    if (u32(bytes, 4) != kBinaryVersion) {
        refuse("binary glTF version " + std::to_string(u32(bytes, 4)));
    }
    const std::uint32_t length = u32(bytes, 8);
    if (length > bytes.size()) {
        refuse("binary glTF of " + std::to_string(bytes.size()) + " bytes says " + std::to_string(length));
    }
    if (u32(bytes, 16) != kJsonChunk) {
        refuse("the first chunk is not JSON");
    }
    const std::uint64_t jsonEnd = kHeaderBytes + kChunkHeaderBytes + std::uint64_t{u32(bytes, 12)};
    if (jsonEnd > length) {
        refuse("the JSON chunk runs past the file's " + std::to_string(length) + " bytes");
    }
    if (jsonEnd < length &&
        (jsonEnd + kChunkHeaderBytes > length ||
         jsonEnd + kChunkHeaderBytes + u32(bytes, static_cast<std::size_t>(jsonEnd)) > length)) {
        refuse("the binary chunk runs past the file's " + std::to_string(length) + " bytes");
    }
    return length;
}

// The closing quote of the string whose body starts at `at`, or `size`
// when the text ends first. Buffers in data URIs make strings of megabytes:
// quotes are looked for a block at a time.
std::size_t stringEnd(const char* text, std::size_t size, std::size_t at) noexcept {
    while (at < size) {
        const void* quote = std::memchr(text + at, '"', size - at);
        if (quote == nullptr) {
            return size;
        }
        const auto end = static_cast<std::size_t>(static_cast<const char*>(quote) - text);
        std::size_t escapes = 0;
        while (end - escapes > at && text[end - escapes - 1] == '\\') {
            ++escapes;
        }
        if (escapes % 2 == 0) {
            return end;
        }
        at = end + 1;
    }
    return size;
}

// The parser recurses on nesting, so a file of brackets could exhaust the
// stack: nesting deeper than the limit is refused before it is parsed.
void checkNesting(const char* text, std::size_t size) {
    int depth = 0;
    for (std::size_t at = 0; at < size; ++at) {
        if (text[at] == '"') {
            at = stringEnd(text, size, at + 1);
        } else if (text[at] == '{' || text[at] == '[') {
            if (++depth > TranslatorGLTF::kMaxNesting) {
                refuse("JSON nested deeper than " + std::to_string(TranslatorGLTF::kMaxNesting));
            }
        } else if (text[at] == '}' || text[at] == ']') {
            --depth;
        }
    }
}

// Whether `text` opens a JSON object whose "asset" object has a "version"
// string starting "2." before the text ends.
bool hasVersion2Asset(const char* text, std::size_t size) {
    std::size_t at = 0;
    if (size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) {
        at = 3;
    }
    while (at < size && std::strchr(" \t\r\n", text[at]) != nullptr && text[at] != '\0') {
        ++at;
    }
    if (at == size || text[at] != '{') {
        return false;
    }
    int depth = 0;
    bool inAsset = false;
    std::string key;
    std::string last;
    for (; at < size; ++at) {
        const char c = text[at];
        if (c == '"') {
            const std::size_t end = stringEnd(text, size, at + 1);
            if (end == size) {
                return false;
            }
            last.assign(text + at + 1, end - at - 1);
            if (inAsset && depth == 2 && key == "version") {
                return last.compare(0, 2, "2.") == 0;
            }
            at = end;
        } else if (c == ':') {
            key = last;
        } else if (c == '{' || c == '[') {
            ++depth;
            inAsset = inAsset || (depth == 2 && c == '{' && key == "asset");
            key.clear();
        } else if (c == '}' || c == ']') {
            if (inAsset && depth == 2) {
                return false;
            }
            --depth;
        } else if (c == ',') {
            key.clear();
        }
    }
    return false;
}

// A column-major 4 x 4 matrix of doubles.
struct Transform {
    double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    Transform operator*(const Transform& other) const noexcept {
        Transform product;
        for (int column = 0; column < 4; ++column) {
            for (int row = 0; row < 4; ++row) {
                double sum = 0.0;
                for (int k = 0; k < 4; ++k) {
                    sum += m[k * 4 + row] * other.m[column * 4 + k];
                }
                product.m[column * 4 + row] = sum;
            }
        }
        return product;
    }
    double at(int row, int column) const noexcept { return m[column * 4 + row]; }

    // The upper 3 x 3 part's cofactors, signed so that they map normals to
    // normals: the inverse transpose up to a positive factor.
    Transform normalMatrix() const noexcept {
        Transform normals;
        const double sign = determinant() < 0.0 ? -1.0 : 1.0;
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                const int r0 = (row + 1) % 3, r1 = (row + 2) % 3;
                const int c0 = (column + 1) % 3, c1 = (column + 2) % 3;
                normals.m[column * 4 + row] = sign * (at(r0, c0) * at(r1, c1) - at(r0, c1) * at(r1, c0));
            }
        }
        return normals;
    }
    double determinant() const noexcept {
        return at(0, 0) * (at(1, 1) * at(2, 2) - at(1, 2) * at(2, 1)) -
               at(0, 1) * (at(1, 0) * at(2, 2) - at(1, 2) * at(2, 0)) +
               at(0, 2) * (at(1, 0) * at(2, 1) - at(1, 1) * at(2, 0));
    }
    void apply(const float* in, float* out, double w) const noexcept {
        for (int row = 0; row < 3; ++row) {
            out[row] = static_cast<float>(at(row, 0) * in[0] + at(row, 1) * in[1] + at(row, 2) * in[2] +
                                          at(row, 3) * w);
        }
    }
};

// `values` must have `count` numbers when it has any.
const std::vector<double>& checkedLength(const std::vector<double>& values, std::size_t count,
                                         const char* what) {
    if (!values.empty() && values.size() != count) {
        refuse(std::string(what) + " of " + std::to_string(values.size()) + " numbers");
    }
    return values;
}

// A node's own transform: its matrix, or translation * rotation * scale.
Transform localTransform(const tinygltf::Node& node) {
    Transform local;
    if (!checkedLength(node.matrix, 16, "matrix").empty()) {
        std::copy(node.matrix.begin(), node.matrix.end(), local.m);
        return local;
    }
    const std::vector<double>& t = checkedLength(node.translation, 3, "translation");
    const std::vector<double>& r = checkedLength(node.rotation, 4, "rotation");
    const std::vector<double>& s = checkedLength(node.scale, 3, "scale");
    if (!r.empty()) {
        const double length = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2] + r[3] * r[3]);
        if (length > 0.0) {
            const double x = r[0] / length, y = r[1] / length, z = r[2] / length, w = r[3] / length;
            const double rotation[9] = {
                1 - 2 * (y * y + z * z), 2 * (x * y + z * w),     2 * (x * z - y * w),
                2 * (x * y - z * w),     1 - 2 * (x * x + z * z), 2 * (y * z + x * w),
                2 * (x * z + y * w),     2 * (y * z - x * w),     1 - 2 * (x * x + y * y)};
            for (int column = 0; column < 3; ++column) {
                for (int row = 0; row < 3; ++row) {
                    local.m[column * 4 + row] = rotation[column * 3 + row];
                }
            }
        }
    }
    for (int column = 0; column < 3 && !s.empty(); ++column) {
        for (int row = 0; row < 3; ++row) {
            local.m[column * 4 + row] *= s[static_cast<std::size_t>(column)];
        }
    }
    for (int row = 0; row < 3 && !t.empty(); ++row) {
        local.m[12 + row] = t[static_cast<std::size_t>(row)];
    }
    return local;
}

int componentsOf(int type) noexcept {
    switch (type) {
        case TINYGLTF_TYPE_SCALAR:
            return 1;
        case TINYGLTF_TYPE_VEC2:
            return 2;
        case TINYGLTF_TYPE_VEC3:
            return 3;
        case TINYGLTF_TYPE_VEC4:
            return 4;
        default:
            return 0;
    }
}

// The bytes of one component; 0 for types glTF accessors do not have.
std::size_t sizeOf(int componentType) noexcept {
    switch (componentType) {
        case TINYGLTF_COMPONENT_TYPE_BYTE:
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
            return 1;
        case TINYGLTF_COMPONENT_TYPE_SHORT:
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
            return 2;
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
        case TINYGLTF_COMPONENT_TYPE_FLOAT:
            return 4;
        default:
            return 0;
    }
}

template <class T>
T load(const std::uint8_t* at) noexcept {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// An unsigned component as an index; others are refused before.
std::uint32_t indexAt(const std::uint8_t* at, int componentType) noexcept {
    switch (componentType) {
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
            return *at;
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
            return load<std::uint16_t>(at);
        default:
            return load<std::uint32_t>(at);
    }
}

// A component as a float; normalized integers map to [0, 1] or [-1, 1].
float floatAt(const std::uint8_t* at, int componentType, bool normalized) noexcept {
    switch (componentType) {
        case TINYGLTF_COMPONENT_TYPE_FLOAT:
            return load<float>(at);
        case TINYGLTF_COMPONENT_TYPE_BYTE: {
            const float value = static_cast<std::int8_t>(*at);
            return normalized ? std::max(value / 127.0f, -1.0f) : value;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
            return normalized ? *at / 255.0f : *at;
        case TINYGLTF_COMPONENT_TYPE_SHORT: {
            const float value = load<std::int16_t>(at);
            return normalized ? std::max(value / 32767.0f, -1.0f) : value;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
            return normalized ? load<std::uint16_t>(at) / 65535.0f : load<std::uint16_t>(at);
        default:
            return static_cast<float>(normalized ? load<std::uint32_t>(at) / 4294967295.0
                                                 : load<std::uint32_t>(at));
    }
}

bool isUnsigned(int componentType) noexcept {
    return componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE ||
           componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT ||
           componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
}

// Triangle lists from the corners of `mode`; a list's stray corners are
// dropped. Strips keep every triangle's winding.
std::vector<std::uint32_t> triangleList(int mode, std::vector<std::uint32_t> corners) {
    if (mode == TINYGLTF_MODE_TRIANGLES) {
        corners.resize(corners.size() / 3 * 3);
        return corners;
    }
    std::vector<std::uint32_t> list;
    for (std::size_t i = 2; i < corners.size(); ++i) {
        if (mode == TINYGLTF_MODE_TRIANGLE_FAN) {
            list.insert(list.end(), {corners[0], corners[i - 1], corners[i]});
        } else if (i % 2 == 0) {
            list.insert(list.end(), {corners[i - 2], corners[i - 1], corners[i]});
        } else {
            list.insert(list.end(), {corners[i - 1], corners[i - 2], corners[i]});
        }
    }
    return list;
}

}  // namespace

// One file being read: the parsed glTF, the checks of what it names and
// the model built from it.
class TranslatorGLTF::Reading {
public:
    explicit Reading(TranslatorGLTF& translator)
        : mTranslator(translator), mFactory(translator.textureManager().getFactory()) {}

    void parse(const std::string& bytes) {
        tinygltf::TinyGLTF parser;
        parser.SetFsCallbacks({&fileExists, &samePath, &readWholeFile, nullptr, this});
        parser.SetImageLoader(&keepPicture, this);
        std::string errors;
        std::string warnings;
        bool parsed = false;
        try {
            if (bytes.compare(0, 4, kMagic) == 0) {
                const std::uint32_t length = checkBinary(bytes);
                checkNesting(bytes.data() + kHeaderBytes + kChunkHeaderBytes, u32(bytes, 12));
                parsed = parser.LoadBinaryFromMemory(
                    &mGltf, &errors, &warnings, reinterpret_cast<const unsigned char*>(bytes.data()), length);
            } else {
                checkNesting(bytes.data(), bytes.size());
                parsed = parser.LoadASCIIFromString(&mGltf, &errors, &warnings, bytes.data(),
                                                    static_cast<unsigned int>(bytes.size()), std::string());
            }
        } catch (const object::Exception&) {
            throw;
        } catch (const std::exception& e) {
            // The parser indexes some arrays with at().
            refuse(e.what());
        }
        if (!parsed) {
            // The parser quotes what it refuses, a data URI of megabytes
            // included.
            errors.erase(std::min(errors.find_last_not_of('\n') + 1, kMaxMessage));
            refuse(errors.empty() ? "the parser refuses the file" : errors);
        }
        for (const std::string& extension : mGltf.extensionsRequired) {
            if (std::find(std::begin(kKnownExtensions), std::end(kKnownExtensions), extension) ==
                std::end(kKnownExtensions)) {
                refuse("the file requires extension " + extension);
            }
        }
    }

    object::Pointer<Model> build() {
        mPictures.assign(mGltf.images.size(), nullptr);
        mDecoded.assign(mGltf.images.size(), false);
        mModel = object::make<StaticModel>();
        std::vector<bool> reached(mGltf.nodes.size(), false);
        // Depth first, by hand: a chain of nodes is as long as the file.
        std::vector<std::pair<int, Transform>> pending;
        const std::vector<int> scene = roots();
        for (auto root = scene.rbegin(); root != scene.rend(); ++root) {
            pending.emplace_back(*root, Transform());
        }
        while (!pending.empty()) {
            const int index = pending.back().first;
            const Transform parent = pending.back().second;
            pending.pop_back();
            if (index < 0 || static_cast<std::size_t>(index) >= mGltf.nodes.size()) {
                refuse(numbered("node", static_cast<std::size_t>(index)) + " of " +
                       std::to_string(mGltf.nodes.size()));
            }
            within(numbered("node", static_cast<std::size_t>(index)), [&] {
                if (reached[static_cast<std::size_t>(index)]) {
                    refuse("reached twice");
                }
                reached[static_cast<std::size_t>(index)] = true;
                const tinygltf::Node& node = mGltf.nodes[static_cast<std::size_t>(index)];
                const Transform world = parent * localTransform(node);
                if (node.mesh >= 0) {
                    addMesh(node.mesh, world);
                }
                for (auto child = node.children.rbegin(); child != node.children.rend(); ++child) {
                    pending.emplace_back(*child, world);
                }
            });
        }
        if (mModel->getMeshes().getCount() == 0) {
            return nullptr;
        }
        mModel->complete();
        return std::move(mModel);
    }

private:
    // The scene's nodes: the default scene's, the first scene's, or with no
    // scene every node that is no other's child.
    std::vector<int> roots() const {
        if (!mGltf.scenes.empty()) {
            const int scene = mGltf.defaultScene >= 0 ? mGltf.defaultScene : 0;
            if (static_cast<std::size_t>(scene) >= mGltf.scenes.size()) {
                refuse(numbered("scene", static_cast<std::size_t>(scene)) + " of " +
                       std::to_string(mGltf.scenes.size()));
            }
            return mGltf.scenes[static_cast<std::size_t>(scene)].nodes;
        }
        std::vector<bool> child(mGltf.nodes.size(), false);
        for (const tinygltf::Node& node : mGltf.nodes) {
            for (int index : node.children) {
                if (index >= 0 && static_cast<std::size_t>(index) < child.size()) {
                    child[static_cast<std::size_t>(index)] = true;
                }
            }
        }
        std::vector<int> roots;
        for (std::size_t index = 0; index < child.size(); ++index) {
            if (!child[index]) {
                roots.push_back(static_cast<int>(index));
            }
        }
        return roots;
    }

    void addMesh(int index, const Transform& world) {
        if (static_cast<std::size_t>(index) >= mGltf.meshes.size()) {
            refuse(numbered("mesh", static_cast<std::size_t>(index)) + " of " +
                   std::to_string(mGltf.meshes.size()));
        }
        const tinygltf::Mesh& mesh = mGltf.meshes[static_cast<std::size_t>(index)];
        for (std::size_t primitive = 0; primitive < mesh.primitives.size(); ++primitive) {
            within(
                numbered("mesh", static_cast<std::size_t>(index)) + " primitive " + std::to_string(primitive),
                [&] { addPrimitive(mesh.primitives[primitive], world); });
        }
    }

    void addPrimitive(const tinygltf::Primitive& primitive, const Transform& world) {
        const int mode = primitive.mode;
        if (mode == TINYGLTF_MODE_POINTS || mode == TINYGLTF_MODE_LINE || mode == TINYGLTF_MODE_LINE_LOOP ||
            mode == TINYGLTF_MODE_LINE_STRIP) {
            return;
        }
        if (mode != TINYGLTF_MODE_TRIANGLES && mode != TINYGLTF_MODE_TRIANGLE_STRIP &&
            mode != TINYGLTF_MODE_TRIANGLE_FAN) {
            refuse("mode " + std::to_string(mode));
        }
        const auto position = primitive.attributes.find("POSITION");
        if (position == primitive.attributes.end()) {
            return;
        }
        const std::size_t vertexCount = accessor(position->second).count;
        if (vertexCount > kMaxVertices - mVertices) {
            refuse("the scene draws more than " + std::to_string(kMaxVertices) + " vertices");
        }
        mVertices += static_cast<std::uint32_t>(vertexCount);
        std::vector<float> positions = readFloats(position->second, {TINYGLTF_TYPE_VEC3});

        std::vector<std::uint32_t> corners;
        if (primitive.indices >= 0) {
            corners = within(numbered("accessor", static_cast<std::size_t>(primitive.indices)),
                             [&] { return readIndices(primitive.indices, vertexCount); });
        } else {
            corners.resize(vertexCount);
            std::iota(corners.begin(), corners.end(), 0u);
        }
        std::vector<std::uint32_t> triangles = triangleList(mode, std::move(corners));
        if (triangles.size() > kMaxIndices - mIndices) {
            refuse("the scene draws more than " + std::to_string(kMaxIndices) + " corners");
        }
        mIndices += triangles.size();
        if (triangles.empty()) {
            return;
        }
        if (world.determinant() < 0.0) {
            // A mirroring transform turns faces inside out: the corners' order
            // turns with it.
            for (std::size_t i = 0; i < triangles.size(); i += 3) {
                std::swap(triangles[i + 1], triangles[i + 2]);
            }
        }

        std::vector<float> normals = attribute(primitive, "NORMAL", vertexCount, {TINYGLTF_TYPE_VEC3});
        std::vector<float> colours =
            attribute(primitive, "COLOR_0", vertexCount, {TINYGLTF_TYPE_VEC3, TINYGLTF_TYPE_VEC4});
        const bool coloured = !colours.empty();
        if (coloured && colours.size() == 3 * vertexCount) {
            std::vector<float> rgba(4 * vertexCount, 1.0f);
            for (std::size_t i = 0; i < vertexCount; ++i) {
                std::copy_n(&colours[3 * i], 3, &rgba[4 * i]);
            }
            colours = std::move(rgba);
        }
        const Look& look = lookOf(primitive.material, coloured);
        for (std::size_t i = 0; i < colours.size(); ++i) {
            colours[i] *= look.factor[i % 4];
        }
        std::vector<float> texCoords;
        if (look.appearance->getTexture(0) != nullptr) {
            texCoords = attribute(primitive, ("TEXCOORD_" + std::to_string(look.texCoordSet)).c_str(),
                                  vertexCount, {TINYGLTF_TYPE_VEC2});
            texCoords.resize(2 * vertexCount, 0.0f);
        }

        for (std::size_t i = 0; i < vertexCount; ++i) {
            const float model[3] = {positions[3 * i], positions[3 * i + 1], positions[3 * i + 2]};
            world.apply(model, &positions[3 * i], 1.0);
        }
        if (normals.empty()) {
            normals = detail::smoothNormalSums(positions, triangles);
        } else {
            const Transform turn = world.normalMatrix();
            for (std::size_t i = 0; i < vertexCount; ++i) {
                const float model[3] = {normals[3 * i], normals[3 * i + 1], normals[3 * i + 2]};
                turn.apply(model, &normals[3 * i], 0.0);
            }
        }

        VertexFormat format;
        const int positionEntry = format.add(TypeWord::kFloat3, VertexFormat::kPositionArray);
        const int normalEntry = format.add(TypeWord::kFloat3, VertexFormat::kNormalArray);
        const int texCoordEntry =
            texCoords.empty() ? -1 : format.add(TypeWord::kFloat2, VertexFormat::kAllTextureArrays);
        const int colourEntry = coloured ? format.add(TypeWord::kFloat4, VertexFormat::kColourArray) : -1;
        auto vertices =
            VertexBuffer::create(format, static_cast<std::uint32_t>(vertexCount), VertexBuffer::kStatic);
        if (!vertices) {
            throw io::TranslatorMemoryException();
        }
        const std::uint32_t stride = vertices->getStride();
        detail::fillBuffer(*vertices, [&](std::uint8_t* data) {
            for (std::size_t i = 0; i < vertexCount; ++i) {
                std::uint8_t* vertex = data + i * stride;
                detail::storeFloats(vertex + format.getEntry(positionEntry)->offset, &positions[3 * i], 3);
                float unit[3];
                detail::unitNormal(&normals[3 * i], unit);
                detail::storeFloats(vertex + format.getEntry(normalEntry)->offset, unit, 3);
                if (texCoordEntry >= 0) {
                    detail::storeFloats(vertex + format.getEntry(texCoordEntry)->offset, &texCoords[2 * i],
                                        2);
                }
                if (colourEntry >= 0) {
                    detail::storeFloats(vertex + format.getEntry(colourEntry)->offset, &colours[4 * i], 4);
                }
            }
        });

        const object::Pointer<IndexBuffer> indices =
            detail::makeIndexBuffer(triangles, static_cast<std::uint32_t>(vertexCount));

        auto mesh = object::make<IndexMesh>();
        mesh->setAppearance(look.appearance.get());
        mesh->setPrimitive(GL_TRIANGLES);
        mesh->setVertexBuffer(vertices.get(), 0);
        mesh->setIndexBuffer(indices.get());
        mesh->setRange(0, static_cast<std::uint32_t>(triangles.size()));
        mesh->updateBounds();
        mModel->addMesh(mesh.get());
    }

    // The appearance of a material, the factor its vertex colours are
    // multiplied by and the set of texture coordinates its texture takes.
    struct Look {
        object::Pointer<Appearance> appearance;
        float factor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        int texCoordSet = 0;
    };

    // Made once a material: the colour material of vertex colours is a
    // copy of its own, since colour tracking overwrites what was applied.
    const Look& lookOf(int material, bool coloured) {
        Look& look = mLooks[{material, coloured}];
        if (look.appearance) {
            return look;
        }
        Shader& plain = coloured ? static_cast<Shader&>(*mTranslator.getColourShader())
                                 : static_cast<Shader&>(*mTranslator.getPlainShader());
        if (material < 0) {
            look.appearance = makeDefaultAppearance(plain);
            return look;
        }
        if (static_cast<std::size_t>(material) >= mGltf.materials.size()) {
            refuse(numbered("material", static_cast<std::size_t>(material)) + " of " +
                   std::to_string(mGltf.materials.size()));
        }
        within(numbered("material", static_cast<std::size_t>(material)), [&] {
            const tinygltf::Material& source = mGltf.materials[static_cast<std::size_t>(material)];
            const tinygltf::PbrMetallicRoughness& pbr = source.pbrMetallicRoughness;
            const std::vector<double>& base = checkedLength(pbr.baseColorFactor, 4, "base colour");
            const std::vector<double>& glow = checkedLength(source.emissiveFactor, 3, "emission");
            const bool opaque = source.alphaMode != "BLEND" && source.alphaMode != "MASK";
            for (std::size_t k = 0; k < base.size(); ++k) {
                look.factor[k] = static_cast<float>(base[k]);
            }
            if (opaque) {
                look.factor[3] = 1.0f;
            }
            const float* rgba = look.factor;
            auto colours = object::make<ColourMaterial>();
            colours->setColour(ColourMaterial::kAmbient, rgba[0], rgba[1], rgba[2], rgba[3]);
            colours->setColour(ColourMaterial::kDiffuse, rgba[0], rgba[1], rgba[2], rgba[3]);
            colours->setColour(ColourMaterial::kSpecular, 0.0f, 0.0f, 0.0f, rgba[3]);
            colours->setColour(ColourMaterial::kEmission, glow.empty() ? 0.0f : static_cast<float>(glow[0]),
                               glow.empty() ? 0.0f : static_cast<float>(glow[1]),
                               glow.empty() ? 0.0f : static_cast<float>(glow[2]), rgba[3]);
            look.appearance = object::make<Appearance>();
            look.appearance->setName(types::String(source.name.c_str()));
            look.appearance->setMaterial(colours.get());
            if (const object::Pointer<Texture> texture = textureOf(pbr.baseColorTexture.index)) {
                look.appearance->setTexture(0, texture.get());
                look.texCoordSet = std::max(pbr.baseColorTexture.texCoord, 0);
            }
            mTranslator.setSharedStates(*look.appearance, source.alphaMode == "BLEND", coloured);
            if (source.alphaMode == "MASK") {
                auto mask = object::make<BlendMode>();
                mask->setAlphaTest(GL_GEQUAL, static_cast<float>(source.alphaCutoff));
                look.appearance->setBlendMode(mask.get());
            }
            if (source.doubleSided) {
                look.appearance->setPolygonMode(mTranslator.mDoubleSided.get());
            }
        });
        return look;
    }

    object::Pointer<Texture> textureOf(int index) {
        if (index < 0) {
            return nullptr;
        }
        if (static_cast<std::size_t>(index) >= mGltf.textures.size()) {
            refuse(numbered("texture", static_cast<std::size_t>(index)) + " of " +
                   std::to_string(mGltf.textures.size()));
        }
        // A texture whose picture comes only through an extension has none.
        const int source = mGltf.textures[static_cast<std::size_t>(index)].source;
        if (source < 0) {
            return nullptr;
        }
        if (static_cast<std::size_t>(source) >= mGltf.images.size()) {
            refuse(numbered("image", static_cast<std::size_t>(source)) + " of " +
                   std::to_string(mGltf.images.size()));
        }
        const auto picture = static_cast<std::size_t>(source);
        if (!mDecoded[picture]) {
            mDecoded[picture] = true;
            mPictures[picture] = within(numbered("image", picture), [&] { return decodePicture(picture); });
        }
        return mPictures[picture];
    }

    // The texture of image `index`: from its buffer view, from the bytes
    // the parser handed over for its data URI or file, or, for a file the
    // parser could not have, through the texture manager (which records why).
    object::Pointer<Texture> decodePicture(std::size_t index) {
        const tinygltf::Image& image = mGltf.images[index];
        const bool file = !image.uri.empty() && image.uri.compare(0, 5, "data:") != 0;
        const types::String name(file                 ? image.uri.c_str()
                                 : image.name.empty() ? numbered("image", index).c_str()
                                                      : image.name.c_str());
        const std::uint8_t* bytes = image.image.data();
        std::size_t size = image.image.size();
        if (image.bufferView >= 0) {
            std::tie(bytes, size) = viewBytes(image.bufferView);
        } else if (size == 0) {
            if (file) {
                return mTranslator.loadTexture(name);
            }
            mTranslator.recordMissing(name, types::String("no picture data"));
            return nullptr;
        }
        try {
            io::MemoryFile picture(bytes, size);
            object::Pointer<Texture> texture = mFactory.create(picture);
            texture->setFilter(kMinFilter, kMagFilter);
            return texture;
        } catch (const std::exception& e) {
            mTranslator.recordMissing(name, types::String(e.what()));
            return nullptr;
        }
    }

    // `name`'s attribute as floats, none when the primitive has none.
    std::vector<float> attribute(const tinygltf::Primitive& primitive, const char* name,
                                 std::size_t vertexCount, std::initializer_list<int> types) {
        const auto found = primitive.attributes.find(name);
        if (found == primitive.attributes.end()) {
            return {};
        }
        if (accessor(found->second).count != vertexCount) {
            refuse(std::string(name) + " has " + std::to_string(accessor(found->second).count) +
                   " elements for " + std::to_string(vertexCount) + " vertices");
        }
        return readFloats(found->second, types);
    }

    const tinygltf::Accessor& accessor(int index) const {
        if (index < 0 || static_cast<std::size_t>(index) >= mGltf.accessors.size()) {
            refuse(numbered("accessor", static_cast<std::size_t>(index)) + " of " +
                   std::to_string(mGltf.accessors.size()));
        }
        return mGltf.accessors[static_cast<std::size_t>(index)];
    }

    // The bytes of buffer view `index`, checked against its buffer.
    std::pair<const std::uint8_t*, std::size_t> viewBytes(int index) const {
        if (index < 0 || static_cast<std::size_t>(index) >= mGltf.bufferViews.size()) {
            refuse(numbered("bufferView", static_cast<std::size_t>(index)) + " of " +
                   std::to_string(mGltf.bufferViews.size()));
        }
        const tinygltf::BufferView& view = mGltf.bufferViews[static_cast<std::size_t>(index)];
        if (view.buffer < 0 || static_cast<std::size_t>(view.buffer) >= mGltf.buffers.size()) {
            refuse(numbered("bufferView", static_cast<std::size_t>(index)) + " names buffer " +
                   std::to_string(view.buffer) + " of " + std::to_string(mGltf.buffers.size()));
        }
        const std::vector<unsigned char>& data = mGltf.buffers[static_cast<std::size_t>(view.buffer)].data;
        if (view.byteOffset > data.size() || view.byteLength > data.size() - view.byteOffset) {
            refuse(numbered("bufferView", static_cast<std::size_t>(index)) + " takes bytes " +
                   std::to_string(view.byteOffset) + " to " +
                   std::to_string(view.byteOffset + view.byteLength) + " of a buffer of " +
                   std::to_string(data.size()));
        }
        return {data.data() + view.byteOffset, view.byteLength};
    }

    // The first of `count` elements of `elementSize` bytes, `stride` apart
    // from `offset` in buffer view `index`, once all of them are found in it.
    const std::uint8_t* elements(int index, std::size_t offset, std::size_t stride, std::size_t count,
                                 std::size_t elementSize) const {
        const auto [bytes, length] = viewBytes(index);
        if (count > 0 && (offset > length || elementSize > length - offset ||
                          (count - 1) > (length - offset - elementSize) / stride)) {
            refuse(std::to_string(count) + " elements of " + std::to_string(elementSize) + " bytes, " +
                   std::to_string(stride) + " apart from byte " + std::to_string(offset) + ", overrun " +
                   numbered("bufferView", static_cast<std::size_t>(index)) + " of " + std::to_string(length) +
                   " bytes");
        }
        return bytes + offset;
    }

    // Where the accessor's elements of `elementSize` bytes are: the first
    // one and the stride, or null when it has no buffer view (its elements
    // are zeros). Every element is checked to lie in its view, so the count
    // is bounded by the file before anything of that size is made.
    std::pair<const std::uint8_t*, std::size_t> locate(const tinygltf::Accessor& source,
                                                       std::size_t elementSize) const {
        if (source.bufferView < 0) {
            // Such elements cost memory without costing file: their count is
            // held to what a model may draw.
            if (source.count > kMaxIndices) {
                refuse(std::to_string(source.count) + " elements without a buffer view");
            }
            return {nullptr, elementSize};
        }
        viewBytes(source.bufferView);
        const tinygltf::BufferView& view = mGltf.bufferViews[static_cast<std::size_t>(source.bufferView)];
        const std::size_t stride = view.byteStride != 0 ? view.byteStride : elementSize;
        if (stride < elementSize) {
            refuse("a stride of " + std::to_string(stride) + " for elements of " +
                   std::to_string(elementSize) + " bytes");
        }
        return {elements(source.bufferView, source.byteOffset, stride, source.count, elementSize), stride};
    }

    // Visits every element of the accessor as (number, address), `located`
    // by locate(): those without a buffer view are left alone, then the
    // sparse substitutes are visited.
    template <class Visit>
    void forEachElement(const tinygltf::Accessor& source, std::size_t elementSize,
                        std::pair<const std::uint8_t*, std::size_t> located, const Visit& visit) const {
        for (std::size_t i = 0; located.first != nullptr && i < source.count; ++i) {
            visit(i, located.first + i * located.second);
        }
        if (!source.sparse.isSparse) {
            return;
        }
        const auto& sparse = source.sparse;
        if (sparse.count < 0 || static_cast<std::size_t>(sparse.count) > source.count) {
            refuse("sparse count " + std::to_string(sparse.count) + " of " + std::to_string(source.count));
        }
        if (!isUnsigned(sparse.indices.componentType)) {
            refuse("sparse indices of component type " + std::to_string(sparse.indices.componentType));
        }
        if (sparse.indices.byteOffset < 0 || sparse.values.byteOffset < 0) {
            refuse("a negative sparse byte offset");
        }
        const auto count = static_cast<std::size_t>(sparse.count);
        const std::size_t indexSize = sizeOf(sparse.indices.componentType);
        const std::uint8_t* indices =
            elements(sparse.indices.bufferView, static_cast<std::size_t>(sparse.indices.byteOffset),
                     indexSize, count, indexSize);
        const std::uint8_t* values =
            elements(sparse.values.bufferView, static_cast<std::size_t>(sparse.values.byteOffset),
                     elementSize, count, elementSize);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t target = indexAt(indices + i * indexSize, sparse.indices.componentType);
            if (target >= source.count) {
                refuse("sparse index " + std::to_string(target) + " of " + std::to_string(source.count));
            }
            visit(target, values + i * elementSize);
        }
    }

    // The accessor's components as floats, after its type is found among
    // `types`.
    std::vector<float> readFloats(int index, std::initializer_list<int> types) const {
        const tinygltf::Accessor& source = accessor(index);
        return within(numbered("accessor", static_cast<std::size_t>(index)), [&] {
            const std::size_t componentSize = sizeOf(source.componentType);
            const int components = componentsOf(source.type);
            if (std::find(types.begin(), types.end(), source.type) == types.end() || componentSize == 0) {
                refuse("type " + std::to_string(source.type) + " of component type " +
                       std::to_string(source.componentType));
            }
            const std::size_t elementSize = componentSize * static_cast<std::size_t>(components);
            const auto located = locate(source, elementSize);
            std::vector<float> values(source.count * static_cast<std::size_t>(components), 0.0f);
            forEachElement(source, elementSize, located, [&](std::size_t i, const std::uint8_t* at) {
                for (int k = 0; k < components; ++k) {
                    values[i * static_cast<std::size_t>(components) + static_cast<std::size_t>(k)] =
                        floatAt(at + static_cast<std::size_t>(k) * componentSize, source.componentType,
                                source.normalized);
                }
            });
            return values;
        });
    }

    // The accessor's indices, each checked to name one of `vertexCount`.
    std::vector<std::uint32_t> readIndices(int index, std::size_t vertexCount) const {
        const tinygltf::Accessor& source = accessor(index);
        if (source.type != TINYGLTF_TYPE_SCALAR || !isUnsigned(source.componentType)) {
            refuse("indices of type " + std::to_string(source.type) + " and component type " +
                   std::to_string(source.componentType));
        }
        const auto located = locate(source, sizeOf(source.componentType));
        std::vector<std::uint32_t> indices(source.count, 0);
        forEachElement(
            source, sizeOf(source.componentType), located,
            [&](std::size_t i, const std::uint8_t* at) { indices[i] = indexAt(at, source.componentType); });
        for (std::size_t i = 0; i < indices.size(); ++i) {
            if (indices[i] >= vertexCount) {
                refuse("index " + std::to_string(i) + " names vertex " + std::to_string(indices[i]) + " of " +
                       std::to_string(vertexCount));
            }
        }
        return indices;
    }

    // The parser's file access: base names in the texture manager's folder.
    static std::string samePath(const std::string& path, void*) { return path; }

    static bool fileExists(const std::string& path, void* reading) {
        try {
            static_cast<Reading*>(reading)->mFactory.findFile(types::String(path.c_str()));
            return true;
        } catch (const std::exception&) {
            return false;
        }
    }

    static bool readWholeFile(std::vector<unsigned char>* out, std::string* error, const std::string& path,
                              void* reading) {
        try {
            TextureFactory& factory = static_cast<Reading*>(reading)->mFactory;
            const object::Pointer<io::File> file =
                factory.getFiles().open(factory.findFile(types::String(path.c_str())), io::File::kRead);
            if (!file) {
                *error = "not found";
                return false;
            }
            const std::string bytes =
                detail::readBytes(file->getInputStream(), file->getInputStream().available());
            out->assign(bytes.begin(), bytes.end());
            return true;
        } catch (const std::exception& e) {
            *error = e.what();
            return false;
        }
    }

    // Keeps the encoded picture for decodePicture(). The bytes given for a
    // picture in a buffer view are not checked against the buffer: those are
    // read from the view once it has been checked.
    static bool keepPicture(tinygltf::Image* image, int, std::string*, std::string*, int, int,
                            const unsigned char* bytes, int size, void*) {
        if (image->bufferView < 0 && size > 0) {
            image->image.assign(bytes, bytes + size);
        }
        return true;
    }

    TranslatorGLTF& mTranslator;
    TextureFactory& mFactory;
    tinygltf::Model mGltf;
    object::Pointer<StaticModel> mModel;
    std::map<std::pair<int, bool>, Look> mLooks;
    std::vector<object::Pointer<Texture>> mPictures;
    std::vector<bool> mDecoded;
    std::uint32_t mVertices = 0;
    std::uint64_t mIndices = 0;
};

TranslatorGLTF::TranslatorGLTF() : mDoubleSided(object::make<PolygonMode>()) {
    mDoubleSided->setCull(0);
}

TranslatorGLTF::~TranslatorGLTF() = default;

object::Pointer<Model> TranslatorGLTF::read(io::InputStream& stream, std::uint32_t size) {
    clearMissingTextures();
    if (size == kWholeStream) {
        size = stream.available();
    }
    return within("glTF", [&] {
        Reading reading(*this);
        reading.parse(detail::readBytes(stream, size));
        return reading.build();
    });
}

bool TranslatorGLTF::write(io::OutputStream&, Model&) {
    return false;
}

bool TranslatorGLTF::probe(io::File& file) {
    try {
        const std::int32_t position = file.getPosition();
        std::string sample(static_cast<std::size_t>(kProbeBytes), '\0');
        const std::int32_t got = file.getInputStream().read(sample.data(), kProbeBytes);
        file.seek(position, io::File::kBegin);
        sample.resize(static_cast<std::size_t>(std::max(got, 0)));
        if (sample.compare(0, 4, kMagic) == 0) {
            return sample.size() >= kHeaderBytes && u32(sample, 4) == kBinaryVersion;
        }
        return hasVersion2Asset(sample.data(), sample.size());
    } catch (...) {
        return false;
    }
}

}  // namespace nevrik::graphics3d
