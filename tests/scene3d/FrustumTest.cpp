#include "nevrik/scene3d/Frustum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace nevrik::scene3d {
namespace {

using Vec = math::Vector3<float>;

// Random frustums, boxes and cubes from a fixed seed, with a brute-force
// point test against the six planes to judge each culling answer.
class Scene {
public:
    float uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(mRandom); }
    Vec point(float extent) { return Vec(uniform(-extent, extent), uniform(-extent, extent), uniform(-extent, extent)); }

    // Three perpendicular unit vectors, the first random.
    void frame(Vec out[3]) {
        Vec first = point(1.0f);
        while (first.squaredLength() < 0.01f) {
            first = point(1.0f);
        }
        first.normalise();
        Vec helper = std::fabs(first.x) < 0.7f ? Vec(1.0f, 0.0f, 0.0f) : Vec(0.0f, 1.0f, 0.0f);
        out[0] = first;
        out[1] = first.cross(helper).normalise();
        out[2] = first.cross(out[1]);
    }

    Frustum frustum() {
        Vec f[3];
        frame(f);
        Frustum result;
        result.setOrigin(point(3.0f));
        result.setDirection(f[0] * uniform(0.5f, 2.0f));
        result.setAxis(0, f[1] * uniform(0.3f, 1.5f));
        result.setAxis(1, f[2] * uniform(0.3f, 1.5f));
        result.setWindowOffset(uniform(-0.6f, 0.6f), uniform(-0.6f, 0.6f));
        const float nearDistance = uniform(0.5f, 2.0f);
        result.setNear(nearDistance);
        result.setFar(nearDistance + uniform(1.0f, 8.0f));
        return result;
    }

    geometry::OrientedBox box(const Frustum& around) {
        Vec f[3];
        frame(f);
        geometry::OrientedBox result;
        result.setCentre(around.getOrigin() + point(12.0f));
        for (int i = 0; i < 3; ++i) {
            result.setAxis(i, f[i] * uniform(0.05f, 3.0f));
        }
        return result;
    }

    geometry::Cube cube(const Frustum& around) { return {around.getOrigin() + point(12.0f), uniform(0.05f, 3.0f)}; }

private:
    std::mt19937 mRandom{20261207};
};

std::vector<Vec> corners(const geometry::OrientedBox& box) {
    std::vector<Vec> result;
    for (int i = 0; i < 8; ++i) {
        result.push_back(box.getCentre() + box.getAxis(0) * float(i & 1 ? 1 : -1) +
                         box.getAxis(1) * float(i & 2 ? 1 : -1) + box.getAxis(2) * float(i & 4 ? 1 : -1));
    }
    return result;
}

std::vector<Vec> corners(const geometry::Cube& cube) {
    geometry::OrientedBox box;
    box.setCentre(cube.centre);
    for (int i = 0; i < 3; ++i) {
        Vec axis;
        axis[i] = cube.edge;
        box.setAxis(i, axis);
    }
    return corners(box);
}

// Signed distances (positive outside) of x to the six planes, each scaled by
// its normal's length so one margin fits all.
std::vector<float> outsideBy(const Frustum& f, const Vec& x) {
    const Vec v = x - f.getOrigin();
    const float along = std::sqrt(f.getDirectionLength());
    std::vector<float> result = {(f.getNearDot() - v.dot(f.getDirection())) / along,
                                 (v.dot(f.getDirection()) - f.getFarDot()) / along};
    for (int k = 0; k < Frustum::kSidePlanes; ++k) {
        const Vec& n = f.getSidePlane(k);
        result.push_back(n.dot(v) / n.length());
    }
    return result;
}

constexpr float kMargin = 1e-3f;

bool clearlyInside(const Frustum& f, const std::vector<Vec>& points) {
    for (const Vec& p : points) {
        for (float d : outsideBy(f, p)) {
            if (d > -kMargin) {
                return false;
            }
        }
    }
    return true;
}

bool anyClearlyInside(const Frustum& f, const std::vector<Vec>& points) {
    for (const Vec& p : points) {
        if (clearlyInside(f, {p})) {
            return true;
        }
    }
    return false;
}

bool anyClearlyBeyond(const Frustum& f, const std::vector<Vec>& points) {
    for (const Vec& p : points) {
        for (float d : outsideBy(f, p)) {
            if (d > kMargin) {
                return true;
            }
        }
    }
    return false;
}

// All points beyond one and the same plane.
bool clearlyOutside(const Frustum& f, const std::vector<Vec>& points) {
    for (int plane = 0; plane < 2 + Frustum::kSidePlanes; ++plane) {
        bool beyond = true;
        for (const Vec& p : points) {
            beyond = beyond && outsideBy(f, p)[plane] > kMargin;
        }
        if (beyond) {
            return true;
        }
    }
    return false;
}

bool allStrictlyInside(const Frustum& f, const std::vector<Vec>& points) {
    for (const Vec& p : points) {
        for (float d : outsideBy(f, p)) {
            if (d >= 0.0f) {
                return false;
            }
        }
    }
    return true;
}

TEST(FrustumTest, OrientedBoxesAgreeWithBruteForce) {
    Scene scene;
    int inside = 0;
    int outside = 0;
    int touching = 0;
    for (int round = 0; round < 200; ++round) {
        const Frustum f = scene.frustum();
        for (int n = 0; n < 100; ++n) {
            const geometry::OrientedBox box = scene.box(f);
            std::vector<Vec> points = corners(box);
            points.push_back(box.getCentre());
            if (clearlyInside(f, points)) {
                ++inside;
                ASSERT_TRUE(f.intersects(box)) << "round " << round << " box " << n;
            } else if (anyClearlyInside(f, points)) {
                ++touching;
                ASSERT_TRUE(f.intersects(box)) << "round " << round << " box " << n;
            } else if (clearlyOutside(f, points)) {
                ++outside;
                ASSERT_FALSE(f.intersects(box)) << "round " << round << " box " << n;
            }
        }
    }
    // The draw must exercise every branch, or the test proves nothing.
    EXPECT_GT(inside, 20);
    EXPECT_GT(touching, 500);
    EXPECT_GT(outside, 5000);
}

TEST(FrustumTest, CubesAgreeWithBruteForce) {
    Scene scene;
    int inside = 0;
    int crossing = 0;
    int outside = 0;
    for (int round = 0; round < 200; ++round) {
        const Frustum f = scene.frustum();
        for (int n = 0; n < 100; ++n) {
            const geometry::Cube cube = scene.cube(f);
            const std::vector<Vec> points = corners(cube);
            const int kind = f.classify(cube);
            ASSERT_EQ(f.intersects(cube), kind != Frustum::kOutside);
            if (kind == Frustum::kInside) {
                ++inside;
                ASSERT_TRUE(allStrictlyInside(f, points)) << "round " << round << " cube " << n;
            }
            if (clearlyInside(f, points)) {
                ASSERT_EQ(kind, Frustum::kInside) << "round " << round << " cube " << n;
            } else if (anyClearlyInside(f, points) && anyClearlyBeyond(f, points)) {
                ++crossing;
                ASSERT_EQ(kind, Frustum::kCrossing) << "round " << round << " cube " << n;
            } else if (clearlyOutside(f, points)) {
                ++outside;
                ASSERT_EQ(kind, Frustum::kOutside) << "round " << round << " cube " << n;
            }
        }
    }
    EXPECT_GT(inside, 20);
    EXPECT_GT(crossing, 500);
    EXPECT_GT(outside, 5000);
}

TEST(FrustumTest, NearPlaneCullsOnlyBoxesWhollyInFront) {
    Frustum f;  // eye at the origin looking down -z, near 1, far 1000
    geometry::OrientedBox box;
    box.setAxis(0, Vec(0.1f, 0.0f, 0.0f));
    box.setAxis(1, Vec(0.0f, 0.1f, 0.0f));
    box.setAxis(2, Vec(0.0f, 0.0f, 0.1f));
    box.setCentre(Vec(0.0f, 0.0f, -1.05f));  // straddles the near plane
    EXPECT_TRUE(f.intersects(box));
    EXPECT_EQ(f.classify(geometry::Cube{box.getCentre(), 0.1f}), Frustum::kCrossing);
    box.setCentre(Vec(0.0f, 0.0f, -0.5f));  // between the eye and the near plane
    EXPECT_FALSE(f.intersects(box));
    EXPECT_EQ(f.classify(geometry::Cube{box.getCentre(), 0.1f}), Frustum::kOutside);
    box.setCentre(Vec(0.0f, 0.0f, 0.5f));  // behind the eye
    EXPECT_FALSE(f.intersects(box));
    box.setCentre(Vec(0.0f, 0.0f, -999.95f));  // straddles the far plane
    EXPECT_TRUE(f.intersects(box));
    box.setCentre(Vec(0.0f, 0.0f, -1000.5f));
    EXPECT_FALSE(f.intersects(box));
}

TEST(FrustumTest, SidePlanesPassThroughTheOffsetWindowEdges) {
    Frustum f;
    f.setOrigin(Vec(1.0f, 2.0f, 3.0f));
    f.setDirection(Vec(0.0f, 0.0f, -2.0f));
    f.setAxis(0, Vec(0.5f, 0.0f, 0.0f));
    f.setAxis(1, Vec(0.0f, 0.25f, 0.0f));
    f.setWindowOffset(0.5f, -0.5f);
    f.setNear(1.5f);
    f.setFar(4.0f);
    EXPECT_EQ(f.getNearWindow(), Vec(1.25f, 1.875f, 0.0f));
    EXPECT_EQ(f.getFarWindow(), Vec(1.0f + 0.25f * 4.0f / 1.5f, 2.0f - 0.125f * 4.0f / 1.5f, -5.0f));
    // Each window edge through the eye lies on its plane, and the window centre
    // is inside all four.
    const Vec edges[4] = {f.getNearWindow() + f.getAxis(0), f.getNearWindow() - f.getAxis(0),
                          f.getNearWindow() + f.getAxis(1), f.getNearWindow() - f.getAxis(1)};
    for (int k = 0; k < Frustum::kSidePlanes; ++k) {
        EXPECT_NEAR(f.getSidePlane(k).dot(edges[k] - f.getOrigin()), 0.0f, 1e-5f) << "plane " << k;
        EXPECT_LT(f.getSidePlane(k).dot(f.getNearWindow() - f.getOrigin()), 0.0f) << "plane " << k;
    }
}

void expectSameFields(const Frustum& a, const Frustum& b) {
    EXPECT_EQ(a.getNearCentre(), b.getNearCentre());
    EXPECT_EQ(a.getFarCentre(), b.getFarCentre());
    EXPECT_EQ(a.getNearWindow(), b.getNearWindow());
    EXPECT_EQ(a.getFarWindow(), b.getFarWindow());
    EXPECT_EQ(a.getDirectionLength(), b.getDirectionLength());
    EXPECT_EQ(a.getNearDot(), b.getNearDot());
    EXPECT_EQ(a.getFarDot(), b.getFarDot());
    EXPECT_EQ(a.getRatio(), b.getRatio());
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(a.getAxisLength(k), b.getAxisLength(k));
        EXPECT_EQ(a.getScaledAxis(k), b.getScaledAxis(k));
        EXPECT_EQ(a.getScaledLength(k), b.getScaledLength(k));
    }
    for (int k = 0; k < Frustum::kSidePlanes; ++k) {
        EXPECT_EQ(a.getSidePlane(k), b.getSidePlane(k));
    }
}

TEST(FrustumTest, DerivedFieldsFollowAnySequenceOfSetters) {
    Scene scene;
    Frustum f;
    for (int step = 0; step < 2000; ++step) {
        switch (static_cast<int>(scene.uniform(0.0f, 6.0f))) {
            case 0: f.setOrigin(scene.point(5.0f)); break;
            case 1: f.setDirection(scene.point(2.0f)); break;
            case 2: f.setAxis(scene.uniform(0.0f, 1.0f) < 0.5f ? 0 : 1, scene.point(2.0f)); break;
            case 3: f.setWindowOffset(scene.uniform(-1.0f, 1.0f), scene.uniform(-1.0f, 1.0f)); break;
            case 4: f.setNear(scene.uniform(0.1f, 3.0f)); break;
            default: f.setFar(scene.uniform(3.0f, 50.0f)); break;
        }
        // A fresh frustum given only the inputs, in the opposite order.
        Frustum fresh;
        fresh.setFar(f.getFar());
        fresh.setNear(f.getNear());
        fresh.setWindowOffset(f.getWindowOffset(0), f.getWindowOffset(1));
        fresh.setAxis(1, f.getAxis(1));
        fresh.setAxis(0, f.getAxis(0));
        fresh.setDirection(f.getDirection());
        fresh.setOrigin(f.getOrigin());
        SCOPED_TRACE(step);
        expectSameFields(f, fresh);
        if (HasFailure()) {
            return;
        }
    }
}

TEST(FrustumTest, RefusesBadInputChangingNothing) {
    Frustum f;
    f.setNear(2.0f);
    f.setFar(10.0f);
    const Frustum before = f;
    EXPECT_FALSE(f.setAxis(2, Vec(1.0f, 1.0f, 1.0f)));
    EXPECT_FALSE(f.setAxis(-1, Vec(1.0f, 1.0f, 1.0f)));
    // A near plane at or behind the eye would scale the far window by an
    // infinite or negative ratio.
    EXPECT_FALSE(f.setNear(0.0f));
    EXPECT_FALSE(f.setNear(-1.0f));
    EXPECT_FALSE(f.setNear(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_FALSE(f.setNear(std::numeric_limits<float>::infinity()));
    EXPECT_FALSE(f.setFar(std::numeric_limits<float>::infinity()));
    EXPECT_FALSE(f.setFar(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_EQ(f.getNear(), 2.0f);
    EXPECT_EQ(f.getFar(), 10.0f);
    EXPECT_EQ(f.getAxis(0), Vec(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(f.getAxis(1), Vec(0.0f, 1.0f, 0.0f));
    expectSameFields(f, before);
    EXPECT_TRUE(f.setAxis(1, Vec(0.0f, 2.0f, 0.0f)));
    EXPECT_EQ(f.getAxisLength(1), 4.0f);
}

}  // namespace
}  // namespace nevrik::scene3d
