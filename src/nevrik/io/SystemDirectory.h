#pragma once

#include "nevrik/io/Directory.h"

namespace nevrik::io {

/// A Directory read from the operating system: "." and ".." are listed like
/// any other entry, nothing is sorted, symbolic links are described
/// themselves (kReparsePoint), not followed.
///
/// Made by SystemFileFactory::getDirectory() or by value; one thread at a time.
class SystemDirectory : public Directory {
public:
    SystemDirectory() = default;
    /// Opens `path` at once; throws as refresh() does.
    explicit SystemDirectory(const types::String& path);

    /// An empty path lists the working folder.
    void refresh() override;
    void setPath(const types::String& path) override;

    NEVRIK_CLASS_NAME(Directory, ":SystemDirectory")
};

}  // namespace nevrik::io
