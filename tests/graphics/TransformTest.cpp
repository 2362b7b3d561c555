#include "nevrik/graphics/Transform.h"

#include <gtest/gtest.h>

namespace nevrik::graphics {
namespace {

struct Point {
    float x;
    float y;
};

Point apply(const Transform<float>& t, Point p) {
    return Point{t.m00 * p.x + t.m01 * p.y + t.tx, t.m10 * p.x + t.m11 * p.y + t.ty};
}

void expectPoint(Point actual, float x, float y) {
    EXPECT_FLOAT_EQ(actual.x, x);
    EXPECT_FLOAT_EQ(actual.y, y);
}

TEST(TransformTest, IdentityNameAndTranslation) {
    const Transform<float> identity;
    EXPECT_EQ(identity.className(), "Object:Transform");
    expectPoint(apply(identity, {3.0f, -4.0f}), 3.0f, -4.0f);

    const Transform<float> scaled(2.0f, 0.0f, 1.0f, 0.0f, 3.0f, 1.0f);
    const Transform<float> moved = scaled.translated(10.0f, 20.0f);
    // Translation comes after the map, not before it.
    expectPoint(apply(moved, {1.0f, 1.0f}), 13.0f, 24.0f);
    expectPoint(apply(scaled, {1.0f, 1.0f}), 3.0f, 4.0f);
}

TEST(TransformTest, ProductAppliesTheRightOperandFirst) {
    const Transform<float> a(0.0f, -1.0f, 5.0f, 1.0f, 0.0f, 0.0f);  // quarter turn, then +5 in x
    const Transform<float> b(2.0f, 1.0f, 0.0f, 0.0f, 1.0f, 3.0f);   // shear and scale, then +3 in y
    for (Point p : {Point{0.0f, 0.0f}, Point{1.0f, 2.0f}, Point{-3.0f, 0.5f}}) {
        const Point both = apply(a * b, p);
        const Point stepwise = apply(a, apply(b, p));
        expectPoint(both, stepwise.x, stepwise.y);
    }
    expectPoint(apply(a * b, {1.0f, 0.0f}), 2.0f, 2.0f);
    expectPoint(apply(b * a, {1.0f, 0.0f}), 11.0f, 4.0f);
}

}  // namespace
}  // namespace nevrik::graphics
