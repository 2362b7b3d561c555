#include "nevrik/math/Matrix4.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace nevrik::math {
namespace {

using Matrix = Matrix4<float>;
using Vec = Vector3<float>;

constexpr float kPi = 3.14159265358979f;
const Matrix kZero({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
// A zero diagonal forces row swaps and the final column un-permutation; the
// inverse is exact in binary fractions.
const Matrix kNeedsPivoting({0, 2, 1, 0, 1, 0, 0, 3, 0, 1, 0, 1, 2, 0, 1, 0});
const Matrix kNeedsPivotingInverse({-0.75f, -0.5f, 1.5f, 0.75f, -0.25f, -0.5f, 1.5f, 0.25f,  //
                                    1.5f, 1.0f, -3.0f, -0.5f, 0.25f, 0.5f, -0.5f, -0.25f});

void expectMatrixNear(const Matrix& actual, const Matrix& expected, float tolerance) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
    }
}

TEST(Matrix4Test, RowMajorWithTranslationInColumnThree) {
    Matrix m;
    m(1, 3) = 7.0f;
    EXPECT_EQ(m[7], 7.0f);
    m.setColumn(3, Vec(4.0f, 5.0f, 6.0f));
    EXPECT_EQ(m[11], 6.0f);
    m(0, 1) = 2.0f;
    EXPECT_EQ(m.transformPoint(Vec()), m.getColumn(3)) << "the origin maps to the translation";
    EXPECT_EQ(m.transformPoint(Vec(1.0f, 2.0f, 3.0f)), Vec(9.0f, 7.0f, 9.0f));
    EXPECT_EQ(m.transformDirection(Vec(1.0f, 2.0f, 3.0f)), Vec(5.0f, 2.0f, 3.0f));
}

TEST(Matrix4Test, ProductComposesRightToLeft) {
    Matrix parent;
    parent.setColumn(3, Vec(10.0f, 0.0f, 0.0f));
    Matrix local;
    local(0, 0) = 2.0f;
    // parent × local: local first (x doubles), then parent (moves by 10).
    EXPECT_EQ((parent * local).transformPoint(Vec(1.0f, 0.0f, 0.0f)), Vec(12.0f, 0.0f, 0.0f));
    EXPECT_EQ((local * parent).transformPoint(Vec(1.0f, 0.0f, 0.0f)), Vec(22.0f, 0.0f, 0.0f));
    expectMatrixNear(kNeedsPivoting * kNeedsPivotingInverse, Matrix(), 0.0f);
}

TEST(Matrix4Test, BothInversesMatchKnownAndRigidInverses) {
    Matrix rigid;
    rigid.rotate(0.7f, Vec(1.0f, 2.0f, 3.0f));
    rigid.setColumn(3, Vec(5.0f, -2.0f, 7.0f));
    for (bool (Matrix::*invert)() : {&Matrix::invert, &Matrix::invertGaussJordan}) {
        Matrix pivoting = kNeedsPivoting;
        ASSERT_TRUE((pivoting.*invert)());
        expectMatrixNear(pivoting, kNeedsPivotingInverse, 1e-6f);

        Matrix inverse = rigid;
        ASSERT_TRUE((inverse.*invert)());
        expectMatrixNear(inverse * rigid, Matrix(), 1e-6f);
        EXPECT_NEAR(inverse(0, 1), rigid(1, 0), 1e-6f) << "a rotation's inverse is its transpose";
    }
}

TEST(Matrix4Test, SingularMatricesInvertToZero) {
    // det = 1e-8: cofactors call it singular; elimination, which has no
    // limit, still inverts it.
    const Matrix small({0.01f, 0, 0, 5, 0, 0.01f, 0, 0, 0, 0, 1e-4f, 0, 0, 0, 0, 1});
    Matrix byCofactors = small;
    EXPECT_FALSE(byCofactors.invert());
    expectMatrixNear(byCofactors, kZero, 0.0f);
    Matrix byElimination = small;
    ASSERT_TRUE(byElimination.invertGaussJordan());
    EXPECT_NEAR(byElimination(2, 2), 1e4f, 0.1f);

    // The limit 2^-23 itself is invertible; half of it is not.
    Matrix atLimit;
    atLimit(0, 0) = std::ldexp(1.0f, -23);
    Matrix belowLimit = atLimit;
    belowLimit(0, 0) /= 2.0f;
    EXPECT_TRUE(atLimit.invert());
    EXPECT_EQ(atLimit(0, 0), 8388608.0f);
    EXPECT_FALSE(belowLimit.invert());

    // Rows 0 and 1 equal: the third pivot is zero. The half-eliminated matrix
    // must not pass for an inverse.
    Matrix singular({1, 2, 3, 4, 1, 2, 3, 4, 0, 1, 0, 1, 2, 0, 1, 0});
    EXPECT_FALSE(singular.invertGaussJordan());
    expectMatrixNear(singular, kZero, 0.0f);
}

TEST(Matrix4Test, BothInversesAgreeOnRandomMatrices) {
    std::mt19937 random(42);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    for (int round = 0; round < 200; ++round) {
        Matrix m;
        for (int i = 0; i < 16; ++i) {
            m[i] = value(random) + (i % 5 == 0 ? 3.0f : 0.0f);  // diagonally dominant
        }
        Matrix byCofactors = m;
        Matrix byElimination = m;
        ASSERT_TRUE(byCofactors.invert());
        ASSERT_TRUE(byElimination.invertGaussJordan());
        expectMatrixNear(byCofactors, byElimination, 1e-5f);
        expectMatrixNear(m * byElimination, Matrix(), 1e-5f);
    }
}

TEST(Matrix4Test, RotateTurnsInTheMatrixFrameAndDropsTranslation) {
    // M := M × R: the new turn applies first, in the frame already turned.
    Matrix m;
    m.setColumn(3, Vec(1.0f, 2.0f, 3.0f));
    m.rotate(kPi / 2.0f, Vec(2.0f, 0.0f, 0.0f));  // y -> z; the axis length does not matter
    m.rotate(kPi / 2.0f, Vec(0.0f, 0.0f, 1.0f));  // x -> y, then y -> z
    const Vec x = m.transformDirection(Vec(1.0f, 0.0f, 0.0f));
    EXPECT_NEAR(x.x, 0.0f, 1e-6f);
    EXPECT_NEAR(x.z, 1.0f, 1e-6f);
    EXPECT_EQ(m.getColumn(3), Vec());
}

}  // namespace
}  // namespace nevrik::math
