#include "nevrik/gui3d/View.h"

#include "gui3d/RecordingView.h"

#include <gtest/gtest.h>

namespace nevrik::gui3d {
namespace {

using graphics::Transform;

TEST(ViewTest, RelayoutCarriesTheFrameBackThroughTheTransform) {
    std::string log;
    testing::RecordingView view("v", {10, 20, 30, 40}, log);
    EXPECT_EQ(view.getBounds().width, 30.0f);
    EXPECT_EQ(view.getWindowTransform().ty, 20.0f);
    view.setTransform(Transform<float>(2, 0, 6, 0, 0.5f, -4));
    view.relayout();
    EXPECT_EQ(log, "v.frameChanged");
    const input::Rect& bounds = view.getBounds();
    EXPECT_FLOAT_EQ(bounds.x, -3.0f);
    EXPECT_FLOAT_EQ(bounds.y, 8.0f);
    EXPECT_FLOAT_EQ(bounds.width, 15.0f);
    EXPECT_FLOAT_EQ(bounds.height, 80.0f);
    EXPECT_FLOAT_EQ(view.getWindowTransform().tx, 16.0f);
    EXPECT_FLOAT_EQ(view.getWindowTransform().ty, 16.0f);
    // A flattening transform has no inverse: the bounds stay.
    view.setTransform(Transform<float>(1, 2, 0, 2, 4, 0));
    view.setFrame({0, 0, 100, 100});
    view.relayout();
    EXPECT_FLOAT_EQ(view.getBounds().width, 15.0f);
    EXPECT_FLOAT_EQ(view.getWindowTransform().tx, 0.0f);
}

TEST(ViewTest, HitTestsCountEdgesSkipDisabledViewsAndInvertAnyTransform) {
    View view({100, 50, 40, 40});
    EXPECT_TRUE(view.isUnder({100, 50}));
    EXPECT_TRUE(view.isUnder({140, 90}));
    EXPECT_FALSE(view.isUnder({99.9f, 60}));
    EXPECT_FALSE(view.isUnder({120, 90.1f}));
    // A quarter turn with a scale: each view point must come back from the
    // root point it goes to.
    const Transform<float> turned(0, -2, 40, 3, 0, 5);
    view.setTransform(turned);
    for (const input::Point p : {input::Point{0, 0}, input::Point{3, 4}, input::Point{-2, 7.5f}}) {
        const input::Point back =
            view.toView({100 + turned.m01 * p.y + turned.tx, 50 + turned.m10 * p.x + turned.ty});
        EXPECT_NEAR(back.x, p.x, 1e-4f);
        EXPECT_NEAR(back.y, p.y, 1e-4f);
    }
    view.setEnabled(false);
    EXPECT_FALSE(view.isUnder({120, 60}));
}

}  // namespace
}  // namespace nevrik::gui3d
