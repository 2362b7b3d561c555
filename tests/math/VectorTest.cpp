#include "nevrik/math/Vector.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace nevrik::math {
namespace {

static_assert(std::is_same_v<Vector3<float>, Vector<float, 3>>, "one type under both spellings");
static_assert(sizeof(Vector3<float>[4]) == 12 * sizeof(float), "packed: three floats per element");

TEST(VectorTest, CrossProductIsRightHanded) {
    const Vector3<float> x(1.0f, 0.0f, 0.0f);
    const Vector3<float> y(0.0f, 1.0f, 0.0f);
    EXPECT_EQ(x.cross(y), Vector3<float>(0.0f, 0.0f, 1.0f));
    EXPECT_EQ(y.cross(x), Vector3<float>(0.0f, 0.0f, -1.0f));
    EXPECT_FLOAT_EQ(Vector3<float>(3.0f, 4.0f, 12.0f).length(), 13.0f);
}

TEST(VectorTest, NormaliseLeavesVectorsWithoutPositiveSquaredLengthAlone) {
    Vector3<float> v(3.0f, 0.0f, -4.0f);
    EXPECT_EQ(v.normalise(), Vector3<float>(0.6f, 0.0f, -0.8f));

    Vector3<float> zero;
    EXPECT_EQ(zero.normalise(), Vector3<float>());
    // The squared length underflows to zero: no division, no infinity.
    Vector3<float> tiny(1e-30f, 0.0f, 0.0f);
    EXPECT_EQ(tiny.normalise().x, 1e-30f);
}

}  // namespace
}  // namespace nevrik::math
