#include "nevrik/graphics3d/core/Camera.h"

#include "graphics3d/GlFixture.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>

namespace nevrik::graphics3d {
namespace {

using CameraTest = GlFixture;

// The default viewer's camera.
PerspectiveCamera viewerCamera() {
    PerspectiveCamera camera;
    camera.setWindow(-10.0f, -10.0f, 20.0f, 20.0f);
    camera.setClipping(100.0f, 1000.0f);
    camera.setDistance(100.0f);
    return camera;
}

TEST_F(CameraTest, EyeRaysGoThroughTheWindowWithYDownwards) {
    const PerspectiveCamera camera = viewerCamera();
    const geometry::Ray corner = camera.eyeRay(-1.0f, -1.0f);
    EXPECT_EQ(corner.origin, math::Vector3<float>(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(corner.direction, math::Vector3<float>(-10.0f, 10.0f, -100.0f));
    EXPECT_EQ(camera.eyeRay(1.0f, 1.0f).direction, math::Vector3<float>(10.0f, -10.0f, -100.0f));
    EXPECT_EQ(camera.eyeRay(0.0f, 0.0f).direction, math::Vector3<float>(0.0f, 0.0f, -100.0f));
}

TEST_F(CameraTest, DegenerateWindowsAndClippingAreRefused) {
    PerspectiveCamera camera = viewerCamera();
    EXPECT_FALSE(camera.setWindow(0.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_FALSE(camera.setClipping(5.0f, 5.0f));
    EXPECT_EQ(camera.getWidth(), 20.0f);
    EXPECT_EQ(camera.getFar(), 1000.0f);
}

TEST_F(CameraTest, ApplyLoadsTheProjectionAndKeepsTheMatrixMode) {
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

// Clip coordinates of `point` through the view and the applied projection,
// divided by w.
math::Vector3<float> project(const PerspectiveCamera& camera, const math::Vector3<float>& point) {
    const math::Vector3<float> eye = camera.getView().transformPoint(point);
    const math::Matrix4<float>& p = camera.getMatrix();
    const float w = p(3, 0) * eye.x + p(3, 1) * eye.y + p(3, 2) * eye.z + p(3, 3);
    return math::Vector3<float>((p(0, 0) * eye.x + p(0, 1) * eye.y + p(0, 2) * eye.z + p(0, 3)) / w,
                                (p(1, 0) * eye.x + p(1, 1) * eye.y + p(1, 2) * eye.z + p(1, 3)) / w,
                                (p(2, 0) * eye.x + p(2, 1) * eye.y + p(2, 2) * eye.z + p(2, 3)) / w);
}

TEST_F(CameraTest, FieldOfViewAndLookAtPlaceTheEyeAndTheScreen) {
    PerspectiveCamera camera;
    EXPECT_TRUE(camera.setFieldOfView(90.0f, 2.0f));
    EXPECT_NEAR(camera.getHeight(), 2.0f, 1e-5f);
    EXPECT_NEAR(camera.getWidth(), 4.0f, 1e-5f);
    EXPECT_NEAR(camera.getLeft(), -2.0f, 1e-5f);
    for (const auto& refused :
         {std::pair<float, float>{0.0f, 1.0f}, {180.0f, 1.0f}, {60.0f, 0.0f}, {NAN, 1.0f}}) {
        EXPECT_FALSE(camera.setFieldOfView(refused.first, refused.second));
    }
    EXPECT_NEAR(camera.getWidth(), 4.0f, 1e-5f);

    const math::Vector3<float> eye(1.0f, 2.0f, 3.0f);
    const math::Vector3<float> target(1.0f, 2.0f, -7.0f);
    // The up vector need not be square to the line of sight.
    ASSERT_TRUE(camera.lookAt(eye, target, math::Vector3<float>(0.0f, 1.0f, 1.0f)));
    const math::Matrix4<float>& view = camera.getView();
    EXPECT_EQ(view.transformPoint(eye), math::Vector3<float>(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(view.transformPoint(target), math::Vector3<float>(0.0f, 0.0f, -10.0f));
    EXPECT_EQ(view.transformPoint(math::Vector3<float>(2.0f, 3.0f, 3.0f)),
              math::Vector3<float>(1.0f, 1.0f, 0.0f));
    EXPECT_FALSE(camera.lookAt(eye, eye, math::Vector3<float>(0.0f, 1.0f, 0.0f)));
    EXPECT_FALSE(camera.lookAt(eye, target, math::Vector3<float>(0.0f, 0.0f, 2.0f)));
    EXPECT_EQ(camera.getView().transformPoint(target), math::Vector3<float>(0.0f, 0.0f, -10.0f));

    glMatrixMode(GL_TEXTURE);
    camera.applyView();
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_TEXTURE);
    GLfloat loaded[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, loaded);
    EXPECT_FLOAT_EQ(loaded[14], view(2, 3));
    EXPECT_FLOAT_EQ(loaded[1], view(1, 0));
}

TEST_F(CameraTest, FrameKeepsRandomBoxesInViewAndFillsTheNarrowerSide) {
    std::mt19937 random(20);
    std::uniform_real_distribution<float> coordinate(-50.0f, 50.0f);
    std::uniform_real_distribution<float> extent(0.01f, 40.0f);
    std::uniform_real_distribution<float> angle(10.0f, 150.0f);
    std::uniform_real_distribution<float> aspect(0.3f, 3.0f);
    for (int trial = 0; trial < 500; ++trial) {
        PerspectiveCamera camera;
        ASSERT_TRUE(camera.setFieldOfView(angle(random), aspect(random)));
        const math::Vector3<float> min(coordinate(random), coordinate(random), coordinate(random));
        const geometry::BoundingBox<float> box(
            min, min + math::Vector3<float>(extent(random), extent(random), extent(random)));
        const math::Vector3<float> direction(coordinate(random), coordinate(random), coordinate(random));
        ASSERT_TRUE(camera.frame(box, direction, math::Vector3<float>(0.0f, 1.0f, 0.0f))) << trial;
        camera.apply();

        const math::Vector3<float> centre = project(camera, box.centre());
        EXPECT_NEAR(centre.x, 0.0f, 1e-3f) << trial;
        EXPECT_NEAR(centre.y, 0.0f, 1e-3f) << trial;
        // Every corner lies inside the clip volume, and no farther than
        // needed: the box's sphere touches the narrower pair of screen edges.
        for (int corner = 0; corner < 8; ++corner) {
            const math::Vector3<float> point((corner & 1) ? box.max.x : box.min.x,
                                             (corner & 2) ? box.max.y : box.min.y,
                                             (corner & 4) ? box.max.z : box.min.z);
            const math::Vector3<float> clip = project(camera, point);
            EXPECT_LE(std::abs(clip.x), 1.0f + 1e-4f) << trial;
            EXPECT_LE(std::abs(clip.y), 1.0f + 1e-4f) << trial;
            EXPECT_LE(std::abs(clip.z), 1.0f + 1e-4f) << trial;
        }
        const float halfAngle = std::atan(std::min(camera.getWidth(), camera.getHeight()) * 0.5f);
        const float radius = 0.5f * (box.max - box.min).length();
        const float eyeToCentre = camera.getView().transformPoint(box.centre()).length();
        EXPECT_NEAR(eyeToCentre * std::sin(halfAngle), radius, 1e-3f * radius) << trial;
    }

    PerspectiveCamera camera;
    const geometry::BoundingBox<float> box(math::Vector3<float>(1.0f, 1.0f, 1.0f),
                                           math::Vector3<float>(2.0f, 2.0f, 2.0f));
    const math::Vector3<float> up(0.0f, 1.0f, 0.0f);
    EXPECT_FALSE(
        camera.frame(geometry::BoundingBox<float>(box.min, box.min), up, math::Vector3<float>(1, 0, 0)));
    EXPECT_FALSE(camera.frame(box, math::Vector3<float>(0.0f, 0.0f, 0.0f), up));
    EXPECT_FALSE(camera.frame(box, up, up));
    camera.setWindow(1.0f, -1.0f, 2.0f, 2.0f);
    EXPECT_FALSE(camera.frame(box, math::Vector3<float>(0.0f, 0.0f, -1.0f), up));
    EXPECT_EQ(camera.getNear(), 1.0f);
    EXPECT_EQ(camera.getView().transformPoint(box.min), box.min);
}

}  // namespace
}  // namespace nevrik::graphics3d
