#include "nevrik/geometry/OrientedBox.h"

#include <gtest/gtest.h>

#include <cmath>

namespace nevrik::geometry {
namespace {

using Vec = math::Vector3<float>;

TEST(OrientedBoxTest, ConvertsToAndFromAxisAlignedBoxes) {
    EXPECT_EQ(OrientedBox().toBoundingBox().min, Vec(-1.0f, -1.0f, -1.0f));
    EXPECT_EQ(OrientedBox().toBoundingBox().max, Vec(1.0f, 1.0f, 1.0f));

    const OrientedBox box(BoundingBox<float>(Vec(-1.0f, 2.0f, 0.0f), Vec(3.0f, 8.0f, 0.5f)));
    EXPECT_EQ(box.getCentre(), Vec(1.0f, 5.0f, 0.25f));
    EXPECT_EQ(box.getAxis(1), Vec(0.0f, 3.0f, 0.0f));
    EXPECT_EQ(box.getSquaredLength(1), 9.0f);

    // Turned 45 degrees about z, the unit cube reaches sqrt(2) in x and y.
    math::Matrix4<float> turn;
    turn.rotate(0.78539816f, Vec(0.0f, 0.0f, 1.0f));
    OrientedBox turned;
    turned.transform(turn);
    EXPECT_NEAR(turned.toBoundingBox().max.x, std::sqrt(2.0f), 1e-5f);
    EXPECT_NEAR(turned.toBoundingBox().min.y, -std::sqrt(2.0f), 1e-5f);
}

TEST(OrientedBoxTest, SquaredLengthsFollowEveryAxisChange) {
    OrientedBox box;
    math::Matrix4<float> stretch;
    stretch(0, 0) = 3.0f;
    stretch(2, 1) = 2.0f;  // the y axis gains a z part
    box.transform(stretch);
    EXPECT_EQ(box.getSquaredLength(0), 9.0f);
    EXPECT_EQ(box.getSquaredLength(1), 5.0f);

    EXPECT_FALSE(box.setAxis(3, Vec(7.0f, 7.0f, 7.0f)));
    EXPECT_FALSE(box.setAxis(-1, Vec(7.0f, 7.0f, 7.0f)));
    EXPECT_EQ(box.getAxis(2), Vec(0.0f, 0.0f, 1.0f));
}

TEST(OrientedBoxTest, RaySlabTestUsesTheSquaredHalfAxes) {
    // Half-axes of length 2 and 0.5 around (5, 0, 0).
    OrientedBox box(BoundingBox<float>(Vec(3.0f, -0.5f, -1.0f), Vec(7.0f, 0.5f, 1.0f)));
    PickResult hit;
    ASSERT_TRUE(intersects(box, Ray(Vec(), Vec(2.0f, 0.0f, 0.0f)), &hit));
    EXPECT_FLOAT_EQ(hit.distance, 1.5f);
    EXPECT_EQ(hit.point, Vec(3.0f, 0.0f, 0.0f));
    EXPECT_EQ(hit.normal, Vec(-2.0f, 0.0f, 0.0f));

    EXPECT_FALSE(intersects(box, Ray(Vec(), Vec(-1.0f, 0.0f, 0.0f)), &hit)) << "box behind the ray";
    // Parallel to the y faces: between them hits, beside them misses.
    EXPECT_TRUE(intersects(box, Ray(Vec(0.0f, 0.4f, 0.0f), Vec(1.0f, 0.0f, 0.0f)), nullptr));
    EXPECT_FALSE(intersects(box, Ray(Vec(0.0f, 0.6f, 0.0f), Vec(1.0f, 0.0f, 0.0f)), nullptr));
    // Diagonal rays: one passes the corner at (3, 0.5), one clips it.
    EXPECT_FALSE(intersects(box, Ray(Vec(0.0f, -0.6f, 0.0f), Vec(3.0f, 1.2f, 0.0f)), nullptr));
    EXPECT_TRUE(intersects(box, Ray(Vec(0.0f, -0.6f, 0.0f), Vec(3.0f, 1.0f, 0.0f)), nullptr));

    const Vec inside(4.0f, 0.25f, 0.0f);
    ASSERT_TRUE(intersects(box, Ray(inside, Vec(0.0f, 0.0f, -3.0f)), &hit));
    EXPECT_EQ(hit.distance, 0.0f);
    EXPECT_EQ(hit.point, inside);
}

}  // namespace
}  // namespace nevrik::geometry
