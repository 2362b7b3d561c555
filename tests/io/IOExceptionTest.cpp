#include "nevrik/io/IOException.h"

#include "nevrik/io/DirectoryNotFoundException.h"
#include "nevrik/io/DiskFullException.h"
#include "nevrik/io/FileExistsException.h"
#include "nevrik/io/FileNotFoundException.h"
#include "nevrik/io/FileOpenException.h"
#include "nevrik/io/FileReadException.h"
#include "nevrik/io/FileWriteException.h"
#include "nevrik/io/IllegalPositionModeException.h"
#include "nevrik/io/TranslatorFormatException.h"
#include "nevrik/io/TranslatorMemoryException.h"
#include "nevrik/platform/LastError.h"

#include <gtest/gtest.h>

#include <string>

namespace nevrik::io {
namespace {

// The class path and message of what raise() throws for `code`.
std::string raised(std::uint32_t code) {
    try {
        IOException::raise(code);
    } catch (const IOException& error) {
        return std::string(error.className().c_str()).substr(sizeof "Object:Exception:" - 1) + " / " +
               error.getMessage().c_str();
    }
    return "nothing";
}

TEST(IOExceptionTest, RaiseMapsEveryKnownCodeToItsClassAndSystemText) {
    const std::pair<std::uint32_t, std::string> table[] = {
        {2, "IOException:FileNotFoundException / The system cannot find the file specified."},
        {4, "IOException:FileOpenException / The system cannot open the file."},
        {19, "IOException:FileWriteException / The media is write protected."},
        {25, "IOException / The drive cannot locate a specific area or track on the disk."},
        {29, "IOException:FileWriteException / The system cannot write to the specified device."},
        {30, "IOException:FileReadException / The system cannot read from the specified device."},
        {32, "IOException / The process cannot access the file because it is being used by another process."},
        {34, "IOException / The wrong diskette is in the drive."},
        {80, "IOException:FileExistsException / The file exists."},
        {110, "IOException:FileOpenException / The system cannot open the device or file specified."},
        {112, "IOException:DiskFullException / There is not enough space on the disk."},
        {132,
         "IOException:FileSeekException / The file pointer cannot be set on the specified device or file."},
        {1005, "IOException / The volume does not contain a recognized file system."},
        {1006,
         "IOException / The volume for a file has been externally altered so that the opened file is no "
         "longer "
         "valid."},
        {1785, "IOException / The disk media is not recognized. It may not be formatted."},
        // Everything else, success included, is the plain exception named by its class.
        {0, "IOException / IOException"},
        {3, "IOException / IOException"},
        {5, "IOException / IOException"},
        {platform::LastError::kUnmapped | 22, "IOException / IOException"},
    };
    for (const auto& [code, expected] : table) {
        EXPECT_EQ(raised(code), expected) << "code " << code;
    }
    platform::LastError::set(112);
    EXPECT_THROW(IOException::raise(), DiskFullException);
}

template <class E>
void expectNamedByDefault(const char* name) {
    EXPECT_STREQ(E().getMessage().c_str(), name);
    EXPECT_STREQ(E().getName().c_str(), name);
    EXPECT_STREQ(E("why").getMessage().c_str(), "why");
}

TEST(IOExceptionTest, EachClassDefaultsToItsNameAndKeepsAGivenMessage) {
    expectNamedByDefault<IOException>("IOException");
    expectNamedByDefault<FileNotFoundException>("FileNotFoundException");
    expectNamedByDefault<FileExistsException>("FileExistsException");
    expectNamedByDefault<DiskFullException>("DiskFullException");
    expectNamedByDefault<FileWriteException>("FileWriteException");
    expectNamedByDefault<FileReadException>("FileReadException");
    expectNamedByDefault<FileOpenException>("FileOpenException");
    expectNamedByDefault<FileSeekException>("FileSeekException");
    expectNamedByDefault<IllegalPositionModeException>("IllegalPositionModeException");
    expectNamedByDefault<DirectoryNotFoundException>("DirectoryNotFoundException");
    expectNamedByDefault<TranslatorException>("TranslatorException");
    expectNamedByDefault<TranslatorFormatException>("TranslatorFormatException");
    expectNamedByDefault<TranslatorMemoryException>("TranslatorMemoryException");
    EXPECT_STREQ(IllegalPositionModeException().className().c_str(),
                 "Object:Exception:IOException:FileSeekException:IllegalPositionModeException");
    EXPECT_STREQ(TranslatorMemoryException().className().c_str(),
                 "Object:Exception:IOException:TranslatorException:TranslatorMemoryException");
}

}  // namespace
}  // namespace nevrik::io
