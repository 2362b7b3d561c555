#include "nevrik/io/SystemFileFactory.h"

#include "nevrik/io/IOException.h"
#include "nevrik/io/SystemDirectory.h"
#include "nevrik/io/SystemFile.h"
#include "nevrik/platform/NativeFile.h"

#include <utility>

namespace nevrik::io {
namespace {

// No file object is made unless the system handed out a handle.
object::Pointer<File> fileOf(platform::NativeFile handle, std::uint32_t mode) {
    if (!handle.isOpen()) {
        IOException::raise();
    }
    return object::make<SystemFile>(std::move(handle), mode);
}

}  // namespace

SystemFileFactory::SystemFileFactory(const types::String& basePath) : mBasePath(basePath) {}

bool SystemFileFactory::exists(const types::String& name) {
    return platform::NativeFile::exists(join(name).c_str());
}

object::Pointer<File> SystemFileFactory::create(const types::String& name) {
    return fileOf(platform::NativeFile::create(join(name).c_str()), File::kRead | File::kWrite);
}

object::Pointer<File> SystemFileFactory::open(const types::String& name, std::uint32_t mode) {
    // The file keeps the caller's mode bits; the system is asked only for the two it knows.
    const unsigned access = ((mode & File::kRead) != 0 ? platform::NativeFile::kRead : 0u) |
                            ((mode & File::kWrite) != 0 ? platform::NativeFile::kWrite : 0u);
    return fileOf(platform::NativeFile::open(join(name).c_str(), access), mode);
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
