#include "nevrik/io/File.h"

namespace nevrik::io {

// The streams see that they are this file's own (they compare themselves with
// getInputStream() and getOutputStream()), so they take no reference on it.
File::File(std::uint32_t mode) : mMode(mode), mInput(this), mOutput(this) {
    mMade.now();
}

File::~File() {
    mInput.close();
    mOutput.close();
}

system::Timestamp File::getCreationTime() {
    return mMade;
}

system::Timestamp File::getModificationTime() {
    return mMade;
}

system::Timestamp File::getAccessTime() {
    return mMade;
}

}  // namespace nevrik::io
