#pragma once

#include "nevrik/math/Matrix4.h"
#include "nevrik/math/Vector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace nevrik::input3d::test {

inline void expectNear(const math::Vector3<float>& actual, const math::Vector3<float>& expected,
                       float tolerance = 1e-5f) {
    EXPECT_LE((actual - expected).length(), tolerance)
        << "(" << actual.x << ", " << actual.y << ", " << actual.z << ")";
}

inline void expectNear(const math::Matrix4<float>& actual, const math::Matrix4<float>& expected) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-5f) << "element " << i;
    }
}

// The angle of the rotation in the upper 3×3 part, from its trace.
inline float turnAngle(const math::Matrix4<float>& m) {
    return std::acos(std::clamp((m(0, 0) + m(1, 1) + m(2, 2) - 1.0f) / 2.0f, -1.0f, 1.0f));
}

// Turns `angle` about `axis`, then moves by `translation`.
inline math::Matrix4<float> rigid(float angle, const math::Vector3<float>& axis,
                                  const math::Vector3<float>& translation) {
    math::Matrix4<float> m;
    m.rotate(angle, axis);
    m.setColumn(3, translation);
    return m;
}

}  // namespace nevrik::input3d::test
