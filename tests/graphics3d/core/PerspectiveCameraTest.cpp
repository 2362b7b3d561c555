#include "nevrik/graphics3d/core/PerspectiveCamera.h"

#include "graphics3d/GlFixture.h"

#include <utility>

namespace nevrik::graphics3d {
namespace {

using PerspectiveCameraTest = GlFixture;

// The default viewer's camera.
PerspectiveCamera viewerCamera() {
    PerspectiveCamera camera;
    camera.setWindow(-10.0f, -10.0f, 20.0f, 20.0f);
    camera.setClipping(100.0f, 1000.0f);
    camera.setDistance(100.0f);
    return camera;
}

TEST_F(PerspectiveCameraTest, EyeRaysGoThroughTheWindowWithYDownwards) {
    const PerspectiveCamera camera = viewerCamera();
    const geometry::Ray corner = camera.eyeRay(-1.0f, -1.0f);
    EXPECT_EQ(corner.origin, math::Vector3<float>(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(corner.direction, math::Vector3<float>(-10.0f, 10.0f, -100.0f));
    EXPECT_EQ(camera.eyeRay(1.0f, 1.0f).direction, math::Vector3<float>(10.0f, -10.0f, -100.0f));
    EXPECT_EQ(camera.eyeRay(0.0f, 0.0f).direction, math::Vector3<float>(0.0f, 0.0f, -100.0f));
}

TEST_F(PerspectiveCameraTest, DegenerateWindowsAndClippingAreRefused) {
    PerspectiveCamera camera = viewerCamera();
    EXPECT_FALSE(camera.setWindow(0.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_FALSE(camera.setClipping(5.0f, 5.0f));
    EXPECT_EQ(camera.getWidth(), 20.0f);
    EXPECT_EQ(camera.getFar(), 1000.0f);
}

TEST_F(PerspectiveCameraTest, ApplyLoadsTheProjectionAndKeepsTheMatrixMode) {
    PerspectiveCamera camera = viewerCamera();
    camera.setWindow(-4.0f, -2.0f, 12.0f, 6.0f);
    camera.setClipping(2.0f, 50.0f);
    camera.setDistance(3.0f);
    glMatrixMode(GL_TEXTURE);
    camera.apply();
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_TEXTURE);
    GLfloat loaded[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, loaded);
    const math::Matrix4<float>& p = camera.getMatrix();
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_FLOAT_EQ(loaded[column * 4 + row], p(row, column)) << row << ", " << column;
        }
    }
    EXPECT_FLOAT_EQ(p(0, 0), 0.5f);
    EXPECT_FLOAT_EQ(p(0, 2), 0.5f / 1.5f);
    EXPECT_FLOAT_EQ(p(2, 3), -200.0f / 48.0f);
    EXPECT_EQ(p(3, 2), -1.0f);
    EXPECT_EQ(p(3, 3), 0.0f);

    // The ray through a window point projects back onto it, also when the
    // window is measured at another distance than the near plane.
    for (const auto& point : {std::pair<float, float>{-1.0f, -1.0f}, {0.5f, -0.25f}, {1.0f, 1.0f}}) {
        const math::Vector3<float> d = camera.eyeRay(point.first, point.second).direction;
        const float w = p(3, 0) * d.x + p(3, 1) * d.y + p(3, 2) * d.z + p(3, 3);
        EXPECT_NEAR((p(0, 0) * d.x + p(0, 1) * d.y + p(0, 2) * d.z) / w, point.first, 1e-5f);
        EXPECT_NEAR((p(1, 0) * d.x + p(1, 1) * d.y + p(1, 2) * d.z) / w, -point.second, 1e-5f);
    }
}

}  // namespace
}  // namespace nevrik::graphics3d
