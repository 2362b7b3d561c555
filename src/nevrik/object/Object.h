#pragma once

#include <atomic>
#include <cstdint>

namespace nevrik::types {
class String;
}

namespace nevrik::object {

class Class;

/// Root of the engine's class tree: an intrusive reference count and a runtime
/// class path.
///
/// An object is born with one reference, its creator's. Holders that keep a
/// pointer beyond a call add a reference and release it later; the release
/// that drops the last reference destroys the object. Objects held by value
/// (members, locals) are never released. The count may be changed from any
/// thread; nothing else here is synchronised.
class Object {
public:
    /// A heap block the object frees when it dies. `next` is the block's second word.
    struct OwnedBlock {
        void* reserved = nullptr;
        OwnedBlock* next = nullptr;
    };

    /// A weak link to an object: when the object dies it clears `watched` and
    /// both links, so the record's holder can tell the object is gone.
    struct Watcher {
        Watcher* next = nullptr;
        Watcher* previous = nullptr;
        const Object* watched = nullptr;
    };

    Object() noexcept = default;
    /// A copy is a new object: it starts with its own single reference and empty lists.
    Object(const Object&) noexcept {}
    /// Assignment copies value, never identity: count and lists stay.
    Object& operator=(const Object&) noexcept { return *this; }
    virtual ~Object();

    /// The name; by default the class path.
    virtual types::String getName() const;
    /// The text form; by default the class path.
    virtual types::String toString() const;
    /// A self-check; true unless a class knows better.
    virtual bool check() const;
    /// The class path: "Object" followed by the name string of each class on the way down.
    virtual types::String className() const;

    /// A new Class object naming className().
    Class getClass() const;

    void addReference() const noexcept { mRefCount.fetch_add(1, std::memory_order_relaxed); }
    /// Drops one reference; the last one destroys the object.
    void release() const noexcept;
    std::int32_t getReferenceCount() const noexcept {
        return mRefCount.load(std::memory_order_relaxed);
    }

    /// Takes ownership of a block made with `new OwnedBlock` (or a type derived from it).
    void adoptBlock(OwnedBlock* block) noexcept;
    /// Links `watcher` so that it is cleared when this object dies. The record
    /// must stay valid and linked until then.
    void addWatcher(Watcher* watcher) const noexcept;

private:
    OwnedBlock* mOwnedBlocks = nullptr;
    mutable Watcher* mWatchers = nullptr;
    mutable std::atomic<std::int32_t> mRefCount{1};
};

}  // namespace nevrik::object

/// Overrides className() for a class with its own name string `name`
/// (":Looper" and so on), appending it to `Base`'s path.
#define NEVRIK_CLASS_NAME(Base, name)                                     \
    ::nevrik::types::String className() const override {                   \
        return Base::className() + name;                                   \
    }
