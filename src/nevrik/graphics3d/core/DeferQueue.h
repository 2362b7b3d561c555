#pragma once

#include "nevrik/container/Allocator.h"
#include "nevrik/container/Array.h"
#include "nevrik/container/Pair.h"
#include "nevrik/graphics3d/core/DeferedMesh.h"
#include "nevrik/math/Matrix4.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"

namespace nevrik::graphics3d {

class Context;

/// The blended meshes of a frame, drawn after the opaque scene in the order
/// they were queued, each with the states and model-view matrix in force
/// when it was queued.
///
/// Held by value by its Context, which it points back to; entries come from
/// a pool that grows by 64 and is freed with the queue, so that a steady
/// frame allocates nothing. Used on the context's thread, with that context
/// current.
class DeferQueue : public object::Object, private object::Noncopyable {
public:
    /// A queued mesh and its view depth.
    using Entry = container::Pair<DeferedMesh*, float>;

    explicit DeferQueue(Context* context) noexcept : mContext(context) {}
    ~DeferQueue() override;

    NEVRIK_CLASS_NAME(object::Object, ":DeferQueue")

    /// Queues `mesh`, which must live until the next flush(), with the
    /// states of its appearance, or of the context where the appearance has
    /// none, and `modelView` (row-major). False, queuing nothing, for null.
    bool add(Mesh* mesh, const math::Matrix4<float>& modelView);
    /// Draws every queued mesh in queue order, then empties the queue; the
    /// pool keeps its entries for the next frame.
    void flush();

    Context* getContext() const noexcept { return mContext; }
    int getCount() const noexcept { return mEntries.getCount(); }
    /// Entry `index` in queue order; throws object::Exception out of range.
    const Entry& getEntry(int index) const { return mEntries[index]; }
    /// Entries the pool has made, queued or free.
    std::int64_t getPoolSize() const noexcept { return mPool.getTotalSlots(); }

private:
    // Sends the entry's states, matrix and mesh.
    void draw(const DeferedMesh& entry);
    // Gives every entry back to the pool.
    void clear() noexcept;

    Context* mContext;
    container::Allocator<DeferedMesh, 64> mPool;
    container::Array<Entry> mEntries;
};

}  // namespace nevrik::graphics3d
