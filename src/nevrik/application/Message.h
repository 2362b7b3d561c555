#pragma once

#include "nevrik/container/Chain.h"
#include "nevrik/container/Chainable.h"
#include "nevrik/container/Queueable.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"

#include <cstdint>

namespace nevrik::application {

class Handler;

/// A message: a 32-bit code, the handler that is to receive it and a chain of
/// named parameters.
///
/// Pooled messages come from make(), held by Pointers, queues and posts, and
/// go back when the last holder lets go (release()); the pools
/// grow by 64 and keep their memory, and one process-wide lock guards both
/// the message and the parameter pool. A pooled message holds a reference on
/// its target unless the target is a messenger without a thread of its own (the
/// application, which clears its own messages when it dies). A message is used
/// by one thread at a time: the one that makes it, then the one that delivers it.
class Message : public container::Queueable<Message> {
public:
    static constexpr std::uint32_t QUIT = 0x80000001u;
    static constexpr std::uint32_t WINDOW_OPEN = 0x70000001u;
    static constexpr std::uint32_t WINDOW_CLOSE = 0x70000002u;
    static constexpr std::uint32_t VIEW_PAINT = 0x70000003u;
    static constexpr std::uint32_t VIEW_RESIZE = 0x70000004u;

    /// A named value; the value is borrowed, not referenced.
    class Parameter : public container::Chainable<Parameter> {
    public:
        static constexpr int kMaxNameLength = 48;

        /// Keeps the first kMaxNameLength characters of `name`.
        Parameter(const char* name, object::Object* value) noexcept;

        /// Equal over the first kMaxNameLength bytes, up to a terminating zero.
        bool hasName(const char* name) const noexcept;

        const char* getName() const noexcept { return mName; }
        object::Object* getValue() const noexcept { return mValue; }

        /// Parameters taken from the pool and not given back; slots the pool holds.
        static std::int64_t getLiveCount();
        static std::int64_t getPoolSize();

    private:
        char mName[kMaxNameLength + 1];
        object::Object* mValue;
    };

    /// A message of the caller's own (on the stack), outside the pools; it
    /// holds no reference on `target`.
    Message(std::uint32_t what, Handler* target) noexcept;
    /// Gives the parameters back to their pool.
    ~Message();
    Message(const Message&) = delete;
    Message& operator=(const Message&) = delete;

    /// A message from the pool; the pointer is its one holder.
    static object::Pointer<Message> make(std::uint32_t what, Handler* target);

    /// Adds a holder of a pooled message (a queue, a copied Pointer).
    void addReference() noexcept { ++mUseCount; }
    /// Drops one holder of a pooled message; the last one gives the parameters
    /// and the message back to their pools.
    void release() noexcept;

    /// Appends a parameter from the pool. Returns false, adding nothing, for a
    /// null name.
    bool addParameter(const char* name, object::Object* value);
    /// The first parameter named `name` (see Parameter::hasName()), or null.
    const Parameter* getParameter(const char* name) const noexcept;
    /// Gives every parameter back to its pool.
    void clearParameters() noexcept;

    std::uint32_t getWhat() const noexcept { return mWhat; }
    Handler* getTarget() const noexcept { return mTarget; }
    std::uint32_t getUseCount() const noexcept { return mUseCount; }
    int getParameterCount() const noexcept { return mParameters.getCount(); }

    /// Messages taken from the pool and not given back; slots the pool holds.
    static std::int64_t getLiveCount();
    static std::int64_t getPoolSize();

private:
    std::uint32_t mWhat;
    std::uint32_t mUseCount = 1;
    container::Chain<Parameter> mParameters;
    Handler* mTarget;
    // Pooled and holding a reference on the target.
    bool mHoldsTarget = false;
};

}  // namespace nevrik::application
