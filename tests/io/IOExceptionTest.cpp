#include "nevrik/io/IOException.h"

#include "nevrik/io/DirectoryNotFoundException.h"
#include "nevrik/io/DiskFullException.h"
#include "nevrik/io/FileExistsException.h"
#include "nevrik/io/FileNotFoundException.h"
#include "nevrik/io/FileOpenException.h"
#include "nevrik/io/FileReadException.h"
#include "nevrik/io/FileSeekException.h"
#include "nevrik/io/FileWriteException.h"
#include "nevrik/io/IllegalPositionModeException.h"
#include "nevrik/io/TranslatorFormatException.h"
#include "nevrik/io/TranslatorMemoryException.h"
#include "nevrik/platform/LastError.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace nevrik::io {
namespace {

// The class path of whatever raise() throws for `code`, and its message.
struct Raised {
    std::string path;
    std::string message;
};

Raised raised(std::uint32_t code) {
    try {
        IOException::raise(code);
    } catch (const IOException& error) {
        return {error.className().c_str(), error.getMessage().c_str()};
    }
    return {};
}

TEST(IOExceptionTest, RaiseMapsEveryKnownCodeToItsClassAndSystemText) {
    const std::string io = "Object:Exception:IOException";
    const struct {
        std::uint32_t code;
        std::string path;
        const char* message;
    } table[] = {
        {2, io + ":FileNotFoundException", "The system cannot find the file specified."},
        {4, io + ":FileOpenException", "The system cannot open the file."},
        {19, io + ":FileWriteException", "The media is write protected."},
        {25, io, "The drive cannot locate a specific area or track on the disk."},
        {29, io + ":FileWriteException", "The system cannot write to the specified device."},
        {30, io + ":FileReadException", "The system cannot read from the specified device."},
        {32, io, "The process cannot access the file because it is being used by another process."},
        {34, io, "The wrong diskette is in the drive."},
        {80, io + ":FileExistsException", "The file exists."},
        {110, io + ":FileOpenException", "The system cannot open the device or file specified."},
        {112, io + ":DiskFullException", "There is not enough space on the disk."},
        {132, io + ":FileSeekException", "The file pointer cannot be set on the specified device or file."},
        {1005, io, "The volume does not contain a recognized file system."},
        {1006, io, "The volume for a file has been externally altered so that the opened file is no longer valid."},
        {1785, io, "The disk media is not recognized. It may not be formatted."},
    };
    for (const auto& row : table) {
        const Raised got = raised(row.code);
        EXPECT_EQ(got.path, row.path) << "code " << row.code;
        EXPECT_EQ(got.message, row.message) << "code " << row.code;
    }
}

TEST(IOExceptionTest, UnknownCodesGivePlainIOExceptionNamedByItsClass) {
    for (std::uint32_t code : {0u, 3u, 5u, 18u, 131u, platform::LastError::kUnmapped | 22u}) {
        const Raised got = raised(code);
        EXPECT_EQ(got.path, "Object:Exception:IOException") << "code " << code;
        EXPECT_EQ(got.message, "IOException") << "code " << code;
    }
}

TEST(IOExceptionTest, RaiseReadsTheCallingThreadsOwnLastError) {
    platform::LastError::set(2);
    std::thread other([] { platform::LastError::set(112); });
    other.join();
    EXPECT_THROW(IOException::raise(), FileNotFoundException);
}

template <class E>
void expectDefaultAndGivenMessage(const char* name) {
    EXPECT_STREQ(E().getMessage().c_str(), name);
    EXPECT_STREQ(E().getName().c_str(), name);
    EXPECT_STREQ(E("why").getMessage().c_str(), "why");
    EXPECT_STREQ(E(types::String("why")).toString().c_str(), "why");
}

TEST(IOExceptionTest, EachClassDefaultsToItsNameAndKeepsAGivenMessage) {
    expectDefaultAndGivenMessage<IOException>("IOException");
    expectDefaultAndGivenMessage<FileNotFoundException>("FileNotFoundException");
    expectDefaultAndGivenMessage<FileExistsException>("FileExistsException");
    expectDefaultAndGivenMessage<DiskFullException>("DiskFullException");
    expectDefaultAndGivenMessage<FileWriteException>("FileWriteException");
    expectDefaultAndGivenMessage<FileReadException>("FileReadException");
    expectDefaultAndGivenMessage<FileOpenException>("FileOpenException");
    expectDefaultAndGivenMessage<FileSeekException>("FileSeekException");
    expectDefaultAndGivenMessage<IllegalPositionModeException>("IllegalPositionModeException");
    expectDefaultAndGivenMessage<DirectoryNotFoundException>("DirectoryNotFoundException");
    expectDefaultAndGivenMessage<TranslatorException>("TranslatorException");
    expectDefaultAndGivenMessage<TranslatorFormatException>("TranslatorFormatException");
    expectDefaultAndGivenMessage<TranslatorMemoryException>("TranslatorMemoryException");
}

TEST(IOExceptionTest, DeepClassesSitUnderTheirBasesInPathAndCatch) {
    EXPECT_STREQ(IllegalPositionModeException().className().c_str(),
                 "Object:Exception:IOException:FileSeekException:IllegalPositionModeException");
    EXPECT_STREQ(TranslatorMemoryException().className().c_str(),
                 "Object:Exception:IOException:TranslatorException:TranslatorMemoryException");
    EXPECT_THROW(throw IllegalPositionModeException(), FileSeekException);
    EXPECT_THROW(throw TranslatorFormatException(), IOException);
}

}  // namespace
}  // namespace nevrik::io
