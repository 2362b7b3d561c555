#include "nevrik/io/SystemDirectory.h"

#include "nevrik/io/DirectoryNotFoundException.h"
#include "nevrik/io/detail/FileTime.h"
#include "nevrik/platform/NativeDirectory.h"

namespace nevrik::io {
namespace {

FileInfo infoOf(const platform::NativeDirectory::Entry& entry) {
    std::uint8_t flags = FileInfo::kReadable;
    flags |= entry.writable ? FileInfo::kWritable : 0;
    flags |= entry.directory ? FileInfo::kDirectory : 0;
    flags |= entry.hidden ? FileInfo::kHidden : 0;
    flags |= entry.symbolicLink ? FileInfo::kReparsePoint : 0;
    return FileInfo(entry.name, static_cast<std::uint32_t>(entry.size),
                    detail::timestampOf(entry.times.creation), detail::timestampOf(entry.times.modification),
                    detail::timestampOf(entry.times.access), flags);
}

}  // namespace

SystemDirectory::SystemDirectory(const types::String& path) {
    open(path);
}

void SystemDirectory::refresh() {
    const types::String folder = getPath().isEmpty() ? types::String(".") : getPath();
    platform::NativeDirectory native;
    if (!native.open((folder.endsWith("/") ? folder : folder + "/").c_str())) {
        object::raiseAt(DirectoryNotFoundException(), folder);
    }
    // Only opening can fail, so the old entries go once the new ones are sure to come.
    clearEntries();
    platform::NativeDirectory::Entry entry;
    while (native.next(entry)) {
        addEntry(infoOf(entry));
    }
}

void SystemDirectory::setPath(const types::String& path) {
    storePath(path);
}

}  // namespace nevrik::io
