#include "nevrik/geometry/OrientedBox.h"

#include <gtest/gtest.h>

#include <cmath>

namespace nevrik::geometry {
namespace {

using Vec = math::Vector3<float>;

TEST(OrientedBoxTest, DefaultBoxIsTheCubeOfEdgeTwo) {
    const BoundingBox<float> box = OrientedBox().toBoundingBox();
    EXPECT_EQ(box.min, Vec(-1.0f, -1.0f, -1.0f));
    EXPECT_EQ(box.max, Vec(1.0f, 1.0f, 1.0f));
}

TEST(OrientedBoxTest, ConvertsToAndFromAxisAlignedBoxes) {
    const BoundingBox<float> aligned(Vec(-1.0f, 2.0f, 0.0f), Vec(3.0f, 8.0f, 0.5f));
    const OrientedBox box(aligned);
    EXPECT_EQ(box.getCentre(), Vec(1.0f, 5.0f, 0.25f));
    EXPECT_EQ(box.getAxis(1), Vec(0.0f, 3.0f, 0.0f));
    EXPECT_EQ(box.getSquaredLength(1), 9.0f);
    EXPECT_EQ(box.toBoundingBox().min, aligned.min);
    EXPECT_EQ(box.toBoundingBox().max, aligned.max);

    // Turned 45 degrees about z, the unit cube needs sqrt(2) either way in x and y.
    math::Matrix4<float> turn;
    turn.rotate(0.78539816f, Vec(0.0f, 0.0f, 1.0f));
    turn.setColumn(3, Vec(10.0f, 0.0f, 0.0f));
    OrientedBox turned;
    turned.transform(turn);
    const BoundingBox<float> around = turned.toBoundingBox();
    EXPECT_NEAR(around.max.x, 10.0f + std::sqrt(2.0f), 1e-5f);
    EXPECT_NEAR(around.min.y, -std::sqrt(2.0f), 1e-5f);
    EXPECT_NEAR(around.max.z, 1.0f, 1e-6f);
}

TEST(OrientedBoxTest, SquaredLengthsFollowEveryAxisChange) {
    OrientedBox box;
    math::Matrix4<float> stretch;
    stretch(0, 0) = 3.0f;
    stretch(2, 1) = 2.0f;  // y axis gains a z part
    stretch.setColumn(3, Vec(1.0f, 1.0f, 1.0f));
    box.transform(stretch);
    EXPECT_EQ(box.getCentre(), Vec(1.0f, 1.0f, 1.0f));
    EXPECT_EQ(box.getAxis(1), Vec(0.0f, 1.0f, 2.0f));
    EXPECT_EQ(box.getSquaredLength(0), 9.0f);
    EXPECT_EQ(box.getSquaredLength(1), 5.0f);

    EXPECT_TRUE(box.setAxis(2, Vec(0.0f, 0.0f, 4.0f)));
    EXPECT_EQ(box.getSquaredLength(2), 16.0f);
    EXPECT_FALSE(box.setAxis(3, Vec(7.0f, 7.0f, 7.0f)));
    EXPECT_FALSE(box.setAxis(-1, Vec(7.0f, 7.0f, 7.0f)));
    EXPECT_EQ(box.getAxis(2), Vec(0.0f, 0.0f, 4.0f));
}

TEST(OrientedBoxTest, RaySlabTestEntersAtTheNearFace) {
    // Half-axes of length 2 and 0.5: the test must scale by their squares.
    OrientedBox box(BoundingBox<float>(Vec(-2.0f, -0.5f, -1.0f), Vec(2.0f, 0.5f, 1.0f)));
    box.setCentre(Vec(5.0f, 0.0f, 0.0f));

    PickResult hit;
    ASSERT_TRUE(intersects(box, Ray(Vec(), Vec(2.0f, 0.0f, 0.0f)), &hit));
    EXPECT_FLOAT_EQ(hit.distance, 1.5f);
    EXPECT_EQ(hit.point, Vec(3.0f, 0.0f, 0.0f));
    EXPECT_EQ(hit.normal, Vec(-2.0f, 0.0f, 0.0f));

    EXPECT_FALSE(intersects(box, Ray(Vec(), Vec(-1.0f, 0.0f, 0.0f)), &hit)) << "box behind the ray";
    EXPECT_FALSE(intersects(box, Ray(Vec(0.0f, 0.6f, 0.0f), Vec(1.0f, 0.0f, 0.0f)), nullptr));
    EXPECT_TRUE(intersects(box, Ray(Vec(0.0f, 0.4f, 0.0f), Vec(1.0f, 0.0f, 0.0f)), nullptr));
    // Diagonal rays: one passes the corner at (3, 0.5), one clips it.
    EXPECT_FALSE(intersects(box, Ray(Vec(0.0f, -0.6f, 0.0f), Vec(3.0f, 1.2f, 0.0f)), nullptr));
    EXPECT_TRUE(intersects(box, Ray(Vec(0.0f, -0.6f, 0.0f), Vec(3.0f, 1.0f, 0.0f)), nullptr));
}

TEST(OrientedBoxTest, ParallelRaysAreDecidedByTheOtherAxes) {
    math::Matrix4<float> turn;
    turn.rotate(0.5f, Vec(1.0f, 1.0f, 0.0f));
    OrientedBox box;
    box.transform(turn);
    const Vec along = box.getAxis(0);
    const Vec across = box.getAxis(1);

    // Parallel to the pair of faces across axis 1, between them: hits.
    EXPECT_TRUE(intersects(box, Ray(across * 0.9f - along * 5.0f, along), nullptr));
    // The same, outside that pair: no direction along axis 0 can help.
    EXPECT_FALSE(intersects(box, Ray(across * 1.1f - along * 5.0f, along), nullptr));
}

TEST(OrientedBoxTest, RayStartingInsideHitsAtDistanceZero) {
    const OrientedBox box;
    PickResult hit;
    hit.distance = -1.0f;
    const Vec origin(0.5f, -0.25f, 0.0f);
    ASSERT_TRUE(intersects(box, Ray(origin, Vec(0.0f, 0.0f, -3.0f)), &hit));
    EXPECT_EQ(hit.distance, 0.0f);
    EXPECT_EQ(hit.point, origin);
    EXPECT_EQ(hit.normal, origin);
}

}  // namespace
}  // namespace nevrik::geometry
