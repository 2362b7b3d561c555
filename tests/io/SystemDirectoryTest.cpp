#include "nevrik/io/SystemDirectory.h"

#include "nevrik/io/DirectoryNotFoundException.h"
#include "io/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

namespace nevrik::io {
namespace {

// Entry flags by name.
std::map<std::string, int> flagsOf(const Directory& listing) {
    std::map<std::string, int> flags;
    for (const FileInfo& entry : listing.getEntries()) {
        flags[entry.toString().c_str()] = entry.getFlags();
    }
    return flags;
}

class SystemDirectoryTest : public ::testing::Test {
protected:
    testing::TempFolder mFolder;
};

TEST_F(SystemDirectoryTest, EmptyFolderListsExactlyDotAndDotDot) {
    for (const std::string& path : {mFolder.path().string(), mFolder.path().string() + "/"}) {
        SystemDirectory listing(path.c_str());
        const auto flags = flagsOf(listing);
        ASSERT_EQ(listing.getEntries().getCount(), 2) << path;
        ASSERT_EQ(flags.size(), 2u);
        for (const char* name : {".", ".."}) {
            ASSERT_EQ(flags.count(name), 1u) << name;
            EXPECT_TRUE(flags.at(name) == 0x05 || flags.at(name) == 0x07) << name;
        }
    }
}

TEST_F(SystemDirectoryTest, MissingFolderThrowsDirectoryNotFound) {
    try {
        SystemDirectory listing((mFolder / "absent").c_str());
        ADD_FAILURE() << "no exception";
    } catch (const DirectoryNotFoundException& error) {
        EXPECT_STREQ(error.getMessage().c_str(), "DirectoryNotFoundException");
    }
    mFolder.write("plain", "");
    EXPECT_THROW(SystemDirectory((mFolder / "plain").c_str()), DirectoryNotFoundException);
}

TEST_F(SystemDirectoryTest, EntriesCarryFlagsSizeAndName) {
    namespace fs = std::filesystem;
    mFolder.write("file", "12345");
    mFolder.write(".hidden", "");
    mFolder.write("readonly", "");
    fs::permissions(mFolder / "readonly", fs::perms::owner_read | fs::perms::group_read);
    fs::create_directory(mFolder / "sub");
    fs::create_symlink("file", mFolder / "link");
    fs::create_symlink("nowhere", mFolder / "dangling");

    SystemDirectory listing(mFolder.path().c_str());
    const auto flags = flagsOf(listing);
    EXPECT_EQ(flags.at("file"), 0x03);
    EXPECT_EQ(flags.at(".hidden"), 0x13);
    EXPECT_EQ(flags.at("readonly"), 0x01);
    EXPECT_EQ(flags.at("sub"), 0x07);
    EXPECT_EQ(flags.at("link"), 0x23);
    EXPECT_EQ(flags.at("dangling"), 0x23);
    for (const FileInfo& entry : listing.getEntries()) {
        EXPECT_EQ(entry.getFlags() & 0x08, 0);
        if (std::string(entry.getFileName()) == "file") {
            EXPECT_EQ(entry.getSize(), 5u);
            EXPECT_GT(entry.getModificationTime().getMicroseconds(), 0u);
        }
    }
}

TEST_F(SystemDirectoryTest, RefreshReplacesTheEntriesAndAFailedOneKeepsThem) {
    SystemDirectory listing(mFolder.path().c_str());
    mFolder.write("late", "");
    listing.refresh();
    EXPECT_EQ(listing.getEntries().getCount(), 3);

    listing.setPath((mFolder / "absent").c_str());
    EXPECT_THROW(listing.refresh(), DirectoryNotFoundException);
    EXPECT_EQ(listing.getEntries().getCount(), 3);
    // open() empties first, so its failure leaves nothing behind.
    EXPECT_THROW(listing.open((mFolder / "absent").c_str()), DirectoryNotFoundException);
    EXPECT_EQ(listing.getEntries().getCount(), 0);
}

TEST_F(SystemDirectoryTest, EmptyPathListsTheWorkingFolder) {
    SystemDirectory empty("");
    SystemDirectory dot(".");
    EXPECT_EQ(flagsOf(empty), flagsOf(dot));
}

}  // namespace
}  // namespace nevrik::io
