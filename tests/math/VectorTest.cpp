#include "nevrik/math/Vector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <type_traits>

namespace nevrik::math {
namespace {

static_assert(std::is_same_v<Vector3<float>, Vector<float, 3>>, "one type under both spellings");
static_assert(sizeof(Vector3<float>[4]) == 12 * sizeof(float), "packed: three floats per element");
static_assert(std::is_trivially_copyable_v<Vector3<float>> && std::is_standard_layout_v<Vector3<float>>,
              "safe to copy as bytes and to hand to OpenGL");

TEST(VectorTest, ArithmeticFollowsComponentRules) {
    const Vector3<float> a(1.0f, 2.0f, 3.0f);
    const Vector3<float> b(-4.0f, 0.5f, 2.0f);
    EXPECT_EQ(a + b, Vector3<float>(-3.0f, 2.5f, 5.0f));
    EXPECT_EQ(a - b, Vector3<float>(5.0f, 1.5f, 1.0f));
    EXPECT_EQ(a * 2.0f, 2.0f * a);
    EXPECT_EQ(a * 2.0f, Vector3<float>(2.0f, 4.0f, 6.0f));
    EXPECT_FLOAT_EQ(a.dot(b), 3.0f);
    EXPECT_FLOAT_EQ(Vector3<float>(3.0f, 4.0f, 12.0f).length(), 13.0f);
    EXPECT_FLOAT_EQ(b.squaredLength(), 20.25f);
}

TEST(VectorTest, CrossProductIsRightHandedAndPerpendicular) {
    const Vector3<float> x(1.0f, 0.0f, 0.0f);
    const Vector3<float> y(0.0f, 1.0f, 0.0f);
    EXPECT_EQ(x.cross(y), Vector3<float>(0.0f, 0.0f, 1.0f));
    EXPECT_EQ(y.cross(x), Vector3<float>(0.0f, 0.0f, -1.0f));

    const Vector3<float> a(1.0f, 2.0f, 3.0f);
    const Vector3<float> b(-4.0f, 0.5f, 2.0f);
    const Vector3<float> c = a.cross(b);
    EXPECT_FLOAT_EQ(c.dot(a), 0.0f);
    EXPECT_FLOAT_EQ(c.dot(b), 0.0f);
    EXPECT_EQ(a.cross(a), Vector3<float>());
}

TEST(VectorTest, NormaliseScalesToUnitAndLeavesZeroAlone) {
    Vector3<float> v(3.0f, 0.0f, -4.0f);
    v.normalise();
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.z, -0.8f);
    EXPECT_FLOAT_EQ(v.length(), 1.0f);

    Vector3<float> zero;
    zero.normalise();
    EXPECT_EQ(zero, Vector3<float>(0.0f, 0.0f, 0.0f));

    // A squared length that underflows to zero must not divide either.
    Vector3<float> tiny(1e-30f, 0.0f, 0.0f);
    tiny.normalise();
    EXPECT_EQ(tiny.x, 1e-30f);
}

TEST(VectorTest, IndexingAndDoublePrecision) {
    Vector<double, 3> v(1.0, 2.0, 3.0);
    v[2] = 1e300;
    EXPECT_EQ(v.z, 1e300);
    EXPECT_EQ(v[0], 1.0);
    // Double keeps what float would round away: locale positions rely on it.
    const Vector<double, 3> far(1e9 + 0.25, 0.0, 0.0);
    EXPECT_EQ((far - Vector<double, 3>(1e9, 0.0, 0.0)).x, 0.25);
}

}  // namespace
}  // namespace nevrik::math
