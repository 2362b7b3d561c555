#pragma once

#include "nevrik/io/File.h"
#include "nevrik/io/SystemFileFactory.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

namespace nevrik::graphics3d {

// The image fixtures' folder.
inline object::Pointer<io::FileFactory> imageFiles() {
    return object::make<io::SystemFileFactory>(types::String(NEVRIK_TEST_DATA "/images"));
}

// The image fixtures' folder, counting the files opened through it.
class CountingFiles : public io::SystemFileFactory {
public:
    CountingFiles() : SystemFileFactory(types::String(NEVRIK_TEST_DATA "/images")) {}

    object::Pointer<io::File> open(const types::String& name, std::uint32_t mode) override {
        ++mOpened;
        return SystemFileFactory::open(name, mode);
    }

    int mOpened = 0;
};

}  // namespace nevrik::graphics3d
