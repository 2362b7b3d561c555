#include "nevrik/io/IOException.h"

#include "nevrik/io/DiskFullException.h"
#include "nevrik/io/FileExistsException.h"
#include "nevrik/io/FileNotFoundException.h"
#include "nevrik/io/FileOpenException.h"
#include "nevrik/io/FileReadException.h"
#include "nevrik/io/FileSeekException.h"
#include "nevrik/io/FileWriteException.h"
#include "nevrik/platform/LastError.h"

namespace nevrik::io {
namespace {

template <class E>
[[noreturn]] void throwAs(const char* message) {
    throw E(message);
}

struct Mapping {
    std::uint32_t code;
    void (*thrower)(const char*);
    const char* message;
};

// The system's own texts for the errors the engine tells apart.
constexpr Mapping kMappings[] = {
    {2 /* ERROR_FILE_NOT_FOUND */, throwAs<FileNotFoundException>,
     "The system cannot find the file specified."},
    {4 /* ERROR_TOO_MANY_OPEN_FILES */, throwAs<FileOpenException>, "The system cannot open the file."},
    {19 /* ERROR_WRITE_PROTECT */, throwAs<FileWriteException>, "The media is write protected."},
    {25 /* ERROR_SEEK */, throwAs<IOException>,
     "The drive cannot locate a specific area or track on the disk."},
    {29 /* ERROR_WRITE_FAULT */, throwAs<FileWriteException>,
     "The system cannot write to the specified device."},
    {30 /* ERROR_READ_FAULT */, throwAs<FileReadException>,
     "The system cannot read from the specified device."},
    {32 /* ERROR_SHARING_VIOLATION */, throwAs<IOException>,
     "The process cannot access the file because it is being used by another process."},
    {34 /* ERROR_WRONG_DISK */, throwAs<IOException>, "The wrong diskette is in the drive."},
    {80 /* ERROR_FILE_EXISTS */, throwAs<FileExistsException>, "The file exists."},
    {110 /* ERROR_OPEN_FAILED */, throwAs<FileOpenException>,
     "The system cannot open the device or file specified."},
    {112 /* ERROR_DISK_FULL */, throwAs<DiskFullException>, "There is not enough space on the disk."},
    {132 /* ERROR_SEEK_ON_DEVICE */, throwAs<FileSeekException>,
     "The file pointer cannot be set on the specified device or file."},
    {1005 /* ERROR_UNRECOGNIZED_VOLUME */, throwAs<IOException>,
     "The volume does not contain a recognized file system."},
    {1006 /* ERROR_FILE_INVALID */, throwAs<IOException>,
     "The volume for a file has been externally altered so that the opened file is no longer valid."},
    {1785 /* ERROR_UNRECOGNIZED_MEDIA */, throwAs<IOException>,
     "The disk media is not recognized. It may not be formatted."},
};

}  // namespace

void IOException::raise() {
    raise(platform::LastError::get());
}

void IOException::raiseFor(const types::String& path) {
    raiseFor(platform::LastError::get(), path);
}

void IOException::raiseFor(std::uint32_t code, const types::String& path) {
    try {
        raise(code);
    } catch (IOException& error) {
        if (!path.isEmpty()) {
            error.addContext(path);
        }
        throw;
    }
}

void IOException::raise(std::uint32_t code) {
    for (const Mapping& mapping : kMappings) {
        if (mapping.code == code) {
            mapping.thrower(mapping.message);
        }
    }
    throw IOException();
}

}  // namespace nevrik::io
