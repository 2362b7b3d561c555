#include "nevrik/platform/ThreadHandle.h"

#include "nevrik/platform/Event.h"
#include "nevrik/platform/ThreadId.h"
#include "nevrik/platform/ThreadQueue.h"

#include <system_error>
#include <thread>

namespace nevrik::platform {

struct ThreadHandle::State {
    Event ended;
};

ThreadHandle ThreadHandle::start(Entry entry, void* argument, std::uint32_t id) {
    ThreadHandle handle;
    handle.mState = std::make_shared<State>();
    try {
        // Detached: the end is signalled through the shared state, so waiting
        // works for any number of waiters and nobody has to reap the thread.
        std::thread([state = handle.mState, entry, argument, id] {
            ThreadId::adopt(id);
            entry(argument);
            ThreadQueue::closeCurrent();
            state->ended.set();
        }).detach();
    } catch (const std::system_error&) {
        return ThreadHandle();
    }
    return handle;
}

std::uint32_t ThreadHandle::nextId() noexcept {
    return ThreadId::allocate();
}

void ThreadHandle::join() const {
    if (mState != nullptr) {
        mState->ended.wait();
    }
}

}  // namespace nevrik::platform
