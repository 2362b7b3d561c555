#include "nevrik/graphics3d/loading/ModelRoster.h"

#include "nevrik/graphics3d/core/IndexMesh.h"
#include "nevrik/io/FileNotFoundException.h"
#include "nevrik/io/TranslatorFormatException.h"

#include "graphics3d/Chunks3DS.h"
#include "graphics3d/GlFixture.h"
#include "graphics3d/ImageFiles.h"
#include "io/TempFolder.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace nevrik::graphics3d {
namespace {

using namespace chunks;
using object::Pointer;

using ModelRosterTest = GlFixture;

std::vector<std::string> missingNames(const ModelRoster& roster) {
    std::vector<std::string> names;
    for (const ModelTranslator::MissingTexture& each : roster.getMissingTextures()) {
        names.push_back(each.name.c_str());
    }
    return names;
}

// A model found by path, its reader by content whatever the file is called,
// its textures in its own folder; failures name what went wrong.
TEST_F(ModelRosterTest, ReadsAnyModelByPathWithTexturesFromItsFolder) {
    const testing::TempFolder temp;
    const std::filesystem::path folder = temp.path() / "ship";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(NEVRIK_TEST_DATA "/images/rgb24.bmp", folder / "hull.bmp");
    const std::string maps = chunk(0xA200, chunk(0xA300, text("MAPS\\HULL.BMP"))) +
                             chunk(0xA230, chunk(0xA300, text("rgb24.tga")));
    std::ofstream(folder / "ship.model", std::ios::binary)
        << mainChunk(editor(material("hull", maps) + triangleObject("hull")));
    std::ofstream(folder / "notes.txt") << "no model here";

    ModelRoster roster;
    EXPECT_EQ(roster.className(), "Object:TranslatorRoster:ModelRoster");
    const Pointer<Model> model = roster.readFile((folder / "ship.model").c_str());
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->getMeshes().getCount(), 1);
    const Appearance& appearance = *dynamic_cast<IndexMesh&>(*model->getMeshes()[0]).getAppearance();
    EXPECT_NE(appearance.getTexture(0), nullptr);
    EXPECT_EQ(appearance.getTexture(1), nullptr) << "the image folder is not the model's";
    EXPECT_EQ(missingNames(roster), std::vector<std::string>{"rgb24.tga"});

    // Relative to the current directory, and the fixture whose textures
    // live elsewhere: both reported missing.
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(testData());
    const Pointer<Model> quad = roster.readFile("models/quad.3ds");
    std::filesystem::current_path(previous);
    ASSERT_NE(quad, nullptr);
    EXPECT_EQ(quad->getMeshes().getCount(), 1);
    EXPECT_EQ(missingNames(roster).size(), 2u);

    EXPECT_THROW(roster.readFile((folder / "notes.txt").c_str()), io::TranslatorFormatException);
    EXPECT_TRUE(roster.getMissingTextures().isEmpty());
    EXPECT_THROW(roster.readFile((folder / "absent.3ds").c_str()), io::FileNotFoundException);
    EXPECT_THROW(roster.readFile(""), io::IOException);
}

// Every failure names the file once, whichever layer it comes from: the
// roster for content no reader knows or a file without a model, the file layer for a file it cannot
// open, the roster again for a reader's failure deep inside the file (all
// of them IOExceptions).
TEST_F(ModelRosterTest, FailuresNameTheFileOnce) {
    const testing::TempFolder temp;
    temp.write("notes.txt", "no model here");
    const std::string whole = mainChunk(editor(material("hull", "") + triangleObject("hull")));
    temp.write("cut.3ds", whole.substr(0, whole.size() / 2));
    const auto failure = [](const std::string& path) {
        try {
            ModelRoster().readFile(path.c_str());
        } catch (const io::IOException& error) {
            return std::string(error.describe().c_str());
        }
        return std::string("no failure");
    };
    temp.write("empty.3ds", mainChunk(""));
    EXPECT_EQ(failure(temp / "notes.txt"), temp / "notes.txt" + ": " + ModelRoster::kUnknownFormat);
    EXPECT_EQ(failure(temp / "empty.3ds"), temp / "empty.3ds" + ": " + ModelRoster::kNoModel);
    for (const std::string& path : {temp / "absent.obj", temp / "cut.3ds", temp / "notes.txt"}) {
        const std::string text = failure(path);
        EXPECT_EQ(text.rfind(path + ": ", 0), 0u) << text;
        EXPECT_EQ(text.find(path, 1), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace nevrik::graphics3d
