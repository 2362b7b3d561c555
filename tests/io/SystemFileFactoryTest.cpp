#include "nevrik/io/SystemFileFactory.h"

#include "nevrik/io/FileNotFoundException.h"
#include "nevrik/io/IOException.h"
#include "io/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <unistd.h>

namespace nevrik::io {
namespace {

using object::Pointer;

// Runs `open` and returns the class path and message of what it throws.
template <class Call>
std::string failureOf(Call open) {
    try {
        open();
    } catch (const IOException& error) {
        return std::string(error.className().c_str()) + " / " + error.getMessage().c_str();
    }
    return "nothing thrown";
}

std::string contentOf(File& file) {
    char buffer[64] = {};
    file.seek(0, File::kBegin);
    return std::string(buffer, static_cast<std::size_t>(file.read(buffer, sizeof buffer)));
}

class SystemFileFactoryTest : public ::testing::Test {
protected:
    testing::TempFolder mFolder;
    SystemFileFactory mFactory{mFolder.path().c_str()};
};

TEST_F(SystemFileFactoryTest, MissingFileRaisesFileNotFoundWithTheSystemText) {
    EXPECT_EQ(failureOf([&] { mFactory.open("absent", File::kRead); }),
              "Object:Exception:IOException:FileNotFoundException / The system cannot find the file specified.");
}

TEST_F(SystemFileFactoryTest, MissingFolderRaisesPlainIOException) {
    EXPECT_EQ(failureOf([&] { mFactory.open("absent/file", File::kRead); }),
              "Object:Exception:IOException / IOException");
    EXPECT_EQ(failureOf([&] { mFactory.create("absent/file"); }), "Object:Exception:IOException / IOException");
}

TEST_F(SystemFileFactoryTest, PermissionDenialRaisesPlainIOException) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads and writes files whatever their permission bits say";
    }
    mFolder.write("locked", "x");
    std::filesystem::permissions(mFolder / "locked", std::filesystem::perms::none);
    EXPECT_EQ(failureOf([&] { mFactory.open("locked", File::kRead); }),
              "Object:Exception:IOException / IOException");
}

TEST_F(SystemFileFactoryTest, SecondOpenOfAnOpenFileIsASharingViolationUntilTheFirstGoes) {
    mFolder.write("shared", "abc");
    Pointer<File> first = mFactory.open("shared", File::kRead);
    const std::string sharing =
        "Object:Exception:IOException / "
        "The process cannot access the file because it is being used by another process.";
    EXPECT_EQ(failureOf([&] { mFactory.open("shared", File::kRead); }), sharing);
    // Creating must not truncate a file someone holds either.
    EXPECT_EQ(failureOf([&] { mFactory.create("shared"); }), sharing);
    EXPECT_EQ(contentOf(*first), "abc");
    first.reset();
    EXPECT_TRUE(mFactory.open("shared", File::kRead));
}

TEST_F(SystemFileFactoryTest, CreateTruncatesAnExistingFileAndOpensItForBoth) {
    mFolder.write("old", "previous content");
    Pointer<File> file = mFactory.create("old");
    EXPECT_EQ(file->getMode(), File::kRead | File::kWrite);
    EXPECT_EQ(file->getSize(), 0);
    EXPECT_EQ(file->write("new", 3), 3);
    EXPECT_EQ(contentOf(*file), "new");
}

TEST_F(SystemFileFactoryTest, OpenKeepsTheCallersModeAndModeZeroTransfersNothing) {
    mFolder.write("data", "abc");
    Pointer<File> file = mFactory.open("data", 0);
    EXPECT_EQ(file->getMode(), 0u);
    char byte = 0;
    EXPECT_EQ(file->read(&byte, 1), 0);
    EXPECT_EQ(file->write("z", 1), 0);
    EXPECT_EQ(file->getSize(), 3);
    file.reset();
    EXPECT_EQ(mFolder.read("data"), "abc");
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
    EXPECT_STREQ(empty.join((base + "/inside").c_str()).c_str(), (base + "/inside").c_str());
    EXPECT_TRUE(bare.open("inside", File::kRead));
    EXPECT_TRUE(slashed.open("inside", File::kRead));
    EXPECT_TRUE(empty.open((base + "/inside").c_str(), File::kRead));
}

TEST_F(SystemFileFactoryTest, ExistsSeesFilesAndFoldersAndNeverThrows) {
    mFolder.write("file", "");
    std::filesystem::create_directory(mFolder / "folder");
    EXPECT_TRUE(mFactory.exists("file"));
    EXPECT_TRUE(mFactory.exists("folder"));
    EXPECT_FALSE(mFactory.exists("absent"));
    EXPECT_FALSE(mFactory.exists("file/below"));
    EXPECT_FALSE(mFactory.exists(std::string(5000, 'n').c_str()));
}

TEST_F(SystemFileFactoryTest, OpeningAFolderAsAFileIsRefused) {
    std::filesystem::create_directory(mFolder / "folder");
    EXPECT_EQ(failureOf([&] { mFactory.open("folder", File::kRead); }),
              "Object:Exception:IOException / IOException");
}

TEST_F(SystemFileFactoryTest, GetDirectoryListsTheBaseFolder) {
    mFolder.write("only", "");
    Pointer<Directory> listing = mFactory.getDirectory();
    EXPECT_EQ(listing->getEntries().getCount(), 3);
    EXPECT_STREQ(listing->getPath().c_str(), mFolder.path().c_str());
}

}  // namespace
}  // namespace nevrik::io
