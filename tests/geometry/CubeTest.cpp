#include "nevrik/geometry/Cube.h"

#include <gtest/gtest.h>

namespace nevrik::geometry {
namespace {

using Vec = math::Vector3<float>;

// A cell of edge 2 at (10, 0, 0): its loose bound reaches 2 either way.
const Cube kCell{Vec(10.0f, 0.0f, 0.0f), 2.0f};

TEST(CubeTest, LooseBoundIsTwiceTheCell) {
    PickResult hit;
    ASSERT_TRUE(intersects(kCell, Ray(Vec(), Vec(4.0f, 0.0f, 0.0f)), &hit));
    EXPECT_FLOAT_EQ(hit.distance, 2.0f);
    EXPECT_EQ(hit.point, Vec(8.0f, 0.0f, 0.0f));
    EXPECT_EQ(hit.normal, Vec(-2.0f, 0.0f, 0.0f));
    // 1.9 off the axis: outside the cell itself, inside its loose bound.
    EXPECT_TRUE(intersects(kCell, Ray(Vec(0.0f, 1.9f, 0.0f), Vec(1.0f, 0.0f, 0.0f)), nullptr));
    EXPECT_FALSE(intersects(kCell, Ray(Vec(0.0f, 2.1f, 0.0f), Vec(1.0f, 0.0f, 0.0f)), nullptr));
}

TEST(CubeTest, SlabsDecideParallelBehindSkewAndInsideRays) {
    // Zero z rate: decided by |d| <= edge on that axis alone.
    EXPECT_TRUE(intersects(kCell, Ray(Vec(0.0f, 0.0f, 2.0f), Vec(1.0f, 0.0f, 0.0f)), nullptr));
    EXPECT_FALSE(intersects(kCell, Ray(Vec(0.0f, 0.0f, -2.5f), Vec(1.0f, 0.0f, 0.0f)), nullptr));
    EXPECT_FALSE(intersects(kCell, Ray(Vec(), Vec(-1.0f, 0.0f, 0.0f)), nullptr));
    // Leaves the y slab before it enters the x slab.
    EXPECT_FALSE(intersects(kCell, Ray(Vec(), Vec(1.0f, 0.5f, 0.0f)), nullptr));
    EXPECT_TRUE(intersects(kCell, Ray(Vec(), Vec(1.0f, 0.2f, 0.0f)), nullptr));

    PickResult hit;
    ASSERT_TRUE(intersects(kCell, Ray(Vec(11.0f, 1.0f, -1.0f), Vec(0.0f, 0.0f, -7.0f)), &hit));
    EXPECT_EQ(hit.distance, 0.0f);
    EXPECT_EQ(hit.point, Vec(11.0f, 1.0f, -1.0f));
}

}  // namespace
}  // namespace nevrik::geometry
