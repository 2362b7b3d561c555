#include "nevrik/graphics3d/core/VertexBuffer.h"

#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/TypeWord.h"
#include "nevrik/graphics3d/core/detail/GlCalls.h"

#include <GL/glew.h>

namespace nevrik::graphics3d {
namespace {

// A GL pointer argument: `offset` bytes past `base`, which is null for a
// buffer object (the offset is then the pointer).
const void* at(const std::uint8_t* base, std::uint32_t offset) noexcept {
    return reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(base) + offset);
}

int bitOf(std::uint32_t mask) noexcept {
    int bit = 0;
    while ((mask >> bit & 1u) == 0) {
        ++bit;
    }
    return bit;
}

}  // namespace

VertexBuffer::VertexBuffer(const VertexFormat& format) noexcept : mFormat(format) {
    for (int i = 0; i < mFormat.mEntryCount; ++i) {
        VertexFormat::Entry& entry = mFormat.mEntries[i];
        const std::uint32_t glType = TypeWord::getGlType(TypeWord::getScalar(entry.type));
        const std::uint32_t count = entry.type >> 8 & 0xF;
        if (entry.mask == 0 || glType == 0 || count < 1 || count > 4) {
            continue;
        }
        entry.glType = glType;
        entry.count = count;
        mComponentMask |= entry.mask;
        for (int bit = 0; bit < kComponentBits; ++bit) {
            if ((entry.mask >> bit & 1u) != 0) {
                mComponents[bit] = {glType, count, entry.offset};
            }
        }
    }
}

object::Pointer<VertexBuffer> VertexBuffer::create(const VertexFormat& format, std::uint32_t vertexCount,
                                                   std::uint32_t usageIndex) {
    auto buffer = object::make<VertexBuffer>(format);
    buffer->mVertexCount = vertexCount;
    const std::uint64_t size = std::uint64_t{vertexCount} * format.getStride();
    if (!buffer->mStorage.create(GL_ARRAY_BUFFER, size, usageIndex)) {
        return nullptr;
    }
    return buffer;
}

const VertexBuffer::Component& VertexBuffer::getComponent(int bit) const noexcept {
    static const Component kNone;
    return bit >= 0 && bit < kComponentBits ? mComponents[bit] : kNone;
}

template <class Call>
bool VertexBuffer::bindWith(const Call& call, std::uint32_t mask) const {
    const std::uint8_t* base = nullptr;
    if (!mStorage.bind(call, base)) {
        return false;
    }
    mask &= mComponentMask;
    const auto stride = static_cast<GLsizei>(mFormat.getStride());
    auto component = [this](std::uint32_t bit) -> const Component& { return mComponents[bitOf(bit)]; };
    if ((mask & VertexFormat::kPositionArray) != 0) {
        const Component& c = component(VertexFormat::kPositionArray);
        call(glVertexPointer, static_cast<GLint>(c.count), c.glType, stride, at(base, c.offset));
    }
    if ((mask & VertexFormat::kNormalArray) != 0) {
        const Component& c = component(VertexFormat::kNormalArray);
        call(glNormalPointer, c.glType, stride, at(base, c.offset));
    }
    if ((mask & VertexFormat::kColourArray) != 0) {
        const Component& c = component(VertexFormat::kColourArray);
        call(glColorPointer, static_cast<GLint>(c.count), c.glType, stride, at(base, c.offset));
    }
    if ((mask & VertexFormat::kWeightArray) != 0 && glWeightPointerARB != nullptr) {
        const Component& c = component(VertexFormat::kWeightArray);
        // Declared with a non-const pointer, though it only reads.
        call(glWeightPointerARB, static_cast<GLint>(c.count), c.glType, stride,
             const_cast<void*>(at(base, c.offset)));
    }
    if ((mask & VertexFormat::kFogArray) != 0 && glFogCoordPointerEXT != nullptr) {
        const Component& c = component(VertexFormat::kFogArray);
        call(glFogCoordPointerEXT, c.glType, stride, at(base, c.offset));
    }
    if ((mask & VertexFormat::kEdgeFlagArray) != 0) {
        call(glEdgeFlagPointer, stride, at(base, component(VertexFormat::kEdgeFlagArray).offset));
    }
    for (int unit = 0; unit < Context::kTextureUnits; ++unit) {
        const std::uint32_t bit = VertexFormat::kTextureArray << unit;
        if ((mask & bit) != 0) {
            const Component& c = component(bit);
            call(glClientActiveTexture, static_cast<GLenum>(GL_TEXTURE0 + unit));
            call(glTexCoordPointer, static_cast<GLint>(c.count), c.glType, stride, at(base, c.offset));
        }
    }
    return true;
}

bool VertexBuffer::bind(std::uint32_t mask) const {
    return bindWith(detail::ImmediateCalls(), mask);
}

bool VertexBuffer::compileBind(system::Assembler& assembler, std::uint32_t mask) const {
    return bindWith(detail::RecordedCalls{assembler}, mask);
}

}  // namespace nevrik::graphics3d
