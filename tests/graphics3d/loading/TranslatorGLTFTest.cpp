#include "nevrik/graphics3d/loading/TranslatorGLTF.h"

#include "nevrik/graphics3d/core/BufferLock.h"
#include "nevrik/graphics3d/core/ColourMaterial.h"
#include "nevrik/graphics3d/core/IndexMesh.h"
#include "nevrik/graphics3d/loading/ModelRoster.h"
#include "nevrik/io/SystemFileFactory.h"
#include "nevrik/io/TranslatorFormatException.h"

#include "graphics/MemoryStream.h"
#include "graphics3d/Chunks3DS.h"
#include "graphics3d/DrawnTriangles.h"
#include "graphics3d/GltfFiles.h"
#include "graphics3d/ImageFiles.h"
#include "graphics3d/ModelData.h"
#include "graphics3d/ModelReaderFixture.h"
#include "io/TempFolder.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace nevrik::graphics3d {
namespace {

using object::Pointer;
using namespace gltf;

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every float of a mesh's vertex buffer.
std::vector<float> vertexFloats(IndexMesh& mesh) {
    VertexBuffer& buffer = *mesh.getVertexBuffer(0);
    BufferLock<VertexBuffer> lock(buffer, VertexBuffer::kRead);
    const auto* data = reinterpret_cast<const float*>(buffer.getData());
    return std::vector<float>(data, data + buffer.getVertexCount() * buffer.getStride() / sizeof(float));
}

// The triangles a list, strip or fan of `corners` stands for.
std::vector<std::array<std::uint32_t, 3>> expectedTriangles(int mode,
                                                            const std::vector<std::uint32_t>& corners) {
    std::vector<std::array<std::uint32_t, 3>> expected;
    for (std::size_t i = 2; i < corners.size(); ++i) {
        if (mode == 4 && i % 3 == 2) {
            expected.push_back({corners[i - 2], corners[i - 1], corners[i]});
        } else if (mode == 5) {
            // Every other triangle of a strip turns back to keep the winding.
            expected.push_back(
                i % 2 == 0 ? std::array<std::uint32_t, 3>{corners[i - 2], corners[i - 1], corners[i]}
                           : std::array<std::uint32_t, 3>{corners[i - 1], corners[i - 2], corners[i]});
        } else if (mode == 6) {
            expected.push_back({corners[0], corners[i - 1], corners[i]});
        }
    }
    return expected;
}

class TranslatorGLTFTest : public ModelReaderFixture<TranslatorGLTF> {
protected:
    // What a refused file is refused for; "loaded" when it is not.
    std::string refusal(const std::string& bytes) {
        try {
            load(bytes);
            return "loaded";
        } catch (const io::TranslatorFormatException& e) {
            return e.describe().c_str();
        }
    }
};

// Random lists, strips and fans over random vertices, with every index type
// and none, as JSON and binary: each draws exactly the triangles its corners
// stand for; points and lines beside them draw nothing.
TEST_F(TranslatorGLTFTest, EveryIndexTypeAndModeDrawsTheTrianglesOfItsCorners) {
    std::mt19937 random(21);
    const int indexTypes[] = {kUnsignedByte, kUnsignedShort, kUnsignedInt, 0};
    for (int round = 0; round < 48; ++round) {
        const int mode = 4 + round % 3;
        const int indexType = indexTypes[round / 3 % 4];
        const std::uint32_t vertexCount = 3 + random() % 40;
        std::vector<float> positions;
        for (std::uint32_t i = 0; i < 3 * vertexCount; ++i) {
            positions.push_back(static_cast<float>(random() % 1000) / 8.0f);
        }
        std::vector<std::uint32_t> corners(vertexCount);
        std::iota(corners.begin(), corners.end(), 0u);
        Builder file;
        const int position = file.floats(positions, 3);
        std::string primitive = "{\"attributes\":{\"POSITION\":" + std::to_string(position) +
                                "},\"mode\":" + std::to_string(mode);
        if (indexType != 0) {
            corners.resize(3 + random() % 30);
            for (std::uint32_t& corner : corners) {
                corner = random() % vertexCount;
            }
            primitive += ",\"indices\":" + std::to_string(file.indices(corners, indexType));
        }
        primitive += "},{\"attributes\":{\"POSITION\":" + std::to_string(position) +
                     "},\"mode\":" + std::to_string(round % 4) + "}";
        const std::string rest = oneMesh(primitive);
        const Pointer<Model> model = load(round % 2 == 0 ? file.json(rest) : file.glb(rest));

        std::multiset<Triangle> expected;
        for (const auto& corner : expectedTriangles(mode, corners)) {
            Triangle triangle{};
            for (int k = 0; k < 9; ++k) {
                triangle[k] = positions[3 * corner[k / 3] + k % 3];
            }
            expected.insert(triangle);
        }
        if (expected.empty()) {
            EXPECT_EQ(model, nullptr) << "round " << round;
            continue;
        }
        ASSERT_NE(model, nullptr) << "round " << round;
        ASSERT_EQ(model->getMeshes().getCount(), 1) << "round " << round;
        EXPECT_EQ(triangles(mesh(model, 0)), expected) << "round " << round;
    }
}

// One triangle drawn by a rotated child of a scaled, moved parent and by a
// mirroring node: positions and normals move with the nodes, a mirror turns
// the corners' order; texture coordinates are kept as written, vertex
// colours (normalized bytes, no alpha) are multiplied by the base colour,
// and missing normals are the faces'.
TEST_F(TranslatorGLTFTest, VerticesCarryTransformedPositionsNormalsCoordinatesAndColours) {
    Builder file;
    const int position = file.floats({0, 0, 0, 1, 0, 0, 0, 1, 0}, 3);
    const int normal = file.floats({1, 0, 0, 1, 0, 0, 1, 0, 0}, 3);
    const int texCoord = file.floats({0, 0, 1, 0, 0, 1}, 2);
    const int colour = file.accessor(file.view(std::string("\xFF\0\0\0\xFF\0\0\0\xFF", 9)), kUnsignedByte, 3,
                                     "VEC3", ",\"normalized\":true");
    const int picture = file.view(fileBytes(NEVRIK_TEST_DATA "/images/rgb.png"));
    const std::string attributes = "\"POSITION\":" + std::to_string(position) +
                                   ",\"TEXCOORD_0\":" + std::to_string(texCoord) +
                                   ",\"COLOR_0\":" + std::to_string(colour);
    const std::string rest =
        "\"scene\":0,\"scenes\":[{\"nodes\":[0,2]}],"
        "\"nodes\":[{\"children\":[1],\"translation\":[10,0,0],\"scale\":[2,2,2]},"
        "{\"mesh\":0,\"rotation\":[0,0,0.70710678,0.70710678]},"
        "{\"mesh\":0,\"matrix\":[-1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1]},{\"mesh\":0}],"
        "\"meshes\":[{\"primitives\":[{\"attributes\":{" +
        attributes + ",\"NORMAL\":" + std::to_string(normal) + "},\"material\":0},{\"attributes\":{" +
        attributes +
        "}}]}],\"materials\":[{\"pbrMetallicRoughness\":{\"baseColorFactor\":[0.5,1,1,0.25],"
        "\"baseColorTexture\":{\"index\":0}}}],\"textures\":[{\"source\":0}],"
        "\"images\":[{\"bufferView\":" +
        std::to_string(picture) + ",\"mimeType\":\"image/png\"}]";
    const Pointer<Model> model = load(file.glb(rest));
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->getMeshes().getCount(), 4) << "node 3 is in no scene";

    // Position, normal, texture coordinates and colour: 12 floats a vertex.
    const std::vector<float> turned = vertexFloats(mesh(model, 0));
    ASSERT_EQ(turned.size(), 36u);
    EXPECT_EQ(mesh(model, 0).getVertexBuffer(0)->getComponentMask(), 0xFF015u);
    const float expected[3][12] = {{10, 0, 0, 0, 1, 0, 0, 0, 0.5f, 0, 0, 1},
                                   {10, 2, 0, 0, 1, 0, 1, 0, 0, 1, 0, 1},
                                   {8, 0, 0, 0, 1, 0, 0, 1, 0, 0, 1, 1}};
    for (int vertex = 0; vertex < 3; ++vertex) {
        for (int k = 0; k < 12; ++k) {
            EXPECT_NEAR(turned[vertex * 12 + k], expected[vertex][k], 1e-5f) << vertex << " " << k;
        }
    }
    EXPECT_EQ(triangles(mesh(model, 2)), (std::multiset<Triangle>{{0, 0, 0, 0, 1, 0, -1, 0, 0}}));
    EXPECT_FLOAT_EQ(vertexFloats(mesh(model, 2))[3], -1.0f) << "the mirrored normal";
    // Without normals of its own, each drawing of the triangle faces +z.
    for (int index : {1, 3}) {
        const std::vector<float> floats = vertexFloats(mesh(model, index));
        for (int vertex = 0; vertex < 3; ++vertex) {
            EXPECT_EQ(std::vector<float>(floats.begin() + vertex * 10 + 3, floats.begin() + vertex * 10 + 6),
                      (std::vector<float>{0, 0, 1}));
        }
    }

    // Vertex colours light through colour tracking, on a copy of the
    // material; the untextured default look has no coordinates.
    Appearance& painted = *mesh(model, 0).getAppearance();
    EXPECT_NE(painted.getTexture(0), nullptr);
    EXPECT_EQ(painted.getShader(), mTranslator->getColourTextureShader());
    EXPECT_EQ(mesh(model, 1).getAppearance()->getShader(), mTranslator->getColourShader());
    EXPECT_EQ(mesh(model, 1).getVertexBuffer(0)->getComponentMask(), 0x15u);
}

// Alpha modes, emission, double sides and base-colour pictures from a
// buffer view, a data URI and a file; pictures that cannot be had are
// recorded with the reason, and the model still loads.
TEST_F(TranslatorGLTFTest, MaterialsMapAlphaModesSidesAndPictures) {
    std::filesystem::copy_file(NEVRIK_TEST_DATA "/images/rgb24.bmp", mFolder / "skin.bmp");
    std::ofstream(mFolder / "broken.png") << "BM not a picture";
    Builder file;
    const int position = file.floats({0, 0, 0, 1, 0, 0, 0, 1, 0}, 3);
    const int picture = file.view(fileBytes(NEVRIK_TEST_DATA "/images/rgb24.tga"));
    std::string primitives;
    for (int material = -1; material < 8; ++material) {
        primitives += std::string(material >= 0 ? "," : "") +
                      "{\"attributes\":{\"POSITION\":" + std::to_string(position) + "}" +
                      (material >= 0 ? ",\"material\":" + std::to_string(material) : std::string()) + "}";
    }
    const std::string rest =
        oneMesh(primitives) +
        ",\"materials\":["
        "{\"name\":\"opaque\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[1,0,0,0.3]},"
        "\"emissiveFactor\":[0.1,0.2,0.3]},"
        "{\"name\":\"blend\",\"alphaMode\":\"BLEND\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[0,1,0,0."
        "5]}},"
        "{\"name\":\"mask\",\"alphaMode\":\"MASK\",\"alphaCutoff\":0.3,\"doubleSided\":true},"
        "{\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":0}}},"
        "{\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":1}}},"
        "{\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":2}}},"
        "{\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":3}}},"
        "{\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":4}}}],"
        "\"textures\":[{\"source\":0},{\"source\":1},{\"source\":2},{\"source\":3},{\"source\":4}],"
        "\"images\":[{\"bufferView\":" +
        std::to_string(picture) +
        ",\"mimeType\":\"image/png\"},"
        "{\"uri\":\"data:image/png;base64," +
        base64(fileBytes(NEVRIK_TEST_DATA "/images/rgb.png")) +
        "\"},{\"uri\":\"SKIN.BMP\"},{\"uri\":\"gone.png\"},{\"uri\":\"broken.png\",\"name\":\"broken\"}]";
    const Pointer<Model> model = load(file.json(rest));
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->getMeshes().getCount(), 9);
    const auto colour = [&](int index, ColourMaterial::Colour which) {
        const auto& material =
            dynamic_cast<ColourMaterial&>(*mesh(model, index).getAppearance()->getMaterial());
        return std::vector<float>(material.getColour(which), material.getColour(which) + 4);
    };
    const float grey = ModelTranslator::kDefaultGrey;
    EXPECT_EQ(colour(0, ColourMaterial::kDiffuse), (std::vector<float>{grey, grey, grey, 1}));
    EXPECT_EQ(mesh(model, 0).getAppearance()->getShader(), mTranslator->getPlainShader());

    // Opaque ignores alpha; the base colour is ambient and diffuse.
    Appearance& opaque = *mesh(model, 1).getAppearance();
    EXPECT_EQ(opaque.getName(), "opaque");
    EXPECT_EQ(colour(1, ColourMaterial::kDiffuse), (std::vector<float>{1, 0, 0, 1}));
    EXPECT_EQ(colour(1, ColourMaterial::kAmbient), (std::vector<float>{1, 0, 0, 1}));
    EXPECT_EQ(colour(1, ColourMaterial::kEmission), (std::vector<float>{0.1f, 0.2f, 0.3f, 1}));
    EXPECT_TRUE(opaque.getBlendMode() == nullptr || opaque.getBlendMode()->isOpaque());
    EXPECT_EQ(opaque.getPolygonMode(), nullptr) << "single-sided: the context culls back faces";

    Appearance& blended = *mesh(model, 2).getAppearance();
    EXPECT_EQ(colour(2, ColourMaterial::kDiffuse), (std::vector<float>{0, 1, 0, 0.5f}));
    EXPECT_EQ(blended.getBlendMode(), mTranslator->getBlendMode());
    EXPECT_EQ(blended.getDepthMode(), mTranslator->getDepthMode());

    Appearance& masked = *mesh(model, 3).getAppearance();
    ASSERT_NE(masked.getBlendMode(), nullptr);
    EXPECT_TRUE(masked.getBlendMode()->isOpaque());
    EXPECT_EQ(masked.getBlendMode()->getAlphaFunction(), GL_GEQUAL);
    EXPECT_FLOAT_EQ(masked.getBlendMode()->getAlphaReference(), 0.3f);
    EXPECT_EQ(masked.getDepthMode(), nullptr);
    ASSERT_NE(masked.getPolygonMode(), nullptr);
    EXPECT_NE(masked.getPolygonMode()->getCull(), PolygonMode::kCullBack);
    EXPECT_NE(masked.getPolygonMode()->getCull(), PolygonMode::kCullFront);

    // Pictures are decoded by content (a TGA said to be PNG), whatever way
    // they come, and files are found whatever their case.
    for (int index = 4; index < 9; ++index) {
        Appearance& textured = *mesh(model, index).getAppearance();
        EXPECT_EQ(textured.getTexture(0) != nullptr, index < 7) << index;
        EXPECT_EQ(textured.getShader(), index < 7 ? static_cast<Shader*>(mTranslator->getTextureShader())
                                                  : mTranslator->getPlainShader());
    }
    std::vector<std::string> missing;
    for (const ModelTranslator::MissingTexture& each : mTranslator->getMissingTextures()) {
        missing.push_back(std::string(each.name.c_str()) + ": " + each.reason.c_str());
    }
    EXPECT_EQ(missing, (std::vector<std::string>{"gone.png: FileNotFoundException",
                                                 "broken.png: TranslatorFormatException"}));
}

// Every count, offset, stride and index is checked against what it names
// before use, and the refusal says what was wrong where; any cut or damage
// of a valid file loads or is refused, leaving nothing behind.
TEST_F(TranslatorGLTFTest, HostileFilesAreRefusedWithTheReason) {
    Builder base;
    base.floats({0, 0, 0, 1, 0, 0, 0, 1, 0}, 3);
    base.indices({0, 1, 2}, kUnsignedShort);
    base.view(bytesOf(std::vector<std::uint16_t>{9}));
    const std::string mesh = "{\"attributes\":{\"POSITION\":0},\"indices\":1,\"material\":0}";
    const std::string rest = oneMesh(mesh) + ",\"materials\":[{}]";
    const std::string positions = "\"bufferView\":0,\"componentType\":5126,\"type\":\"VEC3\"";
    struct Case {
        std::function<std::string(Builder&)> make;
        std::string reason;
    };
    const auto json = [&](const std::string& other) {
        return [=](Builder& file) { return file.json(other); };
    };
    const auto accessor = [&](int index, const std::string& text) {
        return [=](Builder& file) {
            file.accessors[static_cast<std::size_t>(index)] = "{" + text + "}";
            return file.json(rest);
        };
    };
    const Case cases[] = {
        {accessor(0, positions + ",\"count\":3,\"byteOffset\":4"),
         "accessor 0: 3 elements of 12 bytes, 12 apart from byte 4, overrun bufferView 0 of 36 bytes"},
        {accessor(0, positions + ",\"count\":4"), "overrun bufferView 0"},
        {[&](Builder& file) {
             file.views[0] = "{\"buffer\":0,\"byteLength\":400}";
             return file.json(rest);
         },
         "bufferView 0 takes bytes 0 to 400 of a buffer of"},
        {[&](Builder& file) {
             file.views[0] = "{\"buffer\":0,\"byteLength\":36,\"byteStride\":8}";
             return file.json(rest);
         },
         "a stride of 8 for elements of 12 bytes"},
        {[&](Builder& file) {
             file.data[40] = 5;
             return file.json(rest);
         },
         "mesh 0 primitive 0: accessor 1: index 2 names vertex 5 of 3"},
        {accessor(1, "\"bufferView\":1,\"componentType\":5126,\"count\":1,\"type\":\"SCALAR\""),
         "indices of type 65 and component type 5126"},
        {accessor(1, "\"componentType\":5123,\"count\":100000000000,\"type\":\"SCALAR\""),
         "accessor[1] invalid bufferView"},
        {accessor(0, "\"componentType\":5126,\"count\":100000000,\"type\":\"VEC3\""),
         "the scene draws more than 4194304 vertices"},
        {accessor(0, positions + ",\"count\":3,\"sparse\":{\"count\":1,\"indices\":{\"bufferView\":2,"
                                 "\"componentType\":5123},\"values\":{\"bufferView\":0}}"),
         "sparse index 9 of 3"},
        {accessor(0, positions + ",\"count\":3,\"sparse\":{\"count\":5,\"indices\":{\"bufferView\":2,"
                                 "\"componentType\":5123},\"values\":{\"bufferView\":0}}"),
         "sparse count 5 of 3"},
        {accessor(0, positions + ",\"count\":3,\"sparse\":{\"count\":1,\"indices\":{\"bufferView\":7,"
                                 "\"componentType\":5123},\"values\":{\"bufferView\":0}}"),
         "bufferView 7 of 3"},
        {json(oneMesh("{\"attributes\":{\"POSITION\":7}}")), "accessor 7 of 2"},
        {json(oneMesh("{\"attributes\":{\"POSITION\":0},\"mode\":9}")), "mode 9"},
        {json(oneMesh("{\"attributes\":{\"POSITION\":0,\"NORMAL\":1}}")),
         "accessor 1: type 65 of component type 5123"},
        {[&](Builder& file) {
             const int colour = file.accessor(1, kUnsignedShort, 2, "VEC3");
             return file.json(
                 oneMesh("{\"attributes\":{\"POSITION\":0,\"COLOR_0\":" + std::to_string(colour) + "}}"));
         },
         "COLOR_0 has 2 elements for 3 vertices"},
        {json(oneMesh(mesh)), "material 0 of 0"},
        {json(oneMesh("{\"attributes\":{\"POSITION\":0},\"material\":0}") +
              ",\"materials\":[{\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":3}}}]"),
         "texture 3 of 0"},
        {json(oneMesh(mesh, "{\"mesh\":4}")), "node 0: mesh 4 of 1"},
        {json(oneMesh(mesh, "{\"mesh\":0,\"matrix\":[1,0,0,0,1]}")), "node 0: matrix of 5 numbers"},
        {json(oneMesh(mesh, "{\"children\":[5]}")), "node 5 of 1"},
        {json("\"meshes\":[{\"primitives\":[" + mesh +
              "]}],\"materials\":[{}],\"nodes\":[{\"children\":[1]},{\"children\":[0]}],\"scenes\":[{"
              "\"nodes\":[0]}]"),
         "node 0: reached twice"},
        {json(rest + ",\"scenes\":[{\"nodes\":[0,0]}]"), "node 0: reached twice"},
        {json(rest + ",\"scene\":2,\"scenes\":[{\"nodes\":[0]}]"), "scene 2 of 1"},
        {json(rest + ",\"extensionsRequired\":[\"KHR_draco_mesh_compression\"]"),
         "requires extension KHR_draco_mesh_compression"},
        {json(rest + ",\"extras\":" + std::string(100, '[') + std::string(100, ']')),
         "nested deeper than 64"},
        {[&](Builder& file) {
             const std::string uri =
                 "data:application/octet-stream;base64," + base64(file.data + std::string(3000, 'x'));
             return file.json(rest, &uri);
         },
         "Failed to decode 'uri'"},
        {[&](Builder& file) { return file.glb(rest).substr(0, 19); },
         "binary glTF of 19 bytes has no header"},
        {[&](Builder& file) { return file.glb(rest).replace(4, 4, u32(1)); }, "binary glTF version 1"},
        {[&](Builder& file) { return file.glb(rest).replace(8, 4, u32(100000)); }, "says 100000"},
        {[&](Builder& file) { return file.glb(rest).replace(16, 4, std::string("BIN\0", 4)); },
         "the first chunk is not JSON"},
        {[&](Builder& file) {
             std::string bytes = file.glb(rest);
             std::uint32_t jsonLength = 0;
             std::memcpy(&jsonLength, bytes.data() + 12, 4);
             return bytes.replace(20 + jsonLength, 4, u32(1000));
         },
         "the binary chunk runs past the file's"},
    };
    for (const Case& each : cases) {
        Builder file = base;
        const std::string why = refusal(each.make(file));
        EXPECT_EQ(why.rfind("glTF: ", 0), 0u) << why;
        EXPECT_NE(why.find(each.reason), std::string::npos) << why << " for " << each.reason;
        EXPECT_LT(why.size(), 400u) << why;
    }
    ASSERT_NE(load(Builder(base).json(rest)), nullptr);
    EXPECT_EQ(refusal(Builder(base).json(rest)), "loaded");

    std::mt19937 random(21);
    const std::string valid[] = {Builder(base).glb(rest), fileBytes(NEVRIK_TEST_DATA "/models/cube.glb"),
                                 fileBytes(NEVRIK_TEST_DATA "/models/cube.gltf")};
    for (int round = 0; round < 300; ++round) {
        const std::string& source = valid[round % 3];
        std::string bytes = source.substr(0, random() % source.size());
        if (round % 2 == 1) {
            bytes = source;
            for (int flips = 0; flips < 4; ++flips) {
                bytes[random() % bytes.size()] = static_cast<char>(random());
            }
        }
        try {
            load(bytes);
        } catch (const io::TranslatorException&) {
        }
        EXPECT_EQ(mTranslator->getPlainShader()->getReferenceCount(), 1) << "round " << round;
    }
}

// Buffer and picture files named with folders, drives or "..", relative or
// absolute: only their base names are asked for, in the model's folder.
TEST_F(TranslatorGLTFTest, FilesAreBaseNamesFoundInTheModelsFolderWhateverTheirCase) {
    std::filesystem::create_directories(mFolder / "model");
    Builder file;
    file.floats({0, 0, 0, 1, 0, 0, 0, 1, 0}, 3);
    std::ofstream(mFolder / "model" / "Tri.Bin", std::ios::binary) << file.data;
    std::ofstream(mFolder / "secret.bin", std::ios::binary) << file.data;
    std::filesystem::copy_file(NEVRIK_TEST_DATA "/images/rgb.png", mFolder / "secret.png");

    const auto files = object::make<RecordingFiles>(types::String((mFolder / "model").c_str()));
    mTranslator->setTextureManager(object::make<TextureManager>(files.get()).get());
    const std::string picture =
        oneMesh("{\"attributes\":{\"POSITION\":0},\"material\":0}") +
        ",\"materials\":[{\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":0}}}],"
        "\"textures\":[{\"source\":0}],\"images\":[{\"uri\":\"..\\\\..\\\\secret.png\"}]";
    const std::string found[] = {(mFolder / "model" / "tri.bin").string(), "sub%20folder/TRI.BIN",
                                 "C:\\\\tri.bin"};
    for (const std::string& uri : found) {
        const Pointer<Model> model = load(file.json(picture, &uri));
        ASSERT_NE(model, nullptr) << uri;
        EXPECT_EQ(triangles(mesh(model, 0)), (std::multiset<Triangle>{{0, 0, 0, 1, 0, 0, 0, 1, 0}}));
        EXPECT_EQ(mesh(model, 0).getAppearance()->getTexture(0), nullptr);
        ASSERT_EQ(mTranslator->getMissingTextures().getCount(), 1);
        EXPECT_STREQ(mTranslator->getMissingTextures()[0].reason.c_str(), "FileNotFoundException");
    }
    for (const std::string& uri : {std::string("../secret.bin"), (mFolder / "secret.bin").string()}) {
        EXPECT_NE(refusal(file.json(picture, &uri)).find("File not found"), std::string::npos) << uri;
    }
    EXPECT_FALSE(files->asked.empty());
    for (const std::string& name : files->asked) {
        EXPECT_EQ(name.find_first_of("/\\:"), std::string::npos) << name;
        EXPECT_NE(name, "..");
    }
}

TEST_F(TranslatorGLTFTest, ProbedByContentAndReadThroughTheRoster) {
    Builder file;
    file.floats({0, 0, 0, 1, 0, 0, 0, 1, 0}, 3);
    const std::string rest = oneMesh("{\"attributes\":{\"POSITION\":0}}");
    std::string late = file.json(rest);
    late.replace(late.find("\"asset\""), 25,
                 "\"extras\":{\"version\":\"1.0\",\"asset\":{}},\"asset\":{\"version\":\"2.1\"}");
    const std::pair<std::string, std::string> claimed[] = {
        {"shape.dat", file.json(rest)},
        {"shape.bin", file.glb(rest)},
        {"bom.txt", "\xEF\xBB\xBF \n" + late},
        {"escaped.gltf", "{\"note\":\"say \\\"{[\\\\\"," + file.json(rest).substr(1)},
    };
    const std::pair<std::string, std::string> others[] = {
        {"old.gltf", "{\"asset\":{\"version\":\"1.0\"}}"},
        {"inner.gltf", "{\"x\":{\"asset\":{\"version\":\"2.0\"}}}"},
        {"other.json", "{\"assets\":{\"version\":\"2.0\"},\"version\":\"2.0\"}"},
        {"array.json", "[{\"asset\":{\"version\":\"2.0\"}}]"},
        {"glb1.glb", "glTF" + u32(1) + u32(12)},
        {"shape.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"},
    };
    const auto files = object::make<io::SystemFileFactory>(mFolder.c_str());
    for (const auto& [name, bytes] : claimed) {
        std::ofstream(mFolder / name, std::ios::binary) << bytes;
        EXPECT_TRUE(mTranslator->probe(*files->open(name.c_str(), io::File::kRead))) << name;
    }
    for (const auto& [name, bytes] : others) {
        std::ofstream(mFolder / name, std::ios::binary) << bytes;
        const Pointer<io::File> opened = files->open(name.c_str(), io::File::kRead);
        EXPECT_FALSE(mTranslator->probe(*opened)) << name;
        EXPECT_EQ(opened->getPosition(), 0);
    }
    ModelRoster roster;
    for (const auto& [name, bytes] : claimed) {
        const Pointer<Model> model = roster.readFile((mFolder / name).c_str());
        ASSERT_NE(model, nullptr) << name;
        EXPECT_EQ(triangles(mesh(model, 0)), (std::multiset<Triangle>{{0, 0, 0, 1, 0, 0, 0, 1, 0}}));
    }
    EXPECT_THROW(roster.readFile((mFolder / "old.gltf").c_str()), io::TranslatorFormatException);
}

// A cube of 24 vertices, each face of its own, faces counter-clockwise
// from outside; opposite faces share a colour (x red, y green, z blue).
struct Cube {
    Cube() {
        const float faces[6][3][3] = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
                                      {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}}, {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
                                      {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}, {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}}};
        const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (const auto& face : faces) {
            const auto base = static_cast<std::uint32_t>(positions.size() / 3);
            for (const auto& corner : corners) {
                for (int k = 0; k < 3; ++k) {
                    positions.push_back(face[0][k] + corner[0] * face[1][k] + corner[1] * face[2][k]);
                    normals.push_back(face[0][k]);
                }
            }
            indices.insert(indices.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
        }
    }

    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<std::uint32_t> indices;  // faces 0 and 1 red, 2 and 3 green, 4 and 5 blue
};

// The view of the model the roster reads from `path`, lit from the viewer,
// with the identity projection.
std::vector<std::uint8_t> rendered(const std::string& path) {
    ModelRoster roster;
    const Pointer<Model> model = roster.readFile(types::String(path.c_str()));
    if (!model) {
        return {};
    }
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_LIGHT0);
    model->render(*blockOf(*model, math::Matrix4<float>()));
    Context::current()->getDeferQueue().flush();
    glDisable(GL_LIGHT0);
    std::vector<std::uint8_t> pixels(64 * 48 * 4);
    glReadPixels(0, 0, 64, 48, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// The same turned cube as 3DS, OBJ and glTF (where a node turns it) draws
// the same pixels, but for a few along edges.
TEST_F(TranslatorGLTFTest, OneCubeRendersAlikeAs3DSOBJAndGLTF) {
    const Cube cube;
    const double q[4] = {0.3, -0.4, 0.1, 0.86};
    const double n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    const double x = q[0] / n, y = q[1] / n, z = q[2] / n, w = q[3] / n;
    const double scale = 0.45;
    // Rows of the rotation of unit quaternion (x, y, z, w), scaled.
    const double turn[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
                               {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
                               {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}};
    std::vector<float> turned;
    for (std::size_t i = 0; i < cube.positions.size(); i += 3) {
        for (const auto& row : turn) {
            turned.push_back(
                static_cast<float>(scale * (row[0] * cube.positions[i] + row[1] * cube.positions[i + 1] +
                                            row[2] * cube.positions[i + 2])));
        }
    }
    const char* names[] = {"red", "green", "blue"};
    const float rgb[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

    // 3DS: one object, a face group and a material a colour.
    std::string vertices;
    for (float value : turned) {
        vertices += chunks::f32(value);
    }
    std::string faces;
    for (std::size_t i = 0; i < cube.indices.size(); i += 3) {
        faces += chunks::words({cube.indices[i], cube.indices[i + 1], cube.indices[i + 2], 0});
    }
    std::string groups;
    std::string materials;
    for (std::uint32_t colour = 0; colour < 3; ++colour) {
        const std::uint32_t first = 4 * colour;
        groups += chunks::faceGroup(names[colour], {first, first + 1, first + 2, first + 3});
        const auto byte = [&](int k) { return static_cast<int>(255 * rgb[colour][k]); };
        const std::string paint = chunks::rgbBytes(byte(0), byte(1), byte(2));
        materials +=
            chunks::material(names[colour], chunks::chunk(0xA010, paint) + chunks::chunk(0xA020, paint) +
                                                chunks::chunk(0xA030, chunks::rgbBytes(0, 0, 0)));
    }
    std::ofstream(mFolder / "cube.3ds", std::ios::binary) << chunks::mainChunk(
        chunks::editor(materials + chunks::meshObject(chunks::vertexList(24, vertices) +
                                                      chunks::faceList(12, faces, groups))));

    // OBJ: the same vertices, a material a colour.
    std::ofstream obj(mFolder / "cube.obj");
    std::ofstream mtl(mFolder / "cube.mtl");
    obj << "mtllib cube.mtl\n";
    for (std::size_t i = 0; i < turned.size(); i += 3) {
        obj << "v " << turned[i] << ' ' << turned[i + 1] << ' ' << turned[i + 2] << '\n';
    }
    for (std::size_t i = 0; i < cube.indices.size(); i += 3) {
        if (i % 12 == 0) {
            const char* name = names[i / 12];
            obj << "usemtl " << name << '\n';
            const float* c = rgb[i / 12];
            mtl << "newmtl " << name << "\nKa " << c[0] << ' ' << c[1] << ' ' << c[2] << "\nKd " << c[0]
                << ' ' << c[1] << ' ' << c[2] << "\nKs 0 0 0\n";
        }
        obj << "f " << cube.indices[i] + 1 << ' ' << cube.indices[i + 1] + 1 << ' ' << cube.indices[i + 2] + 1
            << '\n';
    }
    obj.close();
    mtl.close();

    // glTF: the cube as written, with its normals, turned and scaled by its
    // node; a primitive and a material a colour.
    Builder file;
    const int position = file.floats(cube.positions, 3);
    const int normal = file.floats(cube.normals, 3);
    std::string primitives;
    std::string paints;
    for (int colour = 0; colour < 3; ++colour) {
        const std::vector<std::uint32_t> part(cube.indices.begin() + 12 * colour,
                                              cube.indices.begin() + 12 * (colour + 1));
        primitives += std::string(colour > 0 ? "," : "") +
                      "{\"attributes\":{\"POSITION\":" + std::to_string(position) +
                      ",\"NORMAL\":" + std::to_string(normal) +
                      "},\"indices\":" + std::to_string(file.indices(part, kUnsignedShort)) +
                      ",\"material\":" + std::to_string(colour) + "}";
        paints += std::string(colour > 0 ? "," : "") + "{\"pbrMetallicRoughness\":{\"baseColorFactor\":[" +
                  std::to_string(rgb[colour][0]) + "," + std::to_string(rgb[colour][1]) + "," +
                  std::to_string(rgb[colour][2]) + ",1]}}";
    }
    std::ofstream(mFolder / "cube.gltf")
        << file.json(oneMesh(primitives, "{\"mesh\":0,\"rotation\":[" + std::to_string(q[0] / n) + "," +
                                             std::to_string(q[1] / n) + "," + std::to_string(q[2] / n) + "," +
                                             std::to_string(q[3] / n) + "],\"scale\":[0.45,0.45,0.45]}") +
                     ",\"materials\":[" + paints + "]");

    const std::vector<std::uint8_t> reference = rendered((mFolder / "cube.3ds").string());
    ASSERT_EQ(reference.size(), 64u * 48u * 4u);
    std::set<std::array<int, 3>> colours;
    for (std::size_t at = 0; at < reference.size(); at += 4) {
        colours.insert({reference[at] / 32, reference[at + 1] / 32, reference[at + 2] / 32});
    }
    EXPECT_GE(colours.size(), 4u) << "black and three lit faces at least";
    for (const char* other : {"cube.obj", "cube.gltf"}) {
        const std::vector<std::uint8_t> pixels = rendered((mFolder / other).string());
        ASSERT_EQ(pixels.size(), reference.size()) << other;
        int differ = 0;
        for (std::size_t at = 0; at < pixels.size(); at += 4) {
            for (int k = 0; k < 3; ++k) {
                if (std::abs(pixels[at + k] - reference[at + k]) > 4) {
                    ++differ;
                    break;
                }
            }
        }
        EXPECT_LE(differ, 20) << other << " differs from 3DS in " << differ << " of 3072 pixels";
    }
}

}  // namespace
}  // namespace nevrik::graphics3d
