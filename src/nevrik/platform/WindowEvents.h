#pragma once

namespace nevrik::platform {

/// The window-system events of the calling thread's native windows, for the
/// thread's loop to wait on and dispatch.
///
/// Stateless; every call concerns the calling thread only.
class WindowEvents {
public:
    /// Readable when events for the thread's windows have arrived; -1 while
    /// the thread has no window.
    static int getDescriptor();
    /// Handles, without blocking, every event that has arrived and every
    /// request made from other threads (paints, sizes, titles): the window
    /// procedures run here. A thread calls it before each wait, since events
    /// read off the connection earlier do not make the descriptor readable.
    static void dispatch();
};

}  // namespace nevrik::platform
