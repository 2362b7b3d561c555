#pragma once

#include "nevrik/io/File.h"
#include "nevrik/io/SystemFileFactory.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

#include "io/TestData.h"

#include <filesystem>
#include <string>
#include <vector>

namespace nevrik::graphics3d {

using testing::testData;

inline types::String imageFolder() {
    return types::String((testData() / "images").c_str());
}

// The image fixtures' folder.
inline object::Pointer<io::FileFactory> imageFiles() {
    return object::make<io::SystemFileFactory>(imageFolder());
}

// The image fixtures' folder, counting the files opened through it.
class CountingFiles : public io::SystemFileFactory {
public:
    CountingFiles() : SystemFileFactory(imageFolder()) {}

    object::Pointer<io::File> open(const types::String& name, std::uint32_t mode) override {
        ++mOpened;
        return SystemFileFactory::open(name, mode);
    }

    int mOpened = 0;
};

// A folder's files, recording every name it is asked about.
class RecordingFiles : public io::SystemFileFactory {
public:
    using SystemFileFactory::SystemFileFactory;

    bool exists(const types::String& name) override {
        asked.push_back(name.c_str());
        return SystemFileFactory::exists(name);
    }
    object::Pointer<io::File> open(const types::String& name, std::uint32_t mode) override {
        asked.push_back(name.c_str());
        return SystemFileFactory::open(name, mode);
    }

    std::vector<std::string> asked;
};

}  // namespace nevrik::graphics3d
