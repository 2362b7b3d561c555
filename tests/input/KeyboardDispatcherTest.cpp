#include "nevrik/input/KeyboardDispatcher.h"

#include "nevrik/input/MouseDispatcher.h"
#include "nevrik/types/String.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace nevrik::input {
namespace {

using Log = std::vector<std::string>;

// Listens to both kinds of input, as a flight controller does.
class Both : public KeyboardListener, public MouseListener {
public:
    explicit Both(Log& log) : mLog(log) {}
    void keyDown(std::uint32_t key) override { mLog.push_back("down " + std::to_string(key)); }
    void keyUp(std::uint32_t key) override { mLog.push_back("up " + std::to_string(key)); }
    void character(std::uint32_t code, std::uint32_t modifiers) override {
        mLog.push_back("char " + std::to_string(code) + " " + std::to_string(modifiers));
    }

private:
    Log& mLog;
};

TEST(KeyboardDispatcherTest, ForwardsKeysAndLeavesWithItsListener) {
    Log log;
    KeyboardDispatcher keys;
    MouseDispatcher mouse;
    EXPECT_STREQ(keys.className().c_str(), "Object:Dispatcher:KeyboardDispatcher");
    auto listener = std::make_unique<Both>(log);
    keys.addListener(listener.get());
    mouse.addListener(listener.get());
    keys.keyDown(KeyboardListener::kUpKey);
    keys.character('a', MouseListener::kShift);
    keys.keyUp(KeyboardListener::kUpKey);
    EXPECT_EQ(log, (Log{"down 38", "char 97 3", "up 38"}));

    // Each interface keeps its own registrations, and both go.
    listener.reset();
    EXPECT_EQ(keys.getListenerCount(), 0);
    EXPECT_EQ(mouse.getListenerCount(), 0);
}

}  // namespace
}  // namespace nevrik::input
