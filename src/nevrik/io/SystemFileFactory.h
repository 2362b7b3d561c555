#pragma once

#include "nevrik/io/FileFactory.h"

namespace nevrik::io {

/// A FileFactory on the operating system's files, rooted at a base path.
///
/// Every name is joined to the base with one "/" between them (none is added
/// when the base is empty or already ends in "/"), also when the name is
/// itself absolute. Files are opened exclusively: a second open of an open
/// file fails with the sharing-violation IOException. Reference-counted; one
/// thread at a time.
class SystemFileFactory : public FileFactory {
public:
    explicit SystemFileFactory(const types::String& basePath);

    bool exists(const types::String& name) override;
    object::Pointer<File> create(const types::String& name) override;
    object::Pointer<File> open(const types::String& name, std::uint32_t mode) override;
    object::Pointer<Directory> getDirectory() override;

    /// The base and `name`, with one "/" between them.
    types::String join(const types::String& name) const override;

    NEVRIK_CLASS_NAME(FileFactory, ":SystemFileFactory")

    const types::String& getBasePath() const noexcept { return mBasePath; }

private:
    types::String mBasePath;
};

}  // namespace nevrik::io
