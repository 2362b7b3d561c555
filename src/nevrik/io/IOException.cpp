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
    {2, throwAs<FileNotFoundException>, "The system cannot find the file specified."},  // ERROR_FILE_NOT_FOUND
    {4, throwAs<FileOpenException>, "The system cannot open the file."},  // ERROR_TOO_MANY_OPEN_FILES
    {19, throwAs<FileWriteException>, "The media is write protected."},  // ERROR_WRITE_PROTECT
    {25, throwAs<IOException>, "The drive cannot locate a specific area or track on the disk."},  // ERROR_SEEK
    {29, throwAs<FileWriteException>, "The system cannot write to the specified device."},  // ERROR_WRITE_FAULT
    {30, throwAs<FileReadException>, "The system cannot read from the specified device."},  // ERROR_READ_FAULT
    {32, throwAs<IOException>,
     "The process cannot access the file because it is being used by another process."},  // ERROR_SHARING_VIOLATION
    {34, throwAs<IOException>, "The wrong diskette is in the drive."},  // ERROR_WRONG_DISK
    {80, throwAs<FileExistsException>, "The file exists."},          // ERROR_FILE_EXISTS
    {110, throwAs<FileOpenException>, "The system cannot open the device or file specified."},  // ERROR_OPEN_FAILED
    {112, throwAs<DiskFullException>, "There is not enough space on the disk."},  // ERROR_DISK_FULL
    {132, throwAs<FileSeekException>,
     "The file pointer cannot be set on the specified device or file."},  // ERROR_SEEK_ON_DEVICE
    {1005, throwAs<IOException>,
     "The volume does not contain a recognized file system."},  // ERROR_UNRECOGNIZED_VOLUME
    {1006, throwAs<IOException>,
     "The volume for a file has been externally altered so that the opened file is no longer valid."},  // ERROR_FILE_INVALID
    {1785, throwAs<IOException>, "The disk media is not recognized. It may not be formatted."},  // ERROR_UNRECOGNIZED_MEDIA
};

}  // namespace

void IOException::raise() { raise(platform::LastError::get()); }

void IOException::raise(std::uint32_t code) {
    for (const Mapping& mapping : kMappings) {
        if (mapping.code == code) {
            mapping.thrower(mapping.message);
        }
    }
    throw IOException();
}

}  // namespace nevrik::io
