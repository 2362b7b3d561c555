#include "nevrik/gui3d/View.h"

#include "gui3d/RecordingView.h"

#include <gtest/gtest.h>

#include <string>

namespace nevrik::gui3d {
namespace {

using graphics::Transform;

void expectPoint(const input::Point& actual, float x, float y) {
    EXPECT_NEAR(actual.x, x, 1e-4f);
    EXPECT_NEAR(actual.y, y, 1e-4f);
}

TEST(ViewTest, StartsWithBoundsOfTheFrameSizePlacedAtTheFrame) {
    View view({10, 20, 30, 40});
    EXPECT_EQ(view.getBounds().x, 0.0f);
    EXPECT_EQ(view.getBounds().width, 30.0f);
    EXPECT_EQ(view.getBounds().height, 40.0f);
    EXPECT_EQ(view.getWindowTransform().tx, 10.0f);
    EXPECT_EQ(view.getWindowTransform().ty, 20.0f);
    EXPECT_TRUE(view.isEnabled());
    EXPECT_EQ(view.getRoot(), nullptr);
    gui::Size size;
    EXPECT_EQ(&view.getSizeInto(size), &size);
    EXPECT_EQ(size.width, 30.0f);
    EXPECT_EQ(size.height, 40.0f);
}

TEST(ViewTest, RelayoutCarriesTheFrameBackThroughTheTransformAndReportsIt) {
    std::string log;
    testing::RecordingView view("v", {10, 20, 30, 40}, log);
    view.setTransform(Transform<float>(2, 0, 6, 0, 0.5f, -4));
    view.relayout();
    EXPECT_EQ(log, "v.frameChanged");
    EXPECT_FLOAT_EQ(view.getBounds().x, -3.0f);
    EXPECT_FLOAT_EQ(view.getBounds().y, 8.0f);
    EXPECT_FLOAT_EQ(view.getBounds().width, 15.0f);
    EXPECT_FLOAT_EQ(view.getBounds().height, 80.0f);
    const Transform<float>& placed = view.getWindowTransform();
    EXPECT_FLOAT_EQ(placed.m00, 2.0f);
    EXPECT_FLOAT_EQ(placed.tx, 16.0f);
    EXPECT_FLOAT_EQ(placed.ty, 16.0f);

    // A flattening transform has no inverse: the bounds stay as they were.
    view.setTransform(Transform<float>(1, 2, 0, 2, 4, 0));
    view.setFrame({0, 0, 100, 100});
    view.relayout();
    EXPECT_FLOAT_EQ(view.getBounds().width, 15.0f);
    EXPECT_FLOAT_EQ(view.getWindowTransform().tx, 0.0f) << "the window transform follows the frame all the same";
}

TEST(ViewTest, HitTestCountsTheEdgesAndSkipsDisabledViews) {
    View view({10, 20, 30, 40});
    EXPECT_TRUE(view.isUnder({10, 20}));
    EXPECT_TRUE(view.isUnder({40, 60}));
    EXPECT_FALSE(view.isUnder({9.99f, 30}));
    EXPECT_FALSE(view.isUnder({20, 60.01f}));
    view.setEnabled(false);
    EXPECT_FALSE(view.isUnder({20, 30}));
}

TEST(ViewTest, RootPointsComeBackInViewCoordinatesUnderAnyInvertibleTransform) {
    View view({100, 50, 40, 40});
    expectPoint(view.toView({105, 57}), 5, 7);
    // A quarter turn with a scale and an offset: the point each view point
    // goes to must come back to it.
    const Transform<float> turned(0, -2, 40, 3, 0, 5);
    view.setTransform(turned);
    for (const input::Point p : {input::Point{0, 0}, input::Point{3, 4}, input::Point{-2, 7.5f}}) {
        const input::Point root{100 + turned.m00 * p.x + turned.m01 * p.y + turned.tx,
                                50 + turned.m10 * p.x + turned.m11 * p.y + turned.ty};
        expectPoint(view.toView(root), p.x, p.y);
    }
    view.setTransform(Transform<float>(0, 0, 0, 0, 0, 0));
    expectPoint(view.toView({103, 54}), 3, 4);
}

// Keys and mouse input not taken let the root offer them elsewhere.
TEST(ViewTest, InputIsNotTakenByDefaultWhileHooksSucceed) {
    View view({0, 0, 1, 1});
    EXPECT_FALSE(view.keyDown(1));
    EXPECT_FALSE(view.keyUp(1));
    EXPECT_FALSE(view.character('a', 0));
    EXPECT_FALSE(view.mouseMoved({0, 0}, 0));
    EXPECT_FALSE(view.mouseButton({0, 0}, 0));
    EXPECT_FALSE(view.mouseEntered({0, 0}, 0));
    EXPECT_FALSE(view.mouseLeft());
    EXPECT_TRUE(view.render());
    EXPECT_TRUE(view.attached());
    EXPECT_TRUE(view.focusLost());

    struct Hidden : View {
        using View::View;
        bool isVisible() const override { return false; }
    } hidden({0, 0, 1, 1});
    EXPECT_TRUE(view.isShowing());
    EXPECT_FALSE(hidden.isShowing());
}

}  // namespace
}  // namespace nevrik::gui3d
