#pragma once

#include "Recorder.h"

#include "nevrik/gui/View.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace nevrik::gui {

// A view that reports what reaches it to the test thread.
class RecordingView : public View {
public:
    struct Event {
        char kind;  // 'm' moved, 'b' button, 'w' wheel, 'e' entered, 'l' left
        float x;
        float y;
        std::uint32_t bits;
    };

    RecordingView(Recorder& recorder, const input::Rect& frame) : View(frame), mRecorder(recorder) {}

    bool create() override {
        const bool made = View::create();
        mRecorder.record([&] { mCreated += made ? 1 : 0; });
        return made;
    }
    bool paint(Context& /*context*/, const input::Rect& /*area*/) override {
        mRecorder.record([&] { ++mPaints; });
        return true;
    }
    bool frameChanged(const input::Rect& frame) override {
        mRecorder.record([&] { mLastFrame = frame; });
        return true;
    }
    bool mouseMoved(const input::Point& position, std::uint32_t state) override {
        return add({'m', position.x, position.y, state});
    }
    bool mouseButton(const input::Point& position, std::uint32_t event) override {
        return add({'b', position.x, position.y, event});
    }
    bool mouseEntered(const input::Point& position, std::uint32_t state) override {
        return add({'e', position.x, position.y, state});
    }
    bool mouseLeft() override { return add({'l', 0.0f, 0.0f, 0}); }
    bool mouseWheel(float delta, std::uint32_t state) override { return add({'w', delta, 0.0f, state}); }
    // Keys apart from the pointer's events, whose order the tests read.
    bool keyDown(std::uint32_t key) override {
        mRecorder.record([&] { mKeys.push_back({'d', key}); });
        return true;
    }
    bool keyUp(std::uint32_t key) override {
        mRecorder.record([&] { mKeys.push_back({'u', key}); });
        return true;
    }

    int mCreated = 0;
    int mPaints = 0;
    input::Rect mLastFrame;
    std::vector<Event> mEvents;
    std::vector<std::pair<char, std::uint32_t>> mKeys;

private:
    bool add(const Event& event) {
        mRecorder.record([&] { mEvents.push_back(event); });
        return true;
    }

    Recorder& mRecorder;
};

}  // namespace nevrik::gui
