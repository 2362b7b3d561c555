#include "nevrik/graphics3d/core/detail/BufferStorage.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

namespace nevrik::graphics3d::detail {
namespace {

// GL usage per usage index; system memory never makes a buffer object.
constexpr GLenum kUsages[BufferStorage::kUsageCount] = {0, GL_STATIC_DRAW, GL_DYNAMIC_DRAW, GL_STREAM_DRAW,
                                                        GL_DYNAMIC_DRAW};
// Map access per lock mode; "replace" writes the whole content.
constexpr GLenum kAccess[BufferStorage::kLockModes] = {GL_READ_ONLY, GL_WRITE_ONLY, GL_READ_WRITE,
                                                       GL_WRITE_ONLY};

// The largest store either path can address.
constexpr std::uint64_t kMaxSize = static_cast<std::uint64_t>(std::numeric_limits<GLsizeiptr>::max());

// Empties GL's error flags, so that the next glGetError speaks of the next
// call only. Bounded: a lost context reports its loss on every call.
void clearErrors() {
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

}  // namespace

BufferCalls BufferCalls::get() noexcept {
    BufferCalls calls;
    if (glGenBuffers != nullptr && glBindBuffer != nullptr && glBufferData != nullptr &&
        glDeleteBuffers != nullptr && glMapBuffer != nullptr && glUnmapBuffer != nullptr) {
        calls = {glGenBuffers, glBindBuffer, glBufferData, glDeleteBuffers, glMapBuffer, glUnmapBuffer};
    } else if (glGenBuffersARB != nullptr && glBindBufferARB != nullptr && glBufferDataARB != nullptr &&
               glDeleteBuffersARB != nullptr && glMapBufferARB != nullptr && glUnmapBufferARB != nullptr) {
        calls = {glGenBuffersARB,    glBindBufferARB, glBufferDataARB,
                 glDeleteBuffersARB, glMapBufferARB,  glUnmapBufferARB};
    }
    return calls;
}

BufferStorage::~BufferStorage() {
    if (mName != 0) {
        const BufferCalls calls = BufferCalls::get();
        if (calls.isPresent()) {
            calls.erase(1, &mName);
        }
    } else {
        ::operator delete(mData);
    }
}

bool BufferStorage::create(GLenum target, std::uint64_t size, std::uint32_t usageIndex) {
    if (usageIndex >= kUsageCount || size > kMaxSize) {
        return false;
    }
    mTarget = target;
    mSize = size;
    mUsage = kUsages[usageIndex];
    const BufferCalls calls = BufferCalls::get();
    if (calls.isPresent() && usageIndex != kSystemMemory) {
        clearErrors();
        calls.generate(1, &mName);
        if (glGetError() == GL_NO_ERROR && mName != 0) {
            calls.bind(target, mName);
            calls.data(target, static_cast<GLsizeiptr>(size), nullptr, mUsage);
            if (glGetError() == GL_NO_ERROR) {
                mUsageIndex = usageIndex;
                return true;
            }
            calls.erase(1, &mName);
        }
        mName = 0;
    }
    mUsageIndex = kSystemMemory;
    mData = static_cast<std::uint8_t*>(::operator new(static_cast<std::size_t>(size), std::nothrow));
    if (mData == nullptr) {
        return false;
    }
    std::memset(mData, 0, static_cast<std::size_t>(size));
    return true;
}

bool BufferStorage::lock(std::uint32_t mode) {
    if (mode >= kLockModes || mLocked) {
        return false;
    }
    if (mName != 0) {
        const BufferCalls calls = BufferCalls::get();
        if (!calls.isPresent()) {
            return false;
        }
        calls.bind(mTarget, mName);
        mData = static_cast<std::uint8_t*>(calls.map(mTarget, kAccess[mode]));
        if (mData == nullptr) {
            return false;
        }
    }
    mLocked = true;
    return true;
}

bool BufferStorage::unlock() {
    if (!mLocked) {
        return false;
    }
    bool kept = true;
    if (mName != 0) {
        const BufferCalls calls = BufferCalls::get();
        if (calls.isPresent()) {
            calls.bind(mTarget, mName);
            kept = calls.unmap(mTarget) == GL_TRUE;
        }
        mData = nullptr;
    }
    mLocked = false;
    return kept;
}

}  // namespace nevrik::graphics3d::detail
