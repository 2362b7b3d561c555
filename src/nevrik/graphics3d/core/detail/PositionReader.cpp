#include "nevrik/graphics3d/core/detail/PositionReader.h"

#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/TypeWord.h"
#include "nevrik/graphics3d/core/VertexMesh.h"

#include <cstring>
#include <limits>

namespace nevrik::graphics3d::detail {
namespace {

template <class T>
math::Vector3<float> convert(const std::uint8_t* at) noexcept {
    T values[3];
    std::memcpy(values, at, sizeof values);
    return {static_cast<float>(values[0]), static_cast<float>(values[1]), static_cast<float>(values[2])};
}

bool isPosition(std::uint32_t type) noexcept {
    const std::uint32_t count = TypeWord::getCount(type);
    const std::uint32_t scalar = TypeWord::getScalar(type);
    return (count == 3 || count == 4) && scalar != TypeWord::kInvalid && TypeWord::getGlType(scalar) != 0 &&
           TypeWord::make(scalar, count) == type;
}

}  // namespace

PositionReader::PositionReader(VertexBuffer& buffer, std::uint32_t offset, std::uint32_t type)
    : mBuffer(buffer),
      mLock(buffer, VertexBuffer::kRead),
      mOffset(offset),
      mType(type),
      mReadable(isPosition(type) && std::uint64_t{offset} + TypeWord::getSize(type) <= buffer.getStride()) {}

bool PositionReader::open(const VertexMesh& mesh, std::optional<PositionReader>& reader) {
    for (int slot = 0; slot < mesh.getBufferCount(); ++slot) {
        VertexBuffer* buffer = mesh.getVertexBuffer(slot);
        if (buffer == nullptr || (buffer->getComponentMask() & VertexFormat::kPositionArray) == 0) {
            continue;
        }
        const VertexFormat& format = buffer->getFormat();
        for (int i = 0; i < format.getEntryCount(); ++i) {
            const VertexFormat::Entry& entry = *format.getEntry(i);
            if ((entry.mask & VertexFormat::kPositionArray) != 0) {
                reader.emplace(*buffer, entry.offset, entry.type);
                return reader->isLocked();
            }
        }
    }
    return false;
}

bool PositionReader::append(std::uint32_t first, std::uint32_t count,
                            container::Array<math::Vector3<float>>& positions) const {
    const int start = positions.getCount();
    if (count > static_cast<std::uint32_t>(std::numeric_limits<int>::max() - start)) {
        return false;
    }
    positions.resize(start + static_cast<int>(count));
    math::Vector3<float>* out = positions.getData() + start;
    for (std::uint32_t i = 0; i < count; ++i) {
        out[i] = read(first + i);
    }
    return true;
}

math::Vector3<float> PositionReader::read(std::uint32_t vertex) const noexcept {
    const std::uint8_t* at = mBuffer.getData() + std::uint64_t{vertex} * mBuffer.getStride() + mOffset;
    switch (TypeWord::getScalar(mType)) {
        case TypeWord::kChar:
            return convert<std::int8_t>(at);
        case TypeWord::kUChar:
            return convert<std::uint8_t>(at);
        case TypeWord::kShort:
            return convert<std::int16_t>(at);
        case TypeWord::kUShort:
            return convert<std::uint16_t>(at);
        case TypeWord::kInt:
            return convert<std::int32_t>(at);
        case TypeWord::kUInt:
            return convert<std::uint32_t>(at);
        case TypeWord::kFloat:
            return convert<float>(at);
        default:
            return convert<double>(at);
    }
}

}  // namespace nevrik::graphics3d::detail
