#pragma once

#include "nevrik/application/Message.h"
#include "nevrik/gui3d/View.h"

#include <string>

namespace nevrik::gui3d::testing {

// A view that writes each call it gets into a log shared with other views,
// as "<name>.<call>" separated by spaces, mouse calls with their position.
// Its mouse and key operations take what they get when `mTakes` is set.
class RecordingView : public View {
public:
    RecordingView(const char* name, const input::Rect& frame, std::string& log) : View(frame), mLog(log) {
        setName(name);
    }

    bool onMessage(application::Message& message) override { return note("message", message.getWhat()); }
    bool attached() override { return note("attached"); }
    bool detached() override { return note("detached"); }
    bool activate() override { return note("activate"); }
    bool focusLost() override { return note("focusLost"); }
    bool frameChanged(const input::Rect&) override { return note("frameChanged"); }
    bool keyDown(std::uint32_t key) override { return note("keyDown", key) && mTakes; }
    bool character(std::uint32_t code, std::uint32_t) override { return note("char", code) && mTakes; }
    bool mouseMoved(const input::Point& at, std::uint32_t) override { return note("move", at) && mTakes; }
    bool mouseButton(const input::Point& at, std::uint32_t) override { return note("button", at) && mTakes; }
    bool mouseEntered(const input::Point& at, std::uint32_t) override { return note("enter", at) && mTakes; }
    bool mouseLeft() override { return note("leave") && mTakes; }

    bool mTakes = true;

private:
    bool note(const std::string& call, const input::Point& at) {
        return note(call + "(" + std::to_string(static_cast<int>(at.x)) + "," +
                    std::to_string(static_cast<int>(at.y)) + ")");
    }
    bool note(const std::string& call, std::uint32_t value) { return note(call + std::to_string(value)); }
    bool note(const std::string& call) {
        mLog += (mLog.empty() ? "" : " ") + std::string(getName().c_str()) + "." + call;
        return true;
    }

    std::string& mLog;
};

}  // namespace nevrik::gui3d::testing
