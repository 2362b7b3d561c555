#pragma once

#include "nevrik/container/List.h"
#include "nevrik/container/Map.h"
#include "nevrik/container/Set.h"
#include "nevrik/container/Tuple.h"
#include "nevrik/graphics3d/core/IndexBuffer.h"
#include "nevrik/graphics3d/core/VertexBuffer.h"
#include "nevrik/graphics3d/core/VertexFormat.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace nevrik::graphics3d {

/// Packs the vertex and index data of many draw jobs into a few shared
/// static buffers, so that consecutive draws of a compiled model share their
/// bindings.
///
/// A job's vertices are named by its tuple: the distinct vertex buffers of
/// its per-component slots, in slot order (makeTuple()). Registering a tuple
/// reserves room for its vertices in a merged buffer of the tuple's combined
/// format; registering an index buffer (with its job's tuple) reserves room
/// for its indices. build() then creates the merged buffers and fills them:
/// vertices interleaved (a merged vertex holds the bytes of the matching
/// vertex of each buffer of the tuple, in tuple order), indices rebased by
/// the first vertex of their tuple. The lookups say where each job's data
/// went.
///
/// Owned by value by its user (the model optimiser); holds a reference on
/// every registered source and every merged buffer until clear() or its
/// end. Used on the thread of the current context, since it creates and
/// locks buffers.
class MeshMerger : public object::Object, private object::Noncopyable {
public:
    static constexpr int kSlots = 16;
    static constexpr std::uint32_t kDefaultMaxVertices = 0x10000;
    static constexpr std::uint32_t kDefaultMaxIndices = 0x40000;

    /// The distinct vertex buffers of a job in slot order, nulls after them.
    using Tuple = container::Tuple<VertexBuffer*, kSlots>;

    /// Where the vertices of a tuple go.
    struct VertexMapping {
        /// The merged buffer; null until build().
        VertexBuffer* buffer = nullptr;
        /// The tuple's vertex 0 in the merged buffer.
        std::uint32_t first = 0;
        std::uint32_t count = 0;
    };

    /// Where the indices of an index buffer go.
    struct IndexMapping {
        /// The merged buffer; null until build().
        IndexBuffer* buffer = nullptr;
        /// The source's index 0 in the merged buffer.
        std::uint32_t first = 0;
        std::uint32_t count = 0;
        /// What build() adds to every index: the first vertex of the tuple
        /// the indices were registered with.
        std::uint32_t firstVertex = 0;
    };

    MeshMerger() = default;

    NEVRIK_CLASS_NAME(object::Object, ":MeshMerger")

    /// Adds `buffer` to `tuple` after the buffers it holds, unless it is null
    /// or there already. False, changing nothing, when the tuple is full.
    static bool addToTuple(Tuple& tuple, VertexBuffer* buffer) noexcept;
    /// The tuple of per-component `slots` (raw pointers or object::Pointer),
    /// each distinct buffer at its first slot. Buffers past kSlots distinct
    /// ones are left out.
    template <class Slot, std::size_t N>
    static Tuple makeTuple(const Slot (&slots)[N]) noexcept {
        Tuple tuple;
        for (const Slot& slot : slots) {
            addToTuple(tuple, rawOf(slot));
        }
        return tuple;
    }

    /// Reserves room for the vertices of `tuple`: its count is the largest
    /// vertex count among its buffers (the shorter ones are padded with
    /// zeros), its format the formats of its buffers laid end to end. The
    /// first merged buffer of an equal format with room for them under
    /// maxVertices takes them at its fill level; otherwise a new merged
    /// buffer starts with them. A tuple registered already gives its mapping.
    /// Nothing (registering nothing) for an empty tuple, no vertices, a
    /// combined format beyond VertexFormat::kMaxEntries entries, or a new
    /// tuple after build().
    std::optional<VertexMapping> registerVertices(const Tuple& tuple);
    /// Reserves room for every index of `indexBuffer`, whose job draws from
    /// `tuple` (registered here first if need be). Indices share a merged
    /// buffer of one index size under maxIndices as vertices do; the merged
    /// size is the source's, widened when the rebased indices of the tuple
    /// would not fit it. A buffer registered already keeps its first mapping,
    /// whatever the tuple. Nothing (registering nothing) for a null buffer,
    /// no indices, an index size other than 1, 2 or 4, a tuple that
    /// registers nothing, or a new buffer after build().
    std::optional<IndexMapping> registerIndices(IndexBuffer* indexBuffer, const Tuple& tuple);

    /// Creates every merged buffer (static usage) and fills it from the
    /// sources, which are locked for reading (mode 0) while the merged ones
    /// are locked for writing. Throws MemoryException ("MemoryException")
    /// when a buffer cannot be created or locked. False, doing nothing, when
    /// built already.
    bool build();
    /// Forgets every registration and drops the merged buffers.
    void clear();

    /// The mapping of a registered tuple or index buffer; nothing when it
    /// was not registered.
    std::optional<VertexMapping> getVertexMapping(const Tuple& tuple) const;
    std::optional<IndexMapping> getIndexMapping(const IndexBuffer* indexBuffer) const;

    bool isBuilt() const noexcept { return mBuilt; }
    std::uint32_t getMaxVertices() const noexcept { return mMaxVertices; }
    std::uint32_t getMaxIndices() const noexcept { return mMaxIndices; }
    /// Limits for later registrations; false, changing nothing, for 0.
    bool setMaxVertices(std::uint32_t limit) noexcept;
    bool setMaxIndices(std::uint32_t limit) noexcept;

private:
    // A merged buffer under construction: what its items look like (the
    // vertex format, or the index size), how many are placed, and the buffer
    // that build() makes.
    template <class Layout, class Buffer>
    struct Info {
        Layout layout;
        std::uint32_t count = 0;
        object::Pointer<Buffer> buffer;
    };
    using VbInfo = Info<VertexFormat, VertexBuffer>;
    using IbInfo = Info<std::uint32_t, IndexBuffer>;
    // Where one registration's items went; firstVertex only for indices.
    template <class InfoType>
    struct Mapping {
        InfoType* info = nullptr;
        std::uint32_t first = 0;
        std::uint32_t count = 0;
        std::uint32_t firstVertex = 0;
    };
    using VbMapping = Mapping<VbInfo>;
    using IbMapping = Mapping<IbInfo>;

    static VertexBuffer* rawOf(VertexBuffer* buffer) noexcept { return buffer; }
    static VertexBuffer* rawOf(const object::Pointer<VertexBuffer>& buffer) noexcept { return buffer.get(); }

    void fillVertices(const Tuple& tuple, const VbMapping& mapping);
    void fillIndices(IndexBuffer& source, const IbMapping& mapping);

    container::Map<Tuple, VbMapping> mVertexMappings;
    container::Map<IndexBuffer*, IbMapping> mIndexMappings;
    container::List<VbInfo> mVertexInfos;
    container::List<IbInfo> mIndexInfos;
    // Keeps the registered sources alive: the maps key on their addresses.
    container::Set<object::Pointer<Resource>> mSources;
    std::uint32_t mMaxIndices = kDefaultMaxIndices;
    std::uint32_t mMaxVertices = kDefaultMaxVertices;
    bool mBuilt = false;
};

}  // namespace nevrik::graphics3d
