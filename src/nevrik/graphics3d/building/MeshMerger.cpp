#include "nevrik/graphics3d/building/MeshMerger.h"

#include "nevrik/graphics3d/building/MemoryException.h"
#include "nevrik/graphics3d/core/BufferLock.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <tuple>
#include <type_traits>

namespace nevrik::graphics3d {
namespace {

// Lays the entries of `source` after those of `target`, gaps included, so
// that a merged vertex is the source vertices' bytes end to end (append()
// would fill unused entries in between). False when they do not fit.
bool appendLayout(VertexFormat& target, const VertexFormat& source) noexcept {
    for (int i = 0; i < source.getEntryCount(); ++i) {
        const VertexFormat::Entry& entry = *source.getEntry(i);
        if ((entry.type != 0 || entry.mask != 0) &&
            !target.set(target.getEntryCount(), entry.type, entry.mask)) {
            return false;
        }
    }
    return true;
}

// Formats whose in-use entries agree may still differ in the size of their
// gaps; a shared buffer needs the same stride too.
bool sameLayout(const VertexFormat& a, const VertexFormat& b) noexcept {
    return a == b && a.getStride() == b.getStride();
}

// The smallest index size, at least `size`, that holds `value`.
std::uint32_t indexSizeFor(std::uint32_t size, std::uint64_t value) noexcept {
    const std::uint32_t needed = value <= 0xFFu ? 1 : value <= 0xFFFFu ? 2 : 4;
    return std::max(size, needed);
}

void putIndex(std::uint8_t* at, std::uint32_t size, std::uint32_t value) noexcept {
    if (size == 1) {
        *at = static_cast<std::uint8_t>(value);
    } else if (size == 2) {
        const auto narrow = static_cast<std::uint16_t>(value);
        std::memcpy(at, &narrow, sizeof narrow);
    } else {
        std::memcpy(at, &value, sizeof value);
    }
}

template <class Buffer>
void requireLock(const BufferLock<Buffer>& lock) {
    if (!lock.isLocked()) {
        throw MemoryException();
    }
}

// Places `count` items of `layout` in the first of `infos` that has the
// same layout and room under `limit`, or else in a new one appended.
template <class Info, class Layout, class Same>
auto placeIn(container::List<Info>& infos, const Layout& layout, std::uint32_t count, std::uint32_t limit,
             const Same& same) {
    Info* info = nullptr;
    for (Info& candidate : infos) {
        if (same(candidate.layout, layout) && std::uint64_t{candidate.count} + count <= limit) {
            info = &candidate;
            break;
        }
    }
    if (info == nullptr) {
        info = &infos.append(Info{layout, 0, nullptr})->getValue();
    }
    const std::uint32_t first = info->count;
    info->count += count;
    return std::make_tuple(info, first);
}

// Makes the merged buffer of every one of `infos` through `create`, locks it
// for writing and has `fill` copy in the data of each of `mappings` placed there.
template <class Info, class Mappings, class Create, class Fill>
void fillAll(container::List<Info>& infos, Mappings& mappings, const Create& create, const Fill& fill) {
    for (Info& info : infos) {
        info.buffer = create(info);
        if (!info.buffer) {
            throw MemoryException();
        }
        BufferLock<std::remove_reference_t<decltype(*info.buffer)>> target(*info.buffer,
                                                                           VertexBuffer::kWrite);
        requireLock(target);
        for (auto& node : mappings) {
            if (node.getValue().info == &info) {
                fill(node.getKey(), node.getValue());
            }
        }
    }
}

}  // namespace

bool MeshMerger::addToTuple(Tuple& tuple, VertexBuffer* buffer) noexcept {
    if (buffer == nullptr) {
        return true;
    }
    for (VertexBuffer*& slot : tuple) {
        if (slot == buffer) {
            return true;
        }
        if (slot == nullptr) {
            slot = buffer;
            return true;
        }
    }
    return false;
}

std::optional<MeshMerger::VertexMapping> MeshMerger::registerVertices(const Tuple& tuple) {
    if (std::optional<VertexMapping> known = getVertexMapping(tuple)) {
        return known;
    }
    if (mBuilt) {
        return std::nullopt;
    }
    VertexFormat format;
    std::uint32_t count = 0;
    for (const VertexBuffer* buffer : tuple) {
        if (buffer != nullptr) {
            if (!appendLayout(format, buffer->getFormat())) {
                return std::nullopt;
            }
            count = std::max(count, buffer->getVertexCount());
        }
    }
    if (count == 0) {
        return std::nullopt;
    }
    const auto [info, first] = placeIn(mVertexInfos, format, count, mMaxVertices, sameLayout);
    mVertexMappings.insert(tuple, VbMapping{info, first, count});
    for (VertexBuffer* buffer : tuple) {
        if (buffer != nullptr) {
            mSources.insert(object::Pointer<Resource>(buffer));
        }
    }
    return VertexMapping{nullptr, first, count};
}

std::optional<MeshMerger::IndexMapping> MeshMerger::registerIndices(IndexBuffer* indexBuffer,
                                                                    const Tuple& tuple) {
    if (indexBuffer == nullptr) {
        return std::nullopt;
    }
    if (std::optional<IndexMapping> known = getIndexMapping(indexBuffer)) {
        return known;
    }
    const std::uint32_t count = indexBuffer->getIndexCount();
    const std::uint32_t sourceSize = indexBuffer->getIndexSize();
    if (mBuilt || count == 0 || (sourceSize != 1 && sourceSize != 2 && sourceSize != 4)) {
        return std::nullopt;
    }
    const std::optional<VertexMapping> vertices = registerVertices(tuple);
    if (!vertices) {
        return std::nullopt;
    }
    // The largest rebased index that still names one of the tuple's
    // vertices must survive the merged index size: a byte index of a job
    // placed at vertex 300 needs two.
    const std::uint64_t largestSource = sourceSize == 4 ? 0xFFFFFFFFu : (1u << (8 * sourceSize)) - 1;
    const std::uint64_t largest =
        vertices->first + std::min<std::uint64_t>(vertices->count - 1, largestSource);
    const std::uint32_t indexSize = indexSizeFor(sourceSize, largest);
    const auto [info, first] = placeIn(mIndexInfos, indexSize, count, mMaxIndices, std::equal_to<>());
    mIndexMappings.insert(indexBuffer, IbMapping{info, first, count, vertices->first});
    mSources.insert(object::Pointer<Resource>(indexBuffer));
    return IndexMapping{nullptr, first, count, vertices->first};
}

bool MeshMerger::build() {
    if (mBuilt) {
        return false;
    }
    try {
        fillAll(
            mIndexInfos, mIndexMappings,
            [](const IbInfo& info) {
                return IndexBuffer::create(info.layout, info.count, VertexBuffer::kStatic);
            },
            [this](IndexBuffer* source, const IbMapping& mapping) { fillIndices(*source, mapping); });
        fillAll(
            mVertexInfos, mVertexMappings,
            [](const VbInfo& info) {
                return VertexBuffer::create(info.layout, info.count, VertexBuffer::kStatic);
            },
            [this](const Tuple& tuple, const VbMapping& mapping) { fillVertices(tuple, mapping); });
    } catch (...) {
        // Half-filled buffers must not be handed out; a later build() may
        // try again.
        for (IbInfo& info : mIndexInfos) {
            info.buffer.reset();
        }
        for (VbInfo& info : mVertexInfos) {
            info.buffer.reset();
        }
        throw;
    }
    mBuilt = true;
    return true;
}

void MeshMerger::fillIndices(IndexBuffer& source, const IbMapping& mapping) {
    BufferLock<IndexBuffer> lock(source, VertexBuffer::kRead);
    requireLock(lock);
    const std::uint32_t size = mapping.info->layout;
    std::uint8_t* at = mapping.info->buffer->getData() + std::uint64_t{mapping.first} * size;
    for (std::uint32_t i = 0; i < mapping.count; ++i, at += size) {
        putIndex(at, size, source.getIndex(i) + mapping.firstVertex);
    }
}

void MeshMerger::fillVertices(const Tuple& tuple, const VbMapping& mapping) {
    const std::uint32_t stride = mapping.info->layout.getStride();
    std::uint8_t* const base = mapping.info->buffer->getData() + std::uint64_t{mapping.first} * stride;
    std::uint32_t offset = 0;
    for (VertexBuffer* source : tuple) {
        if (source == nullptr) {
            continue;
        }
        BufferLock<VertexBuffer> lock(*source, VertexBuffer::kRead);
        requireLock(lock);
        const std::uint32_t size = source->getStride();
        const std::uint32_t available = source->getVertexCount();
        for (std::uint32_t vertex = 0; vertex < mapping.count; ++vertex) {
            std::uint8_t* to = base + std::uint64_t{vertex} * stride + offset;
            // A buffer shorter than the tuple's longest gives zeros.
            if (vertex < available) {
                std::memcpy(to, source->getData() + std::uint64_t{vertex} * size, size);
            } else {
                std::memset(to, 0, size);
            }
        }
        offset += size;
    }
}

void MeshMerger::clear() {
    mVertexMappings.clear();
    mIndexMappings.clear();
    mVertexInfos.clear();
    mIndexInfos.clear();
    mSources.clear();
    mBuilt = false;
}

std::optional<MeshMerger::VertexMapping> MeshMerger::getVertexMapping(const Tuple& tuple) const {
    if (const VbMapping* mapping = mVertexMappings.find(tuple)) {
        return VertexMapping{mapping->info->buffer.get(), mapping->first, mapping->count};
    }
    return std::nullopt;
}

std::optional<MeshMerger::IndexMapping> MeshMerger::getIndexMapping(const IndexBuffer* indexBuffer) const {
    if (const IbMapping* mapping = mIndexMappings.find(const_cast<IndexBuffer*>(indexBuffer))) {
        return IndexMapping{mapping->info->buffer.get(), mapping->first, mapping->count,
                            mapping->firstVertex};
    }
    return std::nullopt;
}

bool MeshMerger::setMaxVertices(std::uint32_t limit) noexcept {
    if (limit == 0) {
        return false;
    }
    mMaxVertices = limit;
    return true;
}

bool MeshMerger::setMaxIndices(std::uint32_t limit) noexcept {
    if (limit == 0) {
        return false;
    }
    mMaxIndices = limit;
    return true;
}

}  // namespace nevrik::graphics3d
