#include "nevrik/gui/View.h"

#include "nevrik/object/Pointer.h"
#include "nevrik/platform/WindowMessage.h"

#include <gtest/gtest.h>

#include <string>

namespace nevrik::gui {
namespace {

using object::Pointer;
using platform::WindowMessage;

// Logs what the view procedure calls; keyDown and mouseMoved answer as told.
class LoggingView : public View {
public:
    explicit LoggingView(const input::Rect& frame) : View(frame) {}

    long send(WindowMessage::Type type, int x = 0, int y = 0) {
        WindowMessage message;
        message.type = type;
        message.x = x;
        message.y = y;
        message.width = x;
        message.height = y;
        return send(message);
    }
    long send(const WindowMessage& message) { return procedure(getNativeWindow(), message, this); }

    bool frameChanged(const input::Rect& frame) override {
        mLog += "f" + std::to_string(static_cast<int>(frame.x)) + "," +
                std::to_string(static_cast<int>(frame.width));
        return true;
    }
    bool paint(Context& /*context*/, const input::Rect& area) override {
        mLog += "p" + std::to_string(static_cast<int>(area.width));
        return true;
    }
    bool keyDown(std::uint32_t /*key*/) override {
        mLog += "d";
        return mAccept;
    }
    bool mouseMoved(const input::Point& /*position*/, std::uint32_t /*state*/) override {
        mLog += "m";
        return mAccept;
    }
    bool mouseEntered(const input::Point& /*position*/, std::uint32_t /*state*/) override {
        mLog += "e";
        return true;
    }
    bool mouseLeft() override {
        mLog += "l";
        return true;
    }

    std::string mLog;
    bool mAccept = true;
};

TEST(ViewTest, RelayoutCarriesTheFrameThroughTheInverseTransform) {
    auto view = object::make<LoggingView>(input::Rect{10.0f, 20.0f, 100.0f, 50.0f});
    view->setTransform(graphics::Transform<float>(2.0f, 0.0f, 6.0f, 0.0f, 2.0f, 8.0f));
    view->relayout();
    EXPECT_EQ(view->getBounds().x, -3.0f);
    EXPECT_EQ(view->getBounds().y, -4.0f);
    EXPECT_EQ(view->getBounds().width, 50.0f);
    EXPECT_EQ(view->getBounds().height, 25.0f);
    EXPECT_EQ(view->mLog, "f10,100") << "without a child window the frame is reported at once";

    // View (1, 1) lands at frame origin + transform: (10 + 2 + 6, 20 + 2 + 8).
    const graphics::Transform<float>& placed = view->getWindowTransform();
    EXPECT_EQ(placed.m00 * 1.0f + placed.m01 * 1.0f + placed.tx, 18.0f);
    EXPECT_EQ(placed.m10 * 1.0f + placed.m11 * 1.0f + placed.ty, 30.0f);
}

TEST(ViewTest, FlatteningTransformLeavesTheBoundsAlone) {
    auto view = object::make<LoggingView>(input::Rect{0.0f, 0.0f, 40.0f, 30.0f});
    view->setTransform(graphics::Transform<float>(1.0f, 2.0f, 0.0f, 2.0f, 4.0f, 0.0f));
    view->relayout();
    EXPECT_EQ(view->getBounds().width, 40.0f);
    EXPECT_EQ(view->getBounds().height, 30.0f);
}

TEST(ViewTest, WithoutAWindowThereIsNoChildWindow) {
    auto view = object::make<LoggingView>(input::Rect{0.0f, 0.0f, 40.0f, 30.0f});
    EXPECT_FALSE(view->create());
    EXPECT_FALSE(view->destroy());
    EXPECT_FALSE(view->invalidate());
    EXPECT_EQ(view->getSize().width, 40.0f);
    EXPECT_EQ(view->className(), "Object:Handler:View");
}

TEST(ViewTest, ProcedureReportsEnteringOnceAndLeavingEveryTime) {
    auto view = object::make<LoggingView>(input::Rect{0.0f, 0.0f, 40.0f, 30.0f});
    view->send(WindowMessage::Type::MouseMove, 1, 1);
    view->send(WindowMessage::Type::MouseMove, 2, 1);
    EXPECT_TRUE(view->isTracking());
    view->send(WindowMessage::Type::MouseLeave);
    EXPECT_FALSE(view->isTracking());
    view->send(WindowMessage::Type::MouseMove, 3, 1);
    EXPECT_EQ(view->mLog, "emmlem");
}

TEST(ViewTest, ProcedureAnswersRefusedInputAndDropsRepeats) {
    auto view = object::make<LoggingView>(input::Rect{0.0f, 0.0f, 40.0f, 30.0f});
    WindowMessage key;
    key.type = WindowMessage::Type::KeyDown;
    key.repeat = true;
    EXPECT_EQ(view->send(key), -1);
    EXPECT_EQ(view->mLog, "") << "a repeat never reaches keyDown";
    key.repeat = false;
    EXPECT_EQ(view->send(key), 0);
    view->mAccept = false;
    EXPECT_EQ(view->send(key), -1);
    EXPECT_EQ(view->send(WindowMessage::Type::MouseMove, 1, 1), -1);

    WindowMessage wheel;
    wheel.type = WindowMessage::Type::MouseWheel;
    wheel.delta = -120;
    EXPECT_EQ(view->send(wheel), 0) << "views ignore the wheel by default";
}

TEST(ViewTest, ProcedureKeepsTheFrameAndPaintsTheUpdateArea) {
    auto view = object::make<LoggingView>(input::Rect{0.0f, 0.0f, 40.0f, 30.0f});
    view->send(WindowMessage::Type::Move, 7, 9);
    view->send(WindowMessage::Type::Size, 60, 45);
    EXPECT_EQ(view->getFrame().x, 7.0f);
    EXPECT_EQ(view->getFrame().y, 9.0f);
    EXPECT_EQ(view->getFrame().height, 45.0f);
    WindowMessage paint;
    paint.type = WindowMessage::Type::Paint;
    paint.width = 12;
    view->send(paint);
    EXPECT_EQ(view->mLog, "f7,40f7,60p12");
}

}  // namespace
}  // namespace nevrik::gui
