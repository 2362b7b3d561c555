#pragma once

#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

namespace nevrik::container {

/// A pool of fixed-size slots for T, refilled N slots at a time.
///
/// Node-based containers take their nodes from one so that, after warm-up,
/// they never call the heap per element. A slot is raw storage for a T:
/// allocate() hands it out unconstructed and deallocate() takes it back
/// already destroyed; create() and destroy() do both steps. Memory returns to
/// the heap only when the allocator dies, and every slot must be given back
/// (or its T destroyed) before then. Owned by value by its container; not
/// synchronised.
template <class T, int N = 64>
class Allocator : public object::Object, private object::Noncopyable {
    static_assert(N > 0, "an allocator block needs at least one slot");

public:
    Allocator() noexcept = default;
    ~Allocator() override {
        while (mFirstBlock != nullptr) {
            Block* block = mFirstBlock;
            mFirstBlock = block->next;
            delete block;
        }
    }

    /// Raw storage for one T; refills a block when no slot is free.
    void* allocate() {
        if (mFree == nullptr) {
            refill();
        }
        Slot* slot = mFree;
        mFree = slot->next;
        return slot->storage;
    }

    /// Gives back a slot from allocate() whose T, if any, is already destroyed.
    void deallocate(void* storage) noexcept {
        auto* slot = reinterpret_cast<Slot*>(storage);
        slot->next = mFree;
        mFree = slot;
    }

    /// A T constructed in a fresh slot from `arguments`.
    template <class... Arguments>
    T* create(Arguments&&... arguments) {
        void* storage = allocate();
        try {
            return new (storage) T(std::forward<Arguments>(arguments)...);
        } catch (...) {
            deallocate(storage);
            throw;
        }
    }

    /// Destroys a T made by create() and gives its slot back.
    void destroy(T* element) noexcept {
        element->~T();
        deallocate(element);
    }

    NEVRIK_CLASS_NAME(object::Object, ":Allocator")

    static constexpr int getSlotsPerBlock() noexcept { return N; }
    /// Slots ever made; never falls, since blocks are freed only at destruction.
    std::int64_t getTotalSlots() const noexcept { return mTotal; }
    std::int64_t getBlockCount() const noexcept { return mTotal / N; }

private:
    // A free slot keeps the next free slot in its first word.
    union Slot {
        Slot* next;
        alignas(T) unsigned char storage[sizeof(T)];
    };

    struct Block {
        Block* next;
        std::int32_t count;
        Slot slots[N];
    };

    void refill() {
        auto* block = new Block;
        block->next = nullptr;
        block->count = N;
        // Address order, so consecutive allocations walk forward through memory.
        for (int i = 0; i + 1 < N; ++i) {
            block->slots[i].next = &block->slots[i + 1];
        }
        block->slots[N - 1].next = mFree;
        mFree = &block->slots[0];
        if (mLastBlock != nullptr) {
            mLastBlock->next = block;
        } else {
            mFirstBlock = block;
        }
        mLastBlock = block;
        mTotal += N;
    }

    Block* mFirstBlock = nullptr;
    Block* mLastBlock = nullptr;
    Slot* mFree = nullptr;
    std::int64_t mTotal = 0;
};

}  // namespace nevrik::container
