#pragma once

#include "nevrik/io/Directory.h"
#include "nevrik/io/File.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::io {

/// The engine's road to the file system: opens, creates and tests files by
/// name relative to a base, and lists that base.
///
/// Reference-counted; whoever needs files keeps one. One thread at a time.
class FileFactory : public object::Object {
public:
    /// Whether a file or folder of that name exists; never throws.
    virtual bool exists(const types::String& name) = 0;
    /// Creates the file, or empties it when it exists, and returns it open
    /// with File::kRead | File::kWrite. The result holds the new file's only
    /// reference. Throws through IOException::raise() on failure.
    virtual object::Pointer<File> create(const types::String& name) = 0;
    /// Opens an existing file for the mode bits given (0: no access at all).
    /// The result holds the new file's only reference. Throws through
    /// IOException::raise() on failure.
    virtual object::Pointer<File> open(const types::String& name, std::uint32_t mode) = 0;
    /// A new listing of the base folder. Throws DirectoryNotFoundException
    /// when it cannot be read.
    virtual object::Pointer<Directory> getDirectory() = 0;
    /// The path that `name` stands for, as failures name the file: the name
    /// itself unless the factory has a base to join it to.
    virtual types::String join(const types::String& name) const { return name; }

    NEVRIK_CLASS_NAME(object::Object, ":FileFactory")
};

}  // namespace nevrik::io
