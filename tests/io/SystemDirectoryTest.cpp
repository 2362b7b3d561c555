#include "nevrik/io/SystemDirectory.h"

#include "io/TempFolder.h"
#include "nevrik/io/DirectoryNotFoundException.h"

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

TEST(SystemDirectoryTest, EmptyFolderListsExactlyDotAndDotDotWithOrWithoutASlash) {
    testing::TempFolder folder;
    for (const std::string& path : {folder.path().string(), folder.path().string() + "/"}) {
        SystemDirectory listing(path.c_str());
        const auto flags = flagsOf(listing);
        ASSERT_EQ(listing.getEntries().getCount(), 2) << path;
        for (const char* name : {".", ".."}) {
            ASSERT_EQ(flags.count(name), 1u) << name;
            EXPECT_TRUE(flags.at(name) == 0x05 || flags.at(name) == 0x07) << name;
        }
    }
}

TEST(SystemDirectoryTest, MissingFolderOrAFileThrowsDirectoryNotFoundNamingIt) {
    testing::TempFolder folder;
    folder.write("plain", "");
    for (const std::string& path : {folder / "absent", folder / "plain", folder / "absent" + "/"}) {
        try {
            SystemDirectory listing(path.c_str());
            ADD_FAILURE() << path << ": no exception";
        } catch (const DirectoryNotFoundException& error) {
            EXPECT_STREQ(error.getMessage().c_str(), "DirectoryNotFoundException");
            EXPECT_EQ(std::string(error.describe().c_str()), path + ": DirectoryNotFoundException");
        }
    }
}

TEST(SystemDirectoryTest, EntriesCarryFlagsSizeAndName) {
    namespace fs = std::filesystem;
    testing::TempFolder folder;
    folder.write("file", "12345");
    folder.write(".hidden", "");
    folder.write("readonly", "");
    fs::permissions(folder / "readonly", fs::perms::owner_read);
    fs::create_directory(folder / "sub");
    fs::create_symlink("nowhere", folder / "dangling");

    SystemDirectory listing(folder.path().c_str());
    EXPECT_EQ(flagsOf(listing), (std::map<std::string, int>{{".", 0x07},
                                                            {"..", 0x07},
                                                            {"file", 0x03},
                                                            {".hidden", 0x13},
                                                            {"readonly", 0x01},
                                                            {"sub", 0x07},
                                                            {"dangling", 0x23}}));
    for (const FileInfo& entry : listing.getEntries()) {
        if (entry.toString() == "file") {
            EXPECT_EQ(entry.getSize(), 5u);
            EXPECT_GT(entry.getModificationTime().getMicroseconds(), 0u);
        }
    }
}

TEST(SystemDirectoryTest, RefreshReplacesTheEntriesAndAFailedOneKeepsThem) {
    testing::TempFolder folder;
    SystemDirectory listing(folder.path().c_str());
    folder.write("late", "");
    listing.refresh();
    EXPECT_EQ(listing.getEntries().getCount(), 3);
    listing.setPath((folder / "absent").c_str());
    EXPECT_THROW(listing.refresh(), DirectoryNotFoundException);
    EXPECT_EQ(listing.getEntries().getCount(), 3);
    // open() empties first, so its failure leaves nothing behind.
    EXPECT_THROW(listing.open((folder / "absent").c_str()), DirectoryNotFoundException);
    EXPECT_EQ(listing.getEntries().getCount(), 0);
    EXPECT_EQ(flagsOf(SystemDirectory("")), flagsOf(SystemDirectory(".")));
}

}  // namespace
}  // namespace nevrik::io
