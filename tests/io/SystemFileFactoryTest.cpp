#include "nevrik/io/SystemFileFactory.h"

#include "io/TempFolder.h"
#include "nevrik/io/FileNotFoundException.h"
#include "nevrik/io/IOException.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <unistd.h>

namespace nevrik::io {
namespace {

using object::Pointer;

// The class path (after "Object:Exception:") and message of what `call` throws.
template <class Call>
std::string failureOf(Call call) {
    try {
        call();
    } catch (const IOException& error) {
        return std::string(error.className().c_str()).substr(sizeof "Object:Exception:" - 1) + " / " +
               error.getMessage().c_str();
    }
    return "nothing";
}

class SystemFileFactoryTest : public ::testing::Test {
protected:
    testing::TempFolder mFolder;
    SystemFileFactory mFactory{mFolder.path().c_str()};
};

TEST_F(SystemFileFactoryTest, MissingFileIsFileNotFoundButMissingFolderOrAFolderIsPlainIOException) {
    EXPECT_EQ(failureOf([&] { mFactory.open("absent", File::kRead); }),
              "IOException:FileNotFoundException / The system cannot find the file specified.");
    EXPECT_EQ(failureOf([&] { mFactory.open("absent/file", File::kRead); }), "IOException / IOException");
    EXPECT_EQ(failureOf([&] { mFactory.create("absent/file"); }), "IOException / IOException");
    std::filesystem::create_directory(mFolder / "folder");
    EXPECT_EQ(failureOf([&] { mFactory.open("folder", File::kRead); }), "IOException / IOException");
}

TEST_F(SystemFileFactoryTest, FailuresNameTheFileAndKeepTheirClassThroughAddedContext) {
    const std::string path = (std::filesystem::path(mFolder.path()) / "absent.3ds").string();
    try {
        try {
            mFactory.open("absent.3ds", File::kRead);
            FAIL() << "opened a missing file";
        } catch (IOException& error) {
            // A layer above adds what it was doing and rethrows the same object.
            error.addContext("Cannot load the model");
            throw;
        }
    } catch (const FileNotFoundException& error) {
        EXPECT_STREQ(error.getMessage().c_str(), "The system cannot find the file specified.");
        EXPECT_EQ(std::string(error.describe().c_str()),
                  "Cannot load the model: " + path + ": The system cannot find the file specified.");
        return;
    }
    FAIL() << "the class was lost";
}

TEST_F(SystemFileFactoryTest, PermissionDenialIsPlainIOException) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root opens files whatever their permission bits say";
    }
    mFolder.write("locked", "x");
    std::filesystem::permissions(mFolder / "locked", std::filesystem::perms::none);
    EXPECT_EQ(failureOf([&] { mFactory.open("locked", File::kRead); }), "IOException / IOException");
}

TEST_F(SystemFileFactoryTest, SecondOpenOrCreateOfAnOpenFileIsASharingViolationUntilTheFirstGoes) {
    mFolder.write("shared", "abc");
    Pointer<File> first = mFactory.open("shared", File::kRead);
    const std::string sharing =
        "IOException / The process cannot access the file because it is being used by another process.";
    EXPECT_EQ(failureOf([&] { mFactory.open("shared", 0); }), sharing);
    EXPECT_EQ(failureOf([&] { mFactory.create("shared"); }), sharing);
    EXPECT_EQ(mFolder.read("shared"), "abc");
    first.reset();
    EXPECT_TRUE(mFactory.open("shared", File::kRead));
}

TEST_F(SystemFileFactoryTest, CreateTruncatesAnExistingFileAndOpensItForBoth) {
    mFolder.write("old", "previous content");
    Pointer<File> file = mFactory.create("old");
    EXPECT_EQ(file->getMode(), File::kRead | File::kWrite);
    EXPECT_EQ(file->getSize(), 0);
    EXPECT_EQ(file->write("new", 3), 3);
    file.reset();
    EXPECT_EQ(mFolder.read("old"), "new");
}

TEST_F(SystemFileFactoryTest, ModeZeroIsKeptAndTransfersNothing) {
    mFolder.write("data", "abc");
    Pointer<File> file = mFactory.open("data", 0);
    EXPECT_EQ(file->getMode(), 0u);
    char byte = 0;
    EXPECT_EQ(file->read(&byte, 1), 0);
    EXPECT_EQ(file->write("z", 1), 0);
    EXPECT_EQ(file->getSize(), 3);
}

TEST_F(SystemFileFactoryTest, JoinsWithOneSlashWhateverTheBaseEndsWith) {
    mFolder.write("inside", "1");
    const std::string base = mFolder.path().string();
    SystemFileFactory bare(base.c_str());
    SystemFileFactory slashed((base + "/").c_str());
    SystemFileFactory empty("");
    EXPECT_STREQ(bare.join("inside").c_str(), (base + "/inside").c_str());
    EXPECT_STREQ(slashed.join("inside").c_str(), (base + "/inside").c_str());
    // An absolute name is joined like any other; an empty base passes it through.
    EXPECT_STREQ(bare.join("/x").c_str(), (base + "//x").c_str());
    EXPECT_TRUE(bare.open("inside", File::kRead));
    EXPECT_TRUE(slashed.open("inside", File::kRead));
    EXPECT_TRUE(empty.open((base + "/inside").c_str(), File::kRead));
    EXPECT_TRUE(empty.exists((base + "/inside").c_str()));
    EXPECT_FALSE(bare.exists("inside/below"));
    EXPECT_EQ(bare.getDirectory()->getEntries().getCount(), 3);
}

}  // namespace
}  // namespace nevrik::io
