#pragma once

#include "Recorder.h"

#include "nevrik/gui/Window.h"

#include <cstdint>
#include <vector>

namespace nevrik::gui {

// A window that reports what reaches it to the test thread. The close box
// is only counted, so that a test decides when the window closes.
class RecordingWindow : public Window {
public:
    struct Key {
        char kind;  // 'd' down, 'u' up, 'c' character
        std::uint32_t code;
        std::uint32_t modifiers;
    };

    explicit RecordingWindow(Recorder& recorder) : mRecorder(recorder) {}

    bool paint(Context& /*context*/, const input::Rect& /*area*/) override {
        mRecorder.record([&] { ++mPaints; });
        return true;
    }
    bool closeRequested() override {
        mRecorder.record([&] { ++mCloseRequests; });
        return true;
    }
    bool resized(const input::Rect& frame) override {
        Window::resized(frame);
        mRecorder.record([&] { mResizedTo = frame; });
        return true;
    }
    bool keyDown(std::uint32_t key) override { return add({'d', key, 0}); }
    bool keyUp(std::uint32_t key) override { return add({'u', key, 0}); }
    bool character(std::uint32_t code, std::uint32_t modifiers) override {
        return add({'c', code, modifiers});
    }

    int mPaints = 0;
    int mCloseRequests = 0;
    input::Rect mResizedTo;
    std::vector<Key> mKeys;

private:
    bool add(const Key& key) {
        mRecorder.record([&] { mKeys.push_back(key); });
        return true;
    }

    Recorder& mRecorder;
};

}  // namespace nevrik::gui
