#include "nevrik/graphics3d/loading/TranslatorOBJ.h"

#include "nevrik/graphics3d/core/BufferLock.h"
#include "nevrik/graphics3d/core/ColourMaterial.h"
#include "nevrik/graphics3d/core/IndexMesh.h"
#include "nevrik/graphics3d/loading/ModelRoster.h"
#include "nevrik/io/SystemFileFactory.h"
#include "nevrik/io/TranslatorFormatException.h"

#include "graphics/MemoryStream.h"
#include "graphics3d/DrawnTriangles.h"
#include "graphics3d/ModelReaderFixture.h"
#include "io/TempFolder.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace nevrik::graphics3d {
namespace {

using object::Pointer;

using TranslatorOBJTest = ModelReaderFixture<TranslatorOBJ>;

// A quad and a triangle of one material, one triangle of none, corners in
// every index form; the library and its texture named as other systems do.
TEST_F(TranslatorOBJTest, MeshesMaterialsAndTexturesAsWritten) {
    std::filesystem::copy_file(NEVRIK_TEST_DATA "/images/rgb24.bmp", mFolder / "skin.bmp");
    std::ofstream(mFolder / "paint.mtl")
        << "newmtl red\nKa 0.1 0 0\nKd 1 0 0\nKs 0 1 0\nNs 40\nd 0.5\n"
           "map_Kd C:\\maps\\SKIN.BMP\nnewmtl blue\nKd 0 0 1\nmap_Kd gone.png\n";
    const Pointer<Model> model = load(
        "# made by hand\nmtllib ..\\lib\\Paint.MTL\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 5 5 5\n"
        "vt 0 0\nvt 1 0\nvt 1 1\nvn 0 0 1\n"
        "o first\nusemtl red\nf 1/1/1 2/2/1 3/3/1 4/1/1\nf -5//-1 -3//-1 -1//-1\n"
        "usemtl blue\nf 5 1 2\n"
        "o second\nusemtl\nf 1 3 5\nl 1 2\n");
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->getMeshes().getCount(), 3);
    // The quad is cut into two triangles, whichever diagonal the parser takes.
    const std::multiset<Triangle> red = triangles(mesh(model, 0));
    EXPECT_EQ(red.size(), 3u);
    EXPECT_EQ(red.count({0, 0, 0, 1, 1, 0, 5, 5, 5}), 1u);
    EXPECT_EQ(triangles(mesh(model, 1)), (std::multiset<Triangle>{{5, 5, 5, 0, 0, 0, 1, 0, 0}}));
    EXPECT_EQ(triangles(mesh(model, 2)), (std::multiset<Triangle>{{0, 0, 0, 1, 1, 0, 5, 5, 5}}));

    Appearance& painted = *mesh(model, 0).getAppearance();
    EXPECT_EQ(painted.getName(), "red");
    const auto& paint = dynamic_cast<ColourMaterial&>(*painted.getMaterial());
    EXPECT_EQ(std::vector<float>(paint.getColour(ColourMaterial::kDiffuse),
                                 paint.getColour(ColourMaterial::kDiffuse) + 4),
              (std::vector<float>{1, 0, 0, 0.5f}));
    EXPECT_FLOAT_EQ(paint.getColour(ColourMaterial::kSpecular)[1], 1.0f);
    EXPECT_FLOAT_EQ(paint.getShininess(), 40.0f);
    EXPECT_NE(painted.getTexture(0), nullptr);
    EXPECT_EQ(painted.getShader(), mTranslator->getTextureShader());
    EXPECT_FALSE(painted.getBlendMode()->isOpaque());
    EXPECT_EQ(mesh(model, 1).getAppearance()->getShader(), mTranslator->getPlainShader());
    const auto& grey = dynamic_cast<ColourMaterial&>(*mesh(model, 2).getAppearance()->getMaterial());
    EXPECT_FLOAT_EQ(grey.getColour(ColourMaterial::kDiffuse)[0], ModelTranslator::kDefaultGrey);
    ASSERT_EQ(mTranslator->getMissingTextures().getCount(), 1);
    EXPECT_EQ(mTranslator->getMissingTextures()[0].name, "gone.png");

    // Texture coordinates for every vertex once any has them, v flipped;
    // corners without a normal get their faces'.
    VertexBuffer& buffer = *mesh(model, 0).getVertexBuffer(0);
    EXPECT_EQ(buffer.getComponentMask(), 0xFF005u);
    BufferLock<VertexBuffer> lock(buffer, VertexBuffer::kRead);
    const auto* first = reinterpret_cast<const float*>(buffer.getData());
    EXPECT_EQ(std::vector<float>(first, first + 8), (std::vector<float>{0, 0, 0, 0, 0, 1, 0, 1}));
}

// Counts and indices the text does not back are refused with what was
// wrong; any cut or damage of a valid file loads or is refused.
TEST_F(TranslatorOBJTest, HostileTextIsRefusedWithTheReason) {
    const std::string three = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\n";
    const std::pair<std::string, std::string> bad[] = {
        {three + "f 1 2 4\n", "position 4 of 3"},
        {three + "f 1/2 2/1 3/1\n", "texture coordinate 2 of 1"},
        {three + "f 1//9 2//1 3//1\n", "normal 9 of 1"},
        {three + "f -4 1 2\n", "position"},
        {"f 1 2 3\n", "position 1 of 0"},
    };
    for (const auto& [text, reason] : bad) {
        try {
            load(text);
            ADD_FAILURE() << text;
        } catch (const io::TranslatorFormatException& e) {
            EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(load(three + "l 1 2\n"), nullptr) << "nothing to draw";

    const std::string valid = three + "usemtl none\nf 1/1/1 2/1/1 3/1/1\nf 3 2 1\n";
    ASSERT_NE(load(valid), nullptr);
    std::mt19937 random(21);
    for (int round = 0; round < 300; ++round) {
        std::string text = valid.substr(0, random() % valid.size());
        if (round % 2 == 1 && !text.empty()) {
            text[random() % text.size()] = "0123456789-/ \nfv#"[random() % 17];
        }
        try {
            load(text);
        } catch (const io::TranslatorException&) {
        }
    }
}

TEST_F(TranslatorOBJTest, ProbedByContentAndReadThroughTheRoster) {
    std::ofstream(mFolder / "shape.dat") << "# no extension tells\n\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
    std::ofstream(mFolder / "comments.txt") << "# only\n# comments\n";
    std::ofstream(mFolder / "words.txt") << "vertices are nice\n";
    std::ofstream(mFolder / "binary.bin") << std::string("v \0\1\2", 5);
    const auto files = object::make<io::SystemFileFactory>(mFolder.c_str());
    EXPECT_TRUE(mTranslator->probe(*files->open("shape.dat", io::File::kRead)));
    for (const char* name : {"comments.txt", "words.txt", "binary.bin"}) {
        const Pointer<io::File> file = files->open(name, io::File::kRead);
        EXPECT_FALSE(mTranslator->probe(*file)) << name;
        EXPECT_EQ(file->getPosition(), 0);
    }
    ModelRoster roster;
    const Pointer<Model> model = roster.readFile((mFolder / "shape.dat").c_str());
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(triangles(mesh(model, 0)), (std::multiset<Triangle>{{0, 0, 0, 1, 0, 0, 0, 1, 0}}));
}

}  // namespace
}  // namespace nevrik::graphics3d
