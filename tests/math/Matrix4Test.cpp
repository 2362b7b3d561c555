#include "nevrik/math/Matrix4.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace nevrik::math {
namespace {

using Matrix = Matrix4<float>;
using Vec = Vector3<float>;

constexpr float kPi = 3.14159265358979f;

void expectMatrixNear(const Matrix& actual, const Matrix& expected, float tolerance) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
    }
}

void expectVectorNear(const Vec& actual, const Vec& expected, float tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

Matrix randomMatrix(std::mt19937& random) {
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    Matrix m;
    for (int i = 0; i < 16; ++i) {
        m[i] = value(random);
    }
    return m;
}

// A zero diagonal forces row swaps and the final column un-permutation; the
// inverse is exact in binary fractions.
const Matrix kNeedsPivoting({0, 2, 1, 0, 1, 0, 0, 3, 0, 1, 0, 1, 2, 0, 1, 0});
const Matrix kNeedsPivotingInverse({-0.75f, -0.5f, 1.5f, 0.75f, -0.25f, -0.5f, 1.5f, 0.25f,  //
                                    1.5f, 1.0f, -3.0f, -0.5f, 0.25f, 0.5f, -0.5f, -0.25f});

TEST(Matrix4Test, LayoutIsRowMajorWithTranslationInColumnThree) {
    Matrix m;
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(m[i], i % 5 == 0 ? 1.0f : 0.0f) << "default is the identity";
    }
    m(1, 3) = 7.0f;
    EXPECT_EQ(m[7], 7.0f);
    m.setColumn(3, Vec(4.0f, 5.0f, 6.0f));
    EXPECT_EQ(m[3], 4.0f);
    EXPECT_EQ(m[11], 6.0f);
    EXPECT_EQ(m.getColumn(3), Vec(4.0f, 5.0f, 6.0f));
    EXPECT_EQ(m.getColumn(0), Vec(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(m.transformDirection(Vec(1.0f, 2.0f, 3.0f)), Vec(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(m.transformPoint(Vec(1.0f, 2.0f, 3.0f)), Vec(5.0f, 7.0f, 9.0f));
}

TEST(Matrix4Test, OriginMapsToTranslationColumn) {
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        const Matrix m = randomMatrix(random);
        EXPECT_EQ(m.transformPoint(Vec()), m.getColumn(3));
    }
}

TEST(Matrix4Test, ProductComposesRightToLeft) {
    Matrix parent;
    parent.setColumn(3, Vec(10.0f, 0.0f, 0.0f));
    Matrix local;
    local(0, 0) = 2.0f;
    local(0, 1) = 1.0f;

    const Vec p(1.0f, 1.0f, 0.0f);
    // parent × local: local first (x becomes 3), then parent (moved by 10).
    EXPECT_EQ((parent * local).transformPoint(p), Vec(13.0f, 1.0f, 0.0f));
    EXPECT_EQ((local * parent).transformPoint(p), Vec(23.0f, 1.0f, 0.0f));

    const Matrix product = kNeedsPivoting * kNeedsPivotingInverse;
    expectMatrixNear(product, Matrix(), 0.0f);
}

TEST(Matrix4Test, InvertIsExactOnKnownMatricesAndRigidTransforms) {
    Matrix scaled({2, 0, 0, 1, 0, 4, 0, 2, 0, 0, 8, 3, 0, 0, 0, 1});
    ASSERT_TRUE(scaled.invert());
    expectMatrixNear(
        scaled, Matrix({0.5f, 0, 0, -0.5f, 0, 0.25f, 0, -0.5f, 0, 0, 0.125f, -0.375f, 0, 0, 0, 1}), 0.0f);

    Matrix pivoting = kNeedsPivoting;
    ASSERT_TRUE(pivoting.invert());
    expectMatrixNear(pivoting, kNeedsPivotingInverse, 1e-6f);

    Matrix rigid;
    rigid.rotate(0.7f, Vec(1.0f, 2.0f, 3.0f));
    rigid.setColumn(3, Vec(5.0f, -2.0f, 7.0f));
    Matrix inverse = rigid;
    ASSERT_TRUE(inverse.invert());
    expectMatrixNear(inverse * rigid, Matrix(), 1e-6f);
    // The inverse of a rotation is its transpose.
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(inverse(r, c), rigid(c, r), 1e-6f);
        }
    }
}

TEST(Matrix4Test, InvertZeroesMatricesBelowTheDeterminantLimit) {
    // det = 1e-8: an honest inverse exists, but the limit says singular.
    Matrix small({0.01f, 0, 0, 5, 0, 0.01f, 0, 0, 0, 0, 1e-4f, 0, 0, 0, 0, 1});
    EXPECT_FALSE(small.invert());
    expectMatrixNear(small, Matrix({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 0.0f);

    // The limit is 2^-23 exactly and is itself invertible.
    const float limit = std::ldexp(1.0f, -23);
    Matrix atLimit;
    atLimit(0, 0) = limit;
    EXPECT_TRUE(atLimit.invert());
    EXPECT_EQ(atLimit(0, 0), 8388608.0f);
    Matrix belowLimit;
    belowLimit(0, 0) = limit / 2.0f;
    EXPECT_FALSE(belowLimit.invert());
    EXPECT_EQ(belowLimit(1, 1), 0.0f);
}

TEST(Matrix4Test, GaussJordanInvertsWithPivotingAndZeroesSingularMatrices) {
    Matrix pivoting = kNeedsPivoting;
    ASSERT_TRUE(pivoting.invertGaussJordan());
    expectMatrixNear(pivoting, kNeedsPivotingInverse, 1e-6f);

    // No determinant limit here: only a zero pivot stops it.
    Matrix small({0.01f, 0, 0, 0, 0, 0.01f, 0, 0, 0, 0, 1e-4f, 0, 0, 0, 0, 1});
    ASSERT_TRUE(small.invertGaussJordan());
    EXPECT_NEAR(small(2, 2), 1e4f, 1e-1f);

    // Rows 0 and 1 equal: the third pivot is zero. A half-eliminated matrix
    // must not pass for an inverse.
    Matrix singular({1, 2, 3, 4, 1, 2, 3, 4, 0, 1, 0, 1, 2, 0, 1, 0});
    EXPECT_FALSE(singular.invertGaussJordan());
    expectMatrixNear(singular, Matrix({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 0.0f);
}

TEST(Matrix4Test, BothInversesAgreeOnRandomMatrices) {
    std::mt19937 random(42);
    for (int round = 0; round < 200; ++round) {
        Matrix m = randomMatrix(random);
        for (int i = 0; i < 4; ++i) {
            m(i, i) += 3.0f;  // diagonally dominant: well conditioned
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
    Matrix m;
    m.setColumn(3, Vec(1.0f, 2.0f, 3.0f));
    m(3, 0) = 0.5f;
    m.rotate(kPi / 2.0f, Vec(0.0f, 0.0f, 5.0f));  // axis length does not matter
    expectVectorNear(m.transformDirection(Vec(1.0f, 0.0f, 0.0f)), Vec(0.0f, 1.0f, 0.0f), 1e-6f);
    EXPECT_EQ(m.getColumn(3), Vec());
    EXPECT_EQ(m(3, 0), 0.5f) << "bottom row left alone";

    // M := M × R: the new turn applies first, in the frame already turned.
    Matrix turned;
    turned.rotate(kPi / 2.0f, Vec(1.0f, 0.0f, 0.0f));  // y -> z
    turned.rotate(kPi / 2.0f, Vec(0.0f, 0.0f, 1.0f));  // x -> y, then y -> z
    expectVectorNear(turned.transformDirection(Vec(1.0f, 0.0f, 0.0f)), Vec(0.0f, 0.0f, 1.0f), 1e-6f);

    // A zero axis stays zero rather than turning into NaN: the turn
    // degenerates to a scale by the cosine.
    Matrix degenerate;
    degenerate.rotate(kPi / 3.0f, Vec());
    expectMatrixNear(degenerate, Matrix({0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1}), 1e-6f);
}

}  // namespace
}  // namespace nevrik::math
