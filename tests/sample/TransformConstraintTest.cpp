#include "sample/TransformConstraint.h"

#include "nevrik/types/String.h"

#include <gtest/gtest.h>

#include <cmath>

namespace nevrik::sample {
namespace {

using Matrix = math::Matrix4<float>;
using Vector3 = math::Vector3<float>;

constexpr float kTolerance = 1e-5f;

// The limits the sample's GUI builds its constraint with.
TransformConstraint makeConstraint(const Vector3& pivot = Vector3(0.0f, 0.0f, 0.0f)) {
    return TransformConstraint(Vector3(0.0f, 0.0f, 1.0f), Vector3(0.0f, 1.0f, 0.0f), 0.8f, 0.2f, 0.4f, pivot);
}

Matrix turned(float angle, const Vector3& axis) {
    Matrix matrix;
    matrix.rotate(angle, axis);
    return matrix;
}

void expectNear(const Matrix& actual, const Matrix& expected) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(actual[i], expected[i], kTolerance) << "element " << i;
    }
}

void expectNear(const Vector3& actual, const Vector3& expected, float tolerance = kTolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void expectRefusedUnchanged(const TransformConstraint& constraint, const Matrix& matrix) {
    Matrix copy = matrix;
    EXPECT_FALSE(constraint.constrain(copy));
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(copy[i], matrix[i]) << "element " << i;
    }
}

TEST(TransformConstraintTest, AxesAreNormalisedAndTheSideIsForwardCrossUp) {
    const TransformConstraint constraint(Vector3(0.0f, 0.0f, 5.0f), Vector3(0.0f, 2.0f, 0.0f), 0.8f, 0.2f, 0.4f,
                                         Vector3(1.0f, 2.0f, 3.0f));
    expectNear(constraint.getForward(), Vector3(0.0f, 0.0f, 1.0f));
    expectNear(constraint.getUp(), Vector3(0.0f, 1.0f, 0.0f));
    expectNear(constraint.getSide(), Vector3(-1.0f, 0.0f, 0.0f));
    EXPECT_STREQ(constraint.className().c_str(), "Object:TransformConstraint");
}

TEST(TransformConstraintTest, TransformsWithinEveryLimitAreRefusedUnchanged) {
    const TransformConstraint constraint = makeConstraint();
    const Matrix samples[] = {Matrix(), turned(0.79f, Vector3(0.0f, 1.0f, 0.0f)),
                              turned(-0.79f, Vector3(0.0f, 1.0f, 0.0f)), turned(0.19f, Vector3(1.0f, 0.0f, 0.0f)),
                              turned(0.39f, Vector3(0.0f, 0.0f, 1.0f))};
    for (const Matrix& sample : samples) {
        Matrix matrix = sample;
        matrix(0, 3) = 7.0f;
        matrix(3, 3) = 2.0f;
        expectRefusedUnchanged(constraint, matrix);
    }
}

TEST(TransformConstraintTest, EachAngleBeyondItsLimitTurnsBackToTheLimitOnEitherSide) {
    const TransformConstraint constraint = makeConstraint();
    struct Case {
        Vector3 axis;
        float angle;
        float limit;
    };
    // Yaw about up, pitch about the side axis, roll about forward.
    const Case cases[] = {{Vector3(0.0f, 1.0f, 0.0f), 1.0f, 0.8f},
                          {Vector3(1.0f, 0.0f, 0.0f), 0.5f, 0.2f},
                          {Vector3(0.0f, 0.0f, 1.0f), 0.6f, 0.4f}};
    for (const Case& c : cases) {
        for (float sign : {1.0f, -1.0f}) {
            Matrix matrix = turned(sign * c.angle, c.axis);
            EXPECT_TRUE(constraint.constrain(matrix));
            expectNear(matrix, turned(sign * c.limit, c.axis));
        }
    }
    // Upside down: the y column points away from "up", the roll is π.
    Matrix flipped = turned(3.14159265f, Vector3(0.0f, 0.0f, 1.0f));
    EXPECT_TRUE(constraint.constrain(flipped));
    EXPECT_NEAR(std::acos(flipped(1, 1)), 0.4f, kTolerance);
}

TEST(TransformConstraintTest, ColumnLengthsSurviveTheCorrection) {
    const TransformConstraint constraint = makeConstraint();
    Matrix matrix = turned(1.2f, Vector3(0.0f, 1.0f, 0.0f));
    const float scales[3] = {2.0f, 3.0f, 0.5f};
    for (int column = 0; column < 3; ++column) {
        matrix.setColumn(column, matrix.getColumn(column) * scales[column]);
    }
    EXPECT_TRUE(constraint.constrain(matrix));
    const Matrix expected = turned(0.8f, Vector3(0.0f, 1.0f, 0.0f));
    for (int column = 0; column < 3; ++column) {
        expectNear(matrix.getColumn(column), expected.getColumn(column) * scales[column]);
    }
}

TEST(TransformConstraintTest, TranslationTurnsWithTheCorrectionAboutThePivot) {
    // A camera 400 units out along its forward axis, turned 1 radian too far.
    Matrix camera = turned(1.0f, Vector3(0.0f, 1.0f, 0.0f));
    camera.setColumn(3, camera.getColumn(2) * 400.0f);
    camera[15] = 1.0f;

    Matrix aboutOrigin = camera;
    EXPECT_TRUE(makeConstraint().constrain(aboutOrigin));
    // Still 400 units out along the corrected forward axis.
    expectNear(aboutOrigin.getColumn(3), aboutOrigin.getColumn(2) * 400.0f, 1e-3f);
    EXPECT_EQ(aboutOrigin(3, 0), 0.0f);
    EXPECT_EQ(aboutOrigin(3, 3), 1.0f);

    // Turning about the camera's own position leaves it where it is.
    Matrix aboutItself = camera;
    EXPECT_TRUE(makeConstraint(camera.getColumn(3)).constrain(aboutItself));
    expectNear(aboutItself.getColumn(3), camera.getColumn(3), 1e-3f);
}

TEST(TransformConstraintTest, DegenerateTransformsAreRefusedUnchanged) {
    const TransformConstraint constraint = makeConstraint();
    Matrix flat = turned(1.0f, Vector3(0.0f, 1.0f, 0.0f));
    flat.setColumn(1, Vector3(0.0f, 0.0f, 0.0f));
    expectRefusedUnchanged(constraint, flat);
    Matrix empty;
    empty.setColumn(2, Vector3(0.0f, 0.0f, 0.0f));
    expectRefusedUnchanged(constraint, empty);
}

}  // namespace
}  // namespace nevrik::sample
