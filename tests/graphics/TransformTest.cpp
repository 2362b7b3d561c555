#include "nevrik/graphics/Transform.h"

#include <gtest/gtest.h>

namespace nevrik::graphics {
namespace {

void expectMaps(const Transform<float>& t, float x, float y, float expectedX, float expectedY) {
    EXPECT_FLOAT_EQ(t.m00 * x + t.m01 * y + t.tx, expectedX);
    EXPECT_FLOAT_EQ(t.m10 * x + t.m11 * y + t.ty, expectedY);
}

TEST(TransformTest, TranslatedMovesAfterTheMapAndLeavesTheOriginal) {
    const Transform<float> scaled(2.0f, 0.0f, 1.0f, 0.0f, 3.0f, 1.0f);
    EXPECT_EQ(scaled.className(), "Object:Transform");
    expectMaps(scaled.translated(10.0f, 20.0f), 1.0f, 1.0f, 13.0f, 24.0f);
    expectMaps(scaled, 1.0f, 1.0f, 3.0f, 4.0f);
    expectMaps(Transform<float>(), 3.0f, -4.0f, 3.0f, -4.0f);
}

TEST(TransformTest, ProductAppliesTheRightOperandFirst) {
    const Transform<float> a(0.0f, -1.0f, 5.0f, 1.0f, 0.0f, 0.0f);  // quarter turn, then +5 in x
    const Transform<float> b(2.0f, 1.0f, 0.0f, 0.0f, 1.0f, 3.0f);   // shear and scale, then +3 in y
    expectMaps(a * b, 1.0f, 0.0f, 2.0f, 2.0f);
    expectMaps(a * b, -3.0f, 0.5f, 1.5f, -5.5f);
    expectMaps(b * a, 1.0f, 0.0f, 11.0f, 4.0f);
}

}  // namespace
}  // namespace nevrik::graphics
