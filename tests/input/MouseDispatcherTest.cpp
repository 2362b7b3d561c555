#include "nevrik/input/MouseDispatcher.h"

#include "nevrik/types/String.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace nevrik::input {
namespace {

using Log = std::vector<std::string>;

// Logs "<name><event><number>"; `onMove` runs after a logged move, so a test
// can act in the middle of a walk.
class Recorder : public MouseListener {
public:
    Recorder(const char* name, Log& log) : mName(name), mLog(log) {}
    void setArea(const Rect& area) override { record(" area ", area.width); }
    void mouseMoved(const Point& position, std::uint32_t state) override {
        record(" moved ", position.x + state);
        if (onMove) {
            onMove();
        }
    }
    void mouseButton(const Point& position, std::uint32_t event) override {
        record(" button ", position.y + event);
    }
    void mouseWheel(float delta) override { record(" wheel ", delta); }

    std::function<void()> onMove;

private:
    void record(const char* event, float value) {
        mLog.push_back(mName + event + std::to_string(int(value)));
    }

    std::string mName;
    Log& mLog;
};

struct OnlyMoves : MouseListener {
    void mouseMoved(const Point&, std::uint32_t) override { ++moves; }
    int moves = 0;
};

TEST(MouseDispatcherTest, ForwardsEveryEventInRegistrationOrder) {
    Log log;
    MouseDispatcher dispatcher;
    EXPECT_STREQ(dispatcher.className().c_str(), "Object:Dispatcher:MouseDispatcher");
    dispatcher.mouseWheel(1.0f);  // nobody listening: accepted, no effect
    Recorder a("a", log);
    Recorder b("b", log);
    OnlyMoves movesOnly;
    ASSERT_TRUE(dispatcher.addListener(&b));
    ASSERT_TRUE(dispatcher.addListener(&a));
    ASSERT_TRUE(dispatcher.addListener(&movesOnly));
    dispatcher.setArea({1, 2, 30, 40});
    dispatcher.mouseMoved({5, 6}, MouseListener::kLeftButton);
    dispatcher.mouseButton({7, 8}, MouseListener::kRightReleased);
    dispatcher.mouseWheel(-120.0f);
    EXPECT_EQ(log, (Log{"b area 30", "a area 30", "b moved 4101", "a moved 4101", "b button 262152",
                        "a button 262152", "b wheel -120", "a wheel -120"}));
    EXPECT_EQ(movesOnly.moves, 1);
}

TEST(MouseDispatcherTest, RegisteringTwiceOrNullChangesNothing) {
    Log log;
    MouseDispatcher dispatcher;
    Recorder listener("a", log);
    EXPECT_TRUE(dispatcher.addListener(&listener));
    EXPECT_FALSE(dispatcher.addListener(&listener));
    EXPECT_FALSE(dispatcher.addListener(nullptr));
    EXPECT_EQ(dispatcher.getListenerCount(), 1);
    EXPECT_EQ(listener.getDispatcherCount(), 1);
    dispatcher.mouseWheel(1.0f);
    EXPECT_EQ(log, Log{"a wheel 1"});
    // A copy is a new listener, registered nowhere.
    EXPECT_EQ(Recorder(listener).getDispatcherCount(), 0);
    EXPECT_EQ(dispatcher.getListenerCount(), 1);
}

TEST(MouseDispatcherTest, WhicheverSideDiesFirstLeavesTheOther) {
    Log log;
    auto left = std::make_unique<MouseDispatcher>();
    MouseDispatcher right;
    Recorder survivor("s", log);
    auto doomed = std::make_unique<Recorder>("d", log);
    left->addListener(doomed.get());
    left->addListener(&survivor);
    right.addListener(&survivor);
    right.addListener(doomed.get());
    doomed.reset();
    EXPECT_EQ(left->getListenerCount(), 1);
    left->mouseWheel(1.0f);
    right.mouseWheel(2.0f);
    EXPECT_EQ(log, (Log{"s wheel 1", "s wheel 2"}));

    // The dead dispatcher is gone from the survivor's list, so the survivor's
    // own death (at the end of the test) cannot reach into freed memory.
    left.reset();
    EXPECT_EQ(survivor.getDispatcherCount(), 1);
}

TEST(MouseDispatcherTest, WalkSkipsListenersDestroyedDuringItAndDefersNewOnes) {
    Log log;
    MouseDispatcher dispatcher;
    Recorder killer("k", log);
    auto self = std::make_unique<Recorder>("s", log);
    auto victim = std::make_unique<Recorder>("v", log);
    Recorder late("n", log);
    dispatcher.addListener(&killer);
    dispatcher.addListener(self.get());
    dispatcher.addListener(victim.get());
    killer.onMove = [&] {
        victim.reset();
        dispatcher.addListener(&late);
    };
    self->onMove = [&] { dispatcher.mouseWheel(1.0f); };  // a nested walk

    dispatcher.mouseMoved({1, 0}, 0);
    EXPECT_EQ(log, (Log{"k moved 1", "s moved 1", "k wheel 1", "s wheel 1", "n wheel 1"}));
    EXPECT_EQ(dispatcher.getListenerCount(), 3);
    killer.onMove = [] { throw 1; };
    EXPECT_THROW(dispatcher.mouseMoved({1, 0}, 0), int);
    self.reset();  // no walk is running any more: removed at once
    EXPECT_EQ(dispatcher.getListenerCount(), 2);
}

}  // namespace
}  // namespace nevrik::input
