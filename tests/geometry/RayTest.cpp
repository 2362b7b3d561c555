#include "nevrik/geometry/Ray.h"

#include <gtest/gtest.h>

namespace nevrik::geometry {
namespace {

TEST(RayTest, TransformMovesTheOriginButOnlyTurnsTheDirection) {
    math::Matrix4<float> m({0, -1, 0, 10, 1, 0, 0, 20, 0, 0, 2, 30, 0, 0, 0, 1});
    Ray ray(math::Vector3<float>(1.0f, 2.0f, 3.0f), math::Vector3<float>(1.0f, 0.0f, 1.0f));
    ray.transform(m);
    EXPECT_EQ(ray.origin, math::Vector3<float>(8.0f, 21.0f, 36.0f));
    EXPECT_EQ(ray.direction, math::Vector3<float>(0.0f, 1.0f, 2.0f));
    EXPECT_EQ(ray.pointAt(0.5f), math::Vector3<float>(8.0f, 21.5f, 37.0f));
}

}  // namespace
}  // namespace nevrik::geometry
