#pragma once

namespace nevrik::platform {

/// Keeps the X server from serving any other client while it lives, so that
/// nothing another program does (destroying a window, say) falls between the
/// requests this thread makes meanwhile.
///
/// A local of one thread, held briefly: every other client waits.
class ServerHold {
public:
    /// Holds the server of the connection `display`, in force on return
    /// (one round trip); null holds nothing.
    explicit ServerHold(void* display) noexcept;
    ServerHold(const ServerHold&) = delete;
    ServerHold& operator=(const ServerHold&) = delete;
    /// Lets the server go at once (the request is sent, not queued).
    ~ServerHold();

private:
    void* mDisplay;
};

}  // namespace nevrik::platform
