#include "nevrik/io/FileInputStream.h"

#include "nevrik/io/File.h"

namespace nevrik::io {

FileInputStream::FileInputStream(File* file)
    : mFile(file), mReference(file != nullptr && &file->getInputStream() != this ? file : nullptr) {}

FileInputStream::~FileInputStream() = default;

std::int32_t FileInputStream::read(void* buffer, std::int32_t count) {
    if (mFile == nullptr || (mFile->getMode() & File::kRead) == 0) {
        return 0;
    }
    return mFile->read(buffer, count);
}

std::int32_t FileInputStream::skip(std::int32_t count) {
    if (mFile == nullptr) {
        return 0;
    }
    const std::int32_t from = mFile->getPosition();
    return mFile->seek(count, File::kCurrent) - from;
}

std::uint32_t FileInputStream::available() {
    if (mFile == nullptr) {
        return 0;
    }
    // After a skip past the end the difference is negative: nothing is left,
    // not four billion bytes.
    const std::int32_t left = mFile->getSize() - mFile->getPosition();
    return left > 0 ? static_cast<std::uint32_t>(left) : 0;
}

bool FileInputStream::close() {
    if (mReference) {
        mReference.reset();
        mFile = nullptr;
    }
    return true;
}

}  // namespace nevrik::io
