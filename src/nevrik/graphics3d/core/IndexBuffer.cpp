#include "nevrik/graphics3d/core/IndexBuffer.h"

#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/detail/GlCalls.h"
#include "nevrik/system/Assembler.h"

#include <GL/glew.h>

#include <cstring>

namespace nevrik::graphics3d {

object::Pointer<IndexBuffer> IndexBuffer::create(std::uint32_t indexSize, std::uint32_t indexCount,
                                                 std::uint32_t usageIndex) {
    GLenum glType = 0;
    switch (indexSize) {
        case 1:
            glType = GL_UNSIGNED_BYTE;
            break;
        case 2:
            glType = GL_UNSIGNED_SHORT;
            break;
        case 4:
            glType = GL_UNSIGNED_INT;
            break;
        default:
            return nullptr;
    }
    auto buffer = object::make<IndexBuffer>(indexSize, indexCount, glType);
    if (!buffer->mStorage.create(GL_ELEMENT_ARRAY_BUFFER, std::uint64_t{indexSize} * indexCount,
                                 usageIndex)) {
        return nullptr;
    }
    return buffer;
}

bool IndexBuffer::bind(Context& context) const {
    const std::uint8_t* base = nullptr;
    if (!mStorage.bind(detail::ImmediateCalls(), base)) {
        return false;
    }
    context.setIndexBinding(base, mGlType, mIndexSize);
    return true;
}

bool IndexBuffer::compileBind(system::Assembler& assembler) const {
    const std::uint8_t* base = nullptr;
    if (!mStorage.bind(detail::RecordedCalls{assembler}, base)) {
        return false;
    }
    using system::Command;
    assembler.load(Command::kEdx, mGlType);
    assembler.store(Command::kEsi, Context::getOffset(Context::Record::IndexType), Command::kEdx,
                    Command::k32Bit);
    assembler.load(Command::kEdx, mIndexSize);
    assembler.store(Command::kEsi, Context::getOffset(Context::Record::IndexSize), Command::kEdx,
                    Command::k32Bit);
    assembler.load(Command::kEdx, base);
    assembler.store(Command::kEsi, Context::getOffset(Context::Record::IndexData), Command::kEdx);
    return true;
}

std::uint32_t IndexBuffer::getIndex(std::uint32_t position) const noexcept {
    const std::uint8_t* at = getData() + std::uint64_t{position} * mIndexSize;
    switch (mIndexSize) {
        case 1:
            return *at;
        case 2: {
            std::uint16_t value;
            std::memcpy(&value, at, sizeof value);
            return value;
        }
        default: {
            std::uint32_t value;
            std::memcpy(&value, at, sizeof value);
            return value;
        }
    }
}

}  // namespace nevrik::graphics3d
