#pragma once

#include "nevrik/container/Allocator.h"
#include "nevrik/container/Array.h"
#include "nevrik/container/Pair.h"
#include "nevrik/graphics3d/DeferedMesh.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"

namespace nevrik::graphics3d {

class Context;

/// The blended meshes of a frame, drawn after the opaque scene in the order
/// they were queued.
///
/// Held by value by its Context, which it points back to; entries come from
/// a pool that grows by 64 and is freed with the queue. Used on the
/// context's thread.
class DeferQueue : public object::Object, private object::Noncopyable {
public:
    using Entry = container::Pair<DeferedMesh*, float>;

    explicit DeferQueue(Context* context) noexcept : mContext(context) {}

    Context* getContext() const noexcept { return mContext; }
    int getCount() const noexcept { return mEntries.getCount(); }

private:
    Context* mContext;
    container::Allocator<DeferedMesh, 64> mPool;
    container::Array<Entry> mEntries;
};

}  // namespace nevrik::graphics3d
