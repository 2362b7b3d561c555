#include "sample/TransformConstraint.h"

#include "nevrik/types/String.h"

#include <gtest/gtest.h>

#include <cmath>

namespace nevrik::sample {
namespace {

using Matrix = math::Matrix4<float>;
using Vector3 = math::Vector3<float>;

const Vector3 kForward(0.0f, 0.0f, 1.0f);
const Vector3 kUp(0.0f, 1.0f, 0.0f);
const Vector3 kX(1.0f, 0.0f, 0.0f);

// The limits the sample's GUI builds its constraint with.
TransformConstraint makeConstraint(const Vector3& pivot = Vector3()) {
    return TransformConstraint(kForward, kUp, 0.8f, 0.2f, 0.4f, pivot);
}

Matrix turned(float angle, const Vector3& axis) {
    Matrix matrix;
    matrix.rotate(angle, axis);
    return matrix;
}

void expectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-5f) {
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

TEST(TransformConstraintTest, WithinTheLimitsOrWithoutOrientationNothingChanges) {
    const TransformConstraint constraint(kForward * 5.0f, kUp * 2.0f, 0.8f, 0.2f, 0.4f, Vector3());
    EXPECT_STREQ(constraint.className().c_str(), "Object:TransformConstraint");
    expectNear(constraint.getForward(), kForward);
    expectNear(constraint.getSide(), kX * -1.0f);
    for (const Matrix& sample :
         {Matrix(), turned(0.79f, kUp), turned(-0.79f, kUp), turned(0.19f, kX), turned(0.39f, kForward)}) {
        Matrix matrix = sample;
        matrix(0, 3) = 7.0f;
        matrix(3, 3) = 2.0f;
        expectRefusedUnchanged(constraint, matrix);
    }
    // A zero column has no direction to correct.
    Matrix flat = turned(1.0f, kUp);
    flat.setColumn(1, Vector3());
    expectRefusedUnchanged(constraint, flat);
}

TEST(TransformConstraintTest, EachAngleBeyondItsLimitTurnsBackToTheLimitOnEitherSide) {
    const TransformConstraint constraint = makeConstraint();
    // Yaw about up, pitch about the side axis, roll about forward.
    const struct {
        Vector3 axis;
        float angle;
        float limit;
    } cases[] = {{kUp, 1.0f, 0.8f}, {kX, 0.5f, 0.2f}, {kForward, 0.6f, 0.4f}};
    for (const auto& c : cases) {
        for (float sign : {1.0f, -1.0f}) {
            Matrix matrix = turned(sign * c.angle, c.axis);
            EXPECT_TRUE(constraint.constrain(matrix));
            const Matrix expected = turned(sign * c.limit, c.axis);
            for (int column = 0; column < 4; ++column) {
                expectNear(matrix.getColumn(column), expected.getColumn(column));
            }
        }
    }
    // Upside down: the y column points away from "up", the roll is π.
    Matrix flipped = turned(3.14159265f, kForward);
    EXPECT_TRUE(constraint.constrain(flipped));
    EXPECT_NEAR(std::acos(flipped(1, 1)), 0.4f, 1e-5f);
}

TEST(TransformConstraintTest, CorrectionKeepsColumnLengthsAndTurnsTheTranslationAboutThePivot) {
    // A scaled camera 400 units out along its forward axis, turned 1 radian too far.
    Matrix camera = turned(1.0f, kUp);
    camera.setColumn(3, camera.getColumn(2) * 400.0f);
    const float scales[3] = {2.0f, 3.0f, 0.5f};
    for (int column = 0; column < 3; ++column) {
        camera.setColumn(column, camera.getColumn(column) * scales[column]);
    }

    Matrix aboutOrigin = camera;
    EXPECT_TRUE(makeConstraint().constrain(aboutOrigin));
    const Matrix expected = turned(0.8f, kUp);
    for (int column = 0; column < 3; ++column) {
        expectNear(aboutOrigin.getColumn(column), expected.getColumn(column) * scales[column]);
    }
    // Still 400 units out along the corrected forward axis.
    expectNear(aboutOrigin.getColumn(3), expected.getColumn(2) * 400.0f, 1e-3f);
    EXPECT_EQ(aboutOrigin(3, 0), 0.0f);
    EXPECT_EQ(aboutOrigin(3, 3), 1.0f);

    // Turned about its own position, the camera stays where it is.
    Matrix aboutItself = camera;
    EXPECT_TRUE(makeConstraint(camera.getColumn(3)).constrain(aboutItself));
    expectNear(aboutItself.getColumn(3), camera.getColumn(3), 1e-3f);
}

}  // namespace
}  // namespace nevrik::sample
