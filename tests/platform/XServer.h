#pragma once

#include <chrono>
#include <thread>

namespace nevrik::platform {

// Makes the first connection of a test program. The X server resets itself
// when its last client leaves, and refuses connections meanwhile; with test
// programs running side by side that moment comes often. `connect` is tried
// again for up to five seconds, a guard far beyond the reset's duration.
template <class Connect>
bool connectDespiteReset(Connect connect) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!connect()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace nevrik::platform
