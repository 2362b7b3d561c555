#include "nevrik/graphics3d/loading/Translator3DS.h"

#include "nevrik/graphics3d/core/BufferLock.h"
#include "nevrik/graphics3d/core/ColourMaterial.h"
#include "nevrik/graphics3d/core/IndexMesh.h"
#include "nevrik/io/SystemFileFactory.h"
#include "nevrik/io/TranslatorFormatException.h"
#include "nevrik/io/TranslatorRoster.h"

#include "graphics/MemoryStream.h"
#include "graphics3d/Chunks3DS.h"
#include "graphics3d/GlFixture.h"
#include "graphics3d/ImageFiles.h"
#include "io/TempFolder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace nevrik::graphics3d {
namespace {

using namespace chunks;
using object::Pointer;

// The generator's model, written once per test program into a folder of
// its own (removed at exit), with what the generator reported writing.
struct Generated {
    Generated() {
        char made[] = "/tmp/nevrik-3ds-XXXXXX";
        if (mkdtemp(made) == nullptr) {
            return;
        }
        folder = made;
        const std::string command =
            std::string("'") + NEVRIK_MODELGEN + "' --triangles 3000 --output " + folder;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char line[512] = {};
            if (std::fgets(line, sizeof line, pipe) != nullptr) {
                const char* counts = std::strstr(line, ".3ds: ");
                if (counts == nullptr ||
                    std::sscanf(counts, ".3ds: %d objects, %d triangles", &objects, &triangles) != 2) {
                    objects = 0;
                }
            }
            pclose(pipe);
        }
    }
    ~Generated() {
        if (!folder.empty()) {
            std::filesystem::remove_all(folder);
        }
    }

    std::string folder;
    int objects = 0;
    int triangles = 0;
};

const Generated& generated() {
    static const Generated sGenerated;
    return sGenerated;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<float> vertexFloats(VertexBuffer& buffer) {
    BufferLock<VertexBuffer> lock(buffer, VertexBuffer::kRead);
    const auto* data = reinterpret_cast<const float*>(buffer.getData());
    return std::vector<float>(data, data + buffer.getVertexCount() * buffer.getStride() / sizeof(float));
}

std::vector<std::uint32_t> indices(IndexMesh& mesh) {
    IndexBuffer& buffer = *mesh.getIndexBuffer();
    BufferLock<IndexBuffer> lock(buffer, VertexBuffer::kRead);
    std::vector<std::uint32_t> values;
    for (std::uint32_t i = mesh.getRangeStart(); i < mesh.getRangeEnd(); ++i) {
        values.push_back(buffer.getIndex(i));
    }
    return values;
}

class Translator3DSTest : public GlFixture {
protected:
    void TearDown() override {
        mTranslator.reset();
        GlFixture::TearDown();
    }

    Pointer<Model> load(const std::string& bytes, std::uint32_t size = Translator3DS::kWholeStream) {
        testing::MemoryStream stream(bytes);
        return mTranslator->read(stream, size);
    }

    // The index mesh `index` of a model that must have it.
    static IndexMesh& mesh(const Pointer<Model>& model, int index) {
        return dynamic_cast<IndexMesh&>(*model->getMeshes()[index]);
    }

    static const float* colour(const Pointer<Model>& model, int index, ColourMaterial::Colour which) {
        Appearance* appearance = mesh(model, index).getAppearance();
        return dynamic_cast<ColourMaterial&>(*appearance->getMaterial()).getColour(which);
    }

    // Reads `bytes`, which must not load, and checks that nothing the failed
    // read made is still alive: only the translator holds its shared objects.
    void expectRefused(const std::string& bytes, std::uint32_t size = Translator3DS::kWholeStream) {
        EXPECT_THROW(load(bytes, size), io::TranslatorFormatException);
        EXPECT_EQ(mTranslator->getPlainShader()->getReferenceCount(), 1);
    }

    Pointer<Translator3DS> mTranslator = object::make<Translator3DS>();
};

TEST_F(Translator3DSTest, GeneratedModelHasEveryObjectGroupAndMaterial) {
    const Generated& run = generated();
    ASSERT_GT(run.objects, 0) << "the generator did not run";
    mTranslator->setTextureManager(
        object::make<TextureManager>(object::make<io::SystemFileFactory>(run.folder.c_str()).get()).get());
    const Pointer<Model> model = load(fileBytes(run.folder + "/f5e_05.3ds"));
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->className(), "Object:Resource:Model:StaticModel");
    EXPECT_EQ(model->getMatrixOffset(), 0);

    std::set<VertexBuffer*> objects;
    std::set<std::string> materials;
    std::uint32_t triangles = 0;
    for (const Pointer<Mesh>& each : model->getMeshes()) {
        auto& indexed = dynamic_cast<IndexMesh&>(*each);
        objects.insert(indexed.getVertexBuffer(0));
        triangles += (indexed.getRangeEnd() - indexed.getRangeStart()) / 3;
        Appearance* appearance = indexed.getAppearance();
        ASSERT_NE(appearance, nullptr);
        const std::string name = appearance->getName().c_str();
        materials.insert(name);
        const bool textured = name == "CAMOUFLAGE" || name == "INSIGNIA";
        EXPECT_EQ(appearance->getTexture(0) != nullptr, textured) << name;
        EXPECT_EQ(appearance->getShader(), textured ? static_cast<Shader*>(mTranslator->getTextureShader())
                                                    : mTranslator->getPlainShader());
        EXPECT_EQ(appearance->getBlendMode() == mTranslator->getBlendMode(), name == "CANOPY_GLASS") << name;
        if (textured) {
            EXPECT_EQ(appearance->getTexture(0)->getMinFilter(), Translator3DS::kMinFilter);
            EXPECT_EQ(appearance->getTexture(0)->getMagFilter(), Translator3DS::kMagFilter);
        }
        // Only objects with a textured group carry texture coordinates.
        if (textured) {
            EXPECT_NE(indexed.getVertexBuffer(0)->getComponentMask() & VertexFormat::kTextureArray, 0u);
        }
    }
    EXPECT_EQ(static_cast<int>(objects.size()), run.objects);
    EXPECT_EQ(static_cast<int>(triangles), run.triangles);
    EXPECT_EQ(materials, (std::set<std::string>{"CAMOUFLAGE", "INSIGNIA", "RADOME", "CANOPY_GLASS",
                                                "INTAKE_DUCT", "EXHAUST_METAL"}));
    const geometry::BoundingBox<float> box = model->getBounds().toBoundingBox();
    EXPECT_LT(box.min.x, box.max.x);
}

TEST_F(Translator3DSTest, ProbeAcceptsOnlyTheMainChunkAndRestoresThePosition) {
    const Generated& run = generated();
    auto files = object::make<io::SystemFileFactory>(run.folder.c_str());
    const Pointer<io::File> model = files->open("f5e_05.3ds", io::File::kRead);
    model->seek(0, io::File::kBegin);
    EXPECT_TRUE(mTranslator->probe(*model));
    EXPECT_EQ(model->getPosition(), 0);
    const Pointer<io::File> picture = files->open("f5e_camo.bmp", io::File::kRead);
    EXPECT_FALSE(mTranslator->probe(*picture));
    EXPECT_EQ(picture->getPosition(), 0);
    EXPECT_FALSE(mTranslator->write(model->getOutputStream(), *load(mainChunk(editor()))));
}

TEST_F(Translator3DSTest, RosterLoadsTheFixtureThroughItsFile) {
    io::TranslatorRoster<Model> roster;
    ASSERT_TRUE(roster.add(mTranslator.get()));
    mTranslator->setTextureManager(object::make<TextureManager>(imageFiles().get()).get());
    auto files = object::make<io::SystemFileFactory>(types::String((testData() / "models").c_str()));
    const Pointer<Model> model = roster.load(*files, "quad.3ds");
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->getMeshes().getCount(), 1);
    EXPECT_EQ(indices(mesh(model, 0)), (std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3}));
    Appearance& appearance = *mesh(model, 0).getAppearance();
    EXPECT_EQ(appearance.getName(), "paint");
    EXPECT_NE(appearance.getTexture(0), nullptr);
    EXPECT_NE(appearance.getTexture(1), nullptr);
    EXPECT_EQ(appearance.getBlendMode(), mTranslator->getBlendMode()) << "25% transparent, as a float";
    EXPECT_FLOAT_EQ(colour(model, 0, ColourMaterial::kDiffuse)[1], 0.6f);
    EXPECT_FLOAT_EQ(colour(model, 0, ColourMaterial::kEmission)[3], 0.75f);
    EXPECT_FLOAT_EQ(dynamic_cast<ColourMaterial&>(*appearance.getMaterial()).getShininess(), 30.0f);
}

TEST_F(Translator3DSTest, FilesWithoutAnEditorReadToNothing) {
    EXPECT_EQ(load(mainChunk()), nullptr);
    EXPECT_EQ(load(mainChunk(material("unused"))), nullptr);
    // Bytes after the main chunk are not the model's.
    EXPECT_EQ(load(mainChunk() + "trailing"), nullptr);
    const Pointer<Model> empty = load(mainChunk(editor()));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->getMeshes().getCount(), 0);
}

TEST_F(Translator3DSTest, BrokenChunkStructureIsAFormatError) {
    try {
        load(chunk(0x4D4C));
        ADD_FAILURE() << "a wrong first chunk was read";
    } catch (const io::TranslatorFormatException& e) {
        EXPECT_STREQ(e.what(), "TranslatorFormatException");
        EXPECT_STREQ(e.describe().c_str(), "3DS chunk 0x4D4C: TranslatorFormatException");
    }
    // A face naming a vertex the object lacks says in which chunk it was met.
    try {
        load(mainChunk(editor(meshObject(vertexList(3, floats({0, 0, 0, 1, 0, 0, 0, 1, 0})) +
                                         faceList(1, words({0, 1, 3, 0}), faceGroup("m", {0}))))));
        ADD_FAILURE() << "a face past the vertices was read";
    } catch (const io::TranslatorFormatException& e) {
        EXPECT_NE(std::string(e.describe().c_str()).rfind("3DS chunk 0x", 0), std::string::npos)
            << e.describe().c_str();
    }
    expectRefused("");
    expectRefused(header(0x4D4D, 5) + "x");              // length below the header
    expectRefused(header(0x4D4D, 0));                    // would not move on at all
    expectRefused(header(0x4D4D, 200) + editor());       // runs past the data
    expectRefused(mainChunk(header(0x3D3D, 20)));        // runs past its parent
    expectRefused(mainChunk(header(0x3D3D, 7) + "ab"));  // one stray byte in the main chunk
    expectRefused(mainChunk(editor() + "abc"));          // stray bytes at the end
    expectRefused(mainChunk(editor(meshObject(chunk(0x4160, floats({1, 2, 3}))))));  // short axes
    // Counts are weighed against their chunk before anything is allocated.
    expectRefused(mainChunk(editor(meshObject(vertexList(0xFFFF, floats({1, 2, 3}))))));
    expectRefused(mainChunk(editor(meshObject(faceList(0xFFFF, words({0, 1, 2, 0}))))));
    expectRefused(mainChunk(editor(meshObject(chunk(0x4130, text("m") + u16(9) + words({0}))))));
    // A shorter size than the data cuts the main chunk.
    const std::string valid = mainChunk(editor(triangleObject("m")));
    expectRefused(valid, static_cast<std::uint32_t>(valid.size() - 1));
    EXPECT_NE(load(valid, static_cast<std::uint32_t>(valid.size())), nullptr);
}

TEST_F(Translator3DSTest, FacesAndGroupsNamingMissingDataAreRefused) {
    const std::string positions = vertexList(3, floats({0, 0, 0, 1, 0, 0, 0, 1, 0}));
    expectRefused(
        mainChunk(editor(meshObject(positions + faceList(1, words({0, 1, 3, 0}), faceGroup("m", {0}))))));
    expectRefused(
        mainChunk(editor(meshObject(positions + faceList(1, words({0, 1, 2, 0}), faceGroup("m", {1}))))));
    // A group read before the face list is checked against it too.
    expectRefused(
        mainChunk(editor(meshObject(positions + faceGroup("m", {0, 1}) + faceList(1, words({0, 1, 2, 0}))))));
    // The positions count the vertices, whatever the texture coordinates.
    const std::string eight =
        vertexList(8, std::string(8 * 12, '\0')) + texCoordList(9, std::string(9 * 8, '\0'));
    expectRefused(
        mainChunk(editor(meshObject(eight + faceList(1, words({0, 1, 8, 0}), faceGroup("m", {0}))))));
    expectRefused(mainChunk(editor(meshObject(eight + faceList(1, words({0, 1, 8, 0}))))));
}

TEST_F(Translator3DSTest, EveryPrefixOfAValidFileIsRefused) {
    const std::string valid =
        mainChunk(editor(material("m", chunk(0xA020, rgbBytes(1, 2, 3)) + chunk(0xA050, percentage(25))) +
                         meshObject(vertexList(3, floats({0, 0, 0, 1, 0, 0, 0, 1, 0})) +
                                    texCoordList(3, floats({0, 0, 1, 0, 0, 1})) +
                                    faceList(1, words({0, 1, 2, 7}), faceGroup("m", {0})))));
    ASSERT_NE(load(valid), nullptr);
    for (std::size_t length = 0; length < valid.size(); ++length) {
        const std::string prefix = valid.substr(0, length);
        expectRefused(prefix);
        // Claiming the whole length over the cut data fails on the short reads.
        expectRefused(prefix, static_cast<std::uint32_t>(valid.size()));
    }
}

TEST_F(Translator3DSTest, FlippedBytesLoadOrAreRefusedWithoutLeaks) {
    const std::string small =
        mainChunk(editor(material("m", chunk(0xA010, rgbBytes(9, 9, 9))) +
                         meshObject(vertexList(4, floats({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0})) +
                                    faceList(2, words({0, 1, 2, 0, 1, 3, 2, 0}), faceGroup("m", {0, 1})))));
    std::mt19937 random(1234);
    int loaded = 0;
    int refused = 0;
    for (int round = 0; round < 2000; ++round) {
        std::string bytes = small;
        for (int flips = 1 + round % 3; flips > 0; --flips) {
            bytes[random() % bytes.size()] = static_cast<char>(random());
        }
        try {
            loaded += load(bytes) != nullptr ? 1 : 0;
        } catch (const io::TranslatorException&) {
            ++refused;
        }
        ASSERT_EQ(mTranslator->getPlainShader()->getReferenceCount(), 1) << "round " << round;
    }
    EXPECT_GT(loaded, 0);
    EXPECT_GT(refused, 0);
}

TEST_F(Translator3DSTest, MaterialColoursTransparencyAndShininess) {
    const std::string body =
        chunk(0xA010, rgbBytes(255, 0, 51) + chunk(0x0012, std::string("\x01\x02\x03", 3))) +
        chunk(0xA020,
              chunk(0x0012, std::string("\x01\x02\x03", 3)) + chunk(0x0010, floats({0.5f, 0.25f, 1}))) +
        // A float colour cut short is passed over for the next one.
        chunk(0xA030, chunk(0x0010, floats({9, 9})) + rgbBytes(0, 255, 0)) + chunk(0xA084, percentage(40)) +
        chunk(0xA040, chunk(0x0031, f32(40))) + chunk(0xA050, percentage(25));
    const Pointer<Model> model = load(mainChunk(editor(material("glass", body) + triangleObject("glass"))));
    ASSERT_NE(model, nullptr);
    const auto expectColour = [&](ColourMaterial::Colour which, float r, float g, float b) {
        const float* rgba = colour(model, 0, which);
        EXPECT_FLOAT_EQ(rgba[0], r);
        EXPECT_FLOAT_EQ(rgba[1], g);
        EXPECT_FLOAT_EQ(rgba[2], b);
        EXPECT_FLOAT_EQ(rgba[3], 0.75f);
    };
    expectColour(ColourMaterial::kAmbient, 1.0f, 0.0f, 0.2f);
    expectColour(ColourMaterial::kDiffuse, 0.5f, 0.25f, 1.0f);
    expectColour(ColourMaterial::kSpecular, 0.0f, 1.0f, 0.0f);
    expectColour(ColourMaterial::kEmission, 0.0f, 0.0f, 0.0f);  // a percentage is no colour
    Appearance& appearance = *mesh(model, 0).getAppearance();
    EXPECT_NEAR(dynamic_cast<ColourMaterial&>(*appearance.getMaterial()).getShininess(), 40.0f, 1e-4f);
    EXPECT_EQ(appearance.getName(), "glass");
    ASSERT_EQ(appearance.getBlendMode(), mTranslator->getBlendMode());
    EXPECT_EQ(appearance.getBlendMode()->getSource(), 770u);
    EXPECT_EQ(appearance.getBlendMode()->getDestination(), 771u);
    ASSERT_EQ(appearance.getDepthMode(), mTranslator->getDepthMode());
    EXPECT_FALSE(appearance.getDepthMode()->getWriteMask());
    EXPECT_EQ(appearance.getShader(), mTranslator->getPlainShader());
    EXPECT_EQ(mTranslator->getPlainShader()->getArrayMask(), 0x5u);
    EXPECT_EQ(mTranslator->getTextureShader()->getArrayMask(), 0x1005u);
    EXPECT_EQ(mTranslator->getPlainShader()->getFlags(), 7u);
}

TEST_F(Translator3DSTest, OpaqueMaterialsKeepDefaultsWithFullAlphaAndNoBlending) {
    const Pointer<Model> model = load(
        mainChunk(editor(material("plain", chunk(0xA010, chunk(0x0012, "abc"))) + triangleObject("plain"))));
    ASSERT_NE(model, nullptr);
    const float* ambient = colour(model, 0, ColourMaterial::kAmbient);
    EXPECT_FLOAT_EQ(ambient[0], 0.0f) << "a colour chunk with no known colour gives black";
    EXPECT_FLOAT_EQ(ambient[3], 1.0f);
    EXPECT_FLOAT_EQ(colour(model, 0, ColourMaterial::kDiffuse)[0], 1.0f);
    EXPECT_FLOAT_EQ(colour(model, 0, ColourMaterial::kDiffuse)[3], 1.0f);
    // The context's own opaque blend mode, which the appearance starts with.
    ASSERT_NE(mesh(model, 0).getAppearance()->getBlendMode(), mTranslator->getBlendMode());
    EXPECT_TRUE(mesh(model, 0).getAppearance()->getBlendMode()->isOpaque());
    EXPECT_EQ(mesh(model, 0).getAppearance()->getDepthMode(), nullptr);
}

TEST_F(Translator3DSTest, MaterialsAreFoundByNameAndReplacedByLaterOnes) {
    // 62 characters and the terminator: the longest name a group holds whole.
    const std::string longest(62, 'n');
    const std::string file =
        mainChunk(editor(material("twin", chunk(0xA020, rgbBytes(255, 0, 0))) + triangleObject("twin") +
                         material("twin", chunk(0xA020, rgbBytes(0, 0, 255))) + triangleObject("twin") +
                         triangleObject("unknown") + material(longest) + triangleObject(longest)));
    const Pointer<Model> model = load(file);
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->getMeshes().getCount(), 4);
    EXPECT_FLOAT_EQ(colour(model, 0, ColourMaterial::kDiffuse)[0], 1.0f);
    EXPECT_FLOAT_EQ(colour(model, 1, ColourMaterial::kDiffuse)[0], 0.0f);
    EXPECT_FLOAT_EQ(colour(model, 1, ColourMaterial::kDiffuse)[2], 1.0f);
    EXPECT_EQ(mesh(model, 2).getAppearance(), nullptr);
    ASSERT_NE(mesh(model, 3).getAppearance(), nullptr);
    EXPECT_EQ(mesh(model, 3).getAppearance()->getName(), longest.c_str());

    // Materials stay with their file.
    const Pointer<Model> next = load(mainChunk(editor(triangleObject("twin"))));
    EXPECT_EQ(mesh(next, 0).getAppearance(), nullptr);
}

TEST_F(Translator3DSTest, TextureMapsFillTheirSlotsThroughTheManager) {
    mTranslator->setTextureManager(object::make<TextureManager>(imageFiles().get()).get());
    const std::string maps =
        chunk(0xA200, chunk(0xA300, text("missing.bmp")) + chunk(0xA300, text("rgb24.bmp"))) +
        chunk(0xA230, chunk(0xA300, text("rgb24.tga"))) + chunk(0xA230, chunk(0xA300, text("missing.tga")));
    const std::string broken = chunk(0xA200, chunk(0xA300, text("missing.bmp"))) + chunk(0xA200);
    const Pointer<Model> model =
        load(mainChunk(editor(material("maps", maps) + triangleObject("maps") + material("broken", broken) +
                              triangleObject("broken"))));
    ASSERT_NE(model, nullptr);
    Appearance& textured = *mesh(model, 0).getAppearance();
    Texture* diffuse = textured.getTexture(0);
    ASSERT_NE(diffuse, nullptr);
    EXPECT_EQ(diffuse, mTranslator->getTextureManager()->get("rgb24.bmp"));
    EXPECT_EQ(diffuse->getMinFilter(), 9987u);
    EXPECT_EQ(diffuse->getMagFilter(), 9729u);
    // A bump map that cannot be loaded leaves the one before it.
    EXPECT_EQ(textured.getTexture(1), mTranslator->getTextureManager()->get("rgb24.tga"));
    EXPECT_EQ(textured.getShader(), mTranslator->getTextureShader());
    Appearance& untextured = *mesh(model, 1).getAppearance();
    EXPECT_EQ(untextured.getTexture(0), nullptr);
    EXPECT_EQ(untextured.getShader(), mTranslator->getPlainShader());
}

TEST_F(Translator3DSTest, VerticesCarryPositionsSmoothNormalsAndFlippedV) {
    // Vertex 0 is shared by a large face in the xy plane and a small one in
    // the xz plane; vertex 4 belongs to no face.
    const std::string object = vertexList(5, floats({0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, -1, 7, 7, 7})) +
                               texCoordList(6, floats({0.5f, 0.25f, 0, 0, 0, 0, 0, 0, 0, 1, 9, 9})) +
                               chunk(0x4160, std::string(48, '\0')) +
                               faceList(3, words({0, 1, 2, 0, 0, 3, 1, 0, 1, 1, 1, 0}),
                                        faceGroup("a", {1}) + faceGroup("none", {}) + faceGroup("b", {0, 2}));
    const Pointer<Model> model = load(mainChunk(editor(meshObject(object))));
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->getMeshes().getCount(), 2);
    IndexMesh& first = mesh(model, 0);
    IndexMesh& second = mesh(model, 1);
    EXPECT_EQ(first.getVertexBuffer(0), second.getVertexBuffer(0));
    EXPECT_EQ(first.getIndexBuffer(), second.getIndexBuffer());
    EXPECT_EQ(first.getPrimitive(), 4u);
    EXPECT_EQ(indices(first), (std::vector<std::uint32_t>{0, 3, 1}));
    EXPECT_EQ(indices(second), (std::vector<std::uint32_t>{0, 1, 2, 1, 1, 1}));
    EXPECT_EQ(second.getRangeStart(), 3u);
    EXPECT_EQ(second.getIndexBuffer()->getIndexCount(), 9u);

    VertexBuffer& buffer = *first.getVertexBuffer(0);
    ASSERT_EQ(buffer.getVertexCount(), 5u) << "the positions count the vertices";
    ASSERT_EQ(buffer.getStride(), 32u);
    EXPECT_EQ(buffer.getComponentMask(), 0xFF005u);
    const std::vector<float> v = vertexFloats(buffer);
    const auto vertex = [&](int i) { return std::vector<float>(v.begin() + i * 8, v.begin() + i * 8 + 8); };
    // Face normals (0, 0, 4) and (0, -2, 0) summed, then made unit length.
    const float n = 1.0f / std::sqrt(5.0f);
    const std::vector<float> v0 = vertex(0);
    EXPECT_FLOAT_EQ(v0[3], 0.0f);
    EXPECT_FLOAT_EQ(v0[4], -n);
    EXPECT_FLOAT_EQ(v0[5], 2 * n);
    EXPECT_FLOAT_EQ(v0[6], 0.5f);
    EXPECT_FLOAT_EQ(v0[7], 0.75f);
    EXPECT_EQ(vertex(2), (std::vector<float>{0, 2, 0, 0, 0, 1, 0, 1}));
    EXPECT_EQ(vertex(4), (std::vector<float>{7, 7, 7, 0, 0, 1, 0, 0})) << "a vertex of no face faces +z";
    EXPECT_FLOAT_EQ(model->getBounds().toBoundingBox().min.z, -1.0f);
}

TEST_F(Translator3DSTest, ObjectsWithoutGeometryDrawNothing) {
    const std::string positions = vertexList(3, floats({0, 0, 0, 1, 0, 0, 0, 1, 0}));
    const Pointer<Model> model =
        load(mainChunk(editor(meshObject(positions + faceList(0, "")) + meshObject(positions) +
                              meshObject(faceList(1, words({0, 1, 2, 0}), faceGroup("m", {0}))) +
                              chunk(0x4000, text("light") + chunk(0x4600)))));
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->getMeshes().getCount(), 0);
}

TEST_F(Translator3DSTest, EightPositionsWithSixTextureCoordinatesMakeEightVertices) {
    const std::string object =
        vertexList(8, floats({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0, 2, 0, 0, 2, 1, 0, 3, 3, 3, 4, 4, 4})) +
        texCoordList(6, floats({0, 0, 1, 0, 0, 1, 1, 1, 0, 0, 1, 0})) +
        faceList(2, words({0, 1, 2, 0, 3, 4, 5, 0}), faceGroup("m", {0, 1}));
    const Pointer<Model> model = load(mainChunk(editor(meshObject(object))));
    ASSERT_NE(model, nullptr);
    VertexBuffer& buffer = *mesh(model, 0).getVertexBuffer(0);
    EXPECT_EQ(buffer.getVertexCount(), 8u);
    const std::vector<float> v = vertexFloats(buffer);
    ASSERT_EQ(v.size(), 8u * 8u);
    EXPECT_EQ(std::vector<float>(v.begin() + 56, v.end()), (std::vector<float>{4, 4, 4, 0, 0, 1, 0, 1}))
        << "a vertex past the texture coordinates gets (0, 0), v flipped";
}

TEST_F(Translator3DSTest, UntexturedObjectsHaveNoTextureCoordinates) {
    const Pointer<Model> model = load(mainChunk(editor(triangleObject("m"))));
    ASSERT_NE(model, nullptr);
    VertexBuffer& buffer = *mesh(model, 0).getVertexBuffer(0);
    EXPECT_EQ(buffer.getStride(), 24u);
    EXPECT_EQ(buffer.getComponentMask(), 0x5u);
    EXPECT_EQ(vertexFloats(buffer),
              (std::vector<float>{0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 1}));
}

// Random objects whose faces sit in no group, one group or several, next to
// what a file carries besides meshes: every face is drawn exactly once, those
// of no group with the default material in a mesh of their own.
TEST_F(Translator3DSTest, EveryFaceIsDrawnOnceAndLooseOnesInGrey) {
    std::mt19937 random(18);
    const std::string skipped =
        chunk(0x4000, text("lamp") + chunk(0x4600, floats({1, 2, 3}))) +
        chunk(0x4000, text("eye") + chunk(0x4700, floats({1, 2, 3, 4, 5, 6, 0, 45}))) +
        chunk(0x4000, text("empty") + chunk(0x4100, vertexList(1, floats({1, 1, 1}))));
    for (int round = 0; round < 40; ++round) {
        const int vertices = 3 + static_cast<int>(random() % 20);
        const int faces = 1 + static_cast<int>(random() % 30);
        std::string positions;
        for (int i = 0; i < 3 * vertices; ++i) {
            positions += f32(static_cast<float>(random() % 16));
        }
        std::string faceWords;
        std::multiset<std::vector<std::uint32_t>> expected;
        for (int face = 0; face < faces; ++face) {
            std::vector<std::uint32_t> corners;
            for (int k = 0; k < 3; ++k) {
                corners.push_back(random() % vertices);
                faceWords += u16(corners.back());
            }
            faceWords += u16(0);
            expected.insert(corners);
        }
        // Up to three groups of random faces (repeats allowed), one naming
        // no material; the rest of the faces belong to none.
        std::string groups;
        std::set<std::uint32_t> grouped;
        for (int group = static_cast<int>(random() % 4); group > 0; --group) {
            std::string numbers;
            const int count = static_cast<int>(random() % faces);
            for (int i = 0; i < count; ++i) {
                const std::uint32_t face = random() % faces;
                grouped.insert(face);
                numbers += u16(face);
            }
            groups += chunk(0x4130, text(group == 1 ? "unknown" : "red") + u16(count) + numbers);
        }
        const std::string file = mainChunk(
            editor(material("red", chunk(0xA020, rgbBytes(255, 0, 0))) + skipped +
                   meshObject(vertexList(vertices, positions) + faceList(faces, faceWords, groups))) +
            chunk(0xB000, chunk(0xB002, u16(1))));
        const Pointer<Model> model = load(file);
        ASSERT_NE(model, nullptr) << "round " << round;
        std::multiset<std::vector<std::uint32_t>> drawn;
        int loose = 0;
        for (int index = 0; index < model->getMeshes().getCount(); ++index) {
            IndexMesh& each = mesh(model, index);
            EXPECT_EQ(each.getVertexBuffer(0)->getVertexCount(), static_cast<std::uint32_t>(vertices));
            EXPECT_EQ(each.getIndexBuffer()->getIndexCount(), 3u * faces);
            const std::vector<std::uint32_t> values = indices(each);
            for (std::size_t i = 0; i < values.size(); i += 3) {
                drawn.insert({values[i], values[i + 1], values[i + 2]});
            }
            Appearance* appearance = each.getAppearance();
            if (appearance == nullptr || appearance->getName() == "red") {
                continue;
            }
            ++loose;
            EXPECT_EQ(index, model->getMeshes().getCount() - 1) << "the loose faces come last";
            EXPECT_EQ(values.size(), 3 * (faces - grouped.size()));
            const float* diffuse = colour(model, index, ColourMaterial::kDiffuse);
            EXPECT_EQ(std::vector<float>(diffuse, diffuse + 4),
                      (std::vector<float>{0.75f, 0.75f, 0.75f, 1.0f}));
            EXPECT_EQ(appearance->getShader(), mTranslator->getPlainShader());
            EXPECT_TRUE(appearance->getBlendMode()->isOpaque());
        }
        EXPECT_EQ(loose, grouped.size() < static_cast<std::size_t>(faces) ? 1 : 0) << "round " << round;
        EXPECT_EQ(drawn, expected) << "round " << round;
    }
}

// Texture names as other systems write them: upper case, with folders or a
// drive, either slash. Only base names are looked for, in the model's folder
// alone: the factory is never asked for anything else.
TEST_F(Translator3DSTest, TextureNamesAreBaseNamesFoundInTheModelsFolderWhateverTheirCase) {
    const testing::TempFolder temp;
    const std::filesystem::path& root = temp.path();
    std::filesystem::create_directories(root / "model");
    std::filesystem::copy_file(NEVRIK_TEST_DATA "/images/rgb24.bmp", root / "model" / "skin.bmp");
    std::filesystem::copy_file(NEVRIK_TEST_DATA "/images/rgb24.tga", root / "model" / "Bump.Tga");
    std::filesystem::copy_file(NEVRIK_TEST_DATA "/images/rgb24.bmp", root / "secret.bmp");
    std::ofstream(root / "model" / "broken.bmp") << "BM not a picture";

    const auto files = object::make<RecordingFiles>(types::String((root / "model").c_str()));
    mTranslator->setTextureManager(object::make<TextureManager>(files.get()).get());
    const auto maps = [](const char* diffuse, const char* bump) {
        return chunk(0xA200, chunk(0xA300, text(diffuse))) + chunk(0xA230, chunk(0xA300, text(bump)));
    };
    const Pointer<Model> model = load(mainChunk(
        editor(material("found", maps("C:\\MAPS\\SKIN.BMP", "../textures/bump.tga")) +
               triangleObject("found") + material("outside", maps("../secret.bmp", "..\\..\\SECRET.BMP")) +
               triangleObject("outside") + material("lost", maps("missing.png", "broken.bmp")) +
               triangleObject("lost") + material("odd", maps("maps/..", "")) + triangleObject("odd"))));
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->getMeshes().getCount(), 4);
    EXPECT_NE(mesh(model, 0).getAppearance()->getTexture(0), nullptr);
    EXPECT_NE(mesh(model, 0).getAppearance()->getTexture(1), nullptr);
    for (int index = 1; index < 4; ++index) {
        EXPECT_EQ(mesh(model, index).getAppearance()->getTexture(0), nullptr) << index;
        EXPECT_EQ(mesh(model, index).getAppearance()->getTexture(1), nullptr) << index;
    }
    for (const std::string& name : files->asked) {
        EXPECT_EQ(name.find_first_of("/\\:"), std::string::npos) << name;
        EXPECT_NE(name, "..");
    }
    EXPECT_NE(std::find(files->asked.begin(), files->asked.end(), "skin.bmp"), files->asked.end());

    // The secret is found in the model's folder only by its base name, and
    // that folder has none; every failure is reported once, with its reason.
    // An empty map name names no texture and is no failure.
    std::vector<std::string> missing;
    for (const ModelTranslator::MissingTexture& each : mTranslator->getMissingTextures()) {
        missing.push_back(std::string(each.name.c_str()) + ": " + each.reason.c_str());
    }
    EXPECT_EQ(missing, (std::vector<std::string>{
                           "../secret.bmp: FileNotFoundException",
                           "..\\..\\SECRET.BMP: FileNotFoundException", "missing.png: FileNotFoundException",
                           "broken.bmp: TranslatorFormatException", "maps/..: FileNotFoundException"}));
    // The list belongs to the model read last.
    load(mainChunk(editor(triangleObject("m"))));
    EXPECT_EQ(mTranslator->getMissingTextures().getCount(), 0);
}

}  // namespace
}  // namespace nevrik::graphics3d
