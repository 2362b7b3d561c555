#pragma once

#include "nevrik/application/Message.h"
#include "nevrik/gui3d/View.h"

#include <cstdint>
#include <string>

namespace nevrik::gui3d::testing {

// A view that writes each call it gets into a log shared with other views:
// "<name>.<call>", separated by spaces; mouse calls with their position.
// Each answer of a mouse or key operation can be chosen.
class RecordingView : public View {
public:
    RecordingView(const char* name, const input::Rect& frame, std::string& log) : View(frame), mLog(log) {
        setName(name);
    }

    bool onMessage(application::Message& message) override {
        return note("message" + std::to_string(message.getWhat()));
    }
    bool attached() override { return note("attached"); }
    bool detached() override { return note("detached"); }
    bool activate() override { return note("activate"); }
    bool deactivate() override { return note("deactivate"); }
    bool focusLost() override { return note("focusLost"); }
    bool frameChanged(const input::Rect& /*frame*/) override { return note("frameChanged"); }
    bool keyDown(std::uint32_t key) override { return note("keyDown" + std::to_string(key)) && mTakes; }
    bool keyUp(std::uint32_t key) override { return note("keyUp" + std::to_string(key)) && mTakes; }
    bool character(std::uint32_t code, std::uint32_t modifiers) override {
        return note("char" + std::to_string(code) + "/" + std::to_string(modifiers)) && mTakes;
    }
    bool mouseMoved(const input::Point& position, std::uint32_t /*state*/) override {
        return note("move" + at(position)) && mTakes;
    }
    bool mouseButton(const input::Point& position, std::uint32_t event) override {
        return note("button" + std::to_string(event) + at(position)) && mTakes;
    }
    bool mouseEntered(const input::Point& position, std::uint32_t /*state*/) override {
        return note("enter" + at(position)) && mTakes;
    }
    bool mouseLeft() override { return note("leave") && mTakes; }

    // Whether the mouse and key operations take what they get.
    bool mTakes = true;

private:
    static std::string at(const input::Point& position) {
        return "(" + std::to_string(static_cast<int>(position.x)) + "," + std::to_string(static_cast<int>(position.y)) +
               ")";
    }

    bool note(const std::string& call) {
        if (!mLog.empty()) {
            mLog += ' ';
        }
        mLog += getName().c_str();
        mLog += '.';
        mLog += call;
        return true;
    }

    std::string& mLog;
};

}  // namespace nevrik::gui3d::testing
