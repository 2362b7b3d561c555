#include "nevrik/io/FileOutputStream.h"

#include "nevrik/io/File.h"

namespace nevrik::io {

FileOutputStream::FileOutputStream(File* file)
    : mFile(file), mReference(file != nullptr && &file->getOutputStream() != this ? file : nullptr) {}

FileOutputStream::~FileOutputStream() = default;

std::int32_t FileOutputStream::write(const void* buffer, std::int32_t count) {
    if (mFile == nullptr || (mFile->getMode() & File::kWrite) == 0) {
        return 0;
    }
    return mFile->write(buffer, count);
}

bool FileOutputStream::flush() {
    return mFile != nullptr && mFile->flush();
}

bool FileOutputStream::close() {
    if (mReference) {
        mReference.reset();
        mFile = nullptr;
    }
    return true;
}

}  // namespace nevrik::io
