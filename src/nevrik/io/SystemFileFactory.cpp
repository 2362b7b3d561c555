#include "nevrik/io/SystemFileFactory.h"

#include "nevrik/io/IOException.h"
#include "nevrik/io/SystemDirectory.h"
#include "nevrik/io/SystemFile.h"
#include "nevrik/platform/NativeFile.h"

#include <utility>

namespace nevrik::io {
namespace {

// No file object is made unless the system handed out a handle.
object::Pointer<File> fileOf(platform::NativeFile handle, std::uint32_t mode, const types::String& path) {
    if (!handle.isOpen()) {
        IOException::raiseFor(path);
    }
    return object::make<SystemFile>(std::move(handle), mode, path);
}

}  // namespace

SystemFileFactory::SystemFileFactory(const types::String& basePath) : mBasePath(basePath) {}

bool SystemFileFactory::exists(const types::String& name) {
    return platform::NativeFile::exists(join(name).c_str());
}

object::Pointer<File> SystemFileFactory::create(const types::String& name) {
    const types::String path = join(name);
    return fileOf(platform::NativeFile::create(path.c_str()), File::kRead | File::kWrite, path);
}

object::Pointer<File> SystemFileFactory::open(const types::String& name, std::uint32_t mode) {
    // The file keeps the caller's mode bits; the system is asked only for the two it knows.
    const unsigned access = ((mode & File::kRead) != 0 ? platform::NativeFile::kRead : 0u) |
                            ((mode & File::kWrite) != 0 ? platform::NativeFile::kWrite : 0u);
    const types::String path = join(name);
    return fileOf(platform::NativeFile::open(path.c_str(), access), mode, path);
}

object::Pointer<Directory> SystemFileFactory::getDirectory() {
    return object::make<SystemDirectory>(mBasePath);
}

types::String SystemFileFactory::join(const types::String& name) const {
    if (mBasePath.isEmpty() || mBasePath.endsWith("/")) {
        return mBasePath + name;
    }
    return mBasePath + "/" + name;
}

}  // namespace nevrik::io
