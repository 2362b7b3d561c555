#include "nevrik/scene3d/Frustum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
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

// How far x lies beyond each of the six bounds (negative inside), worked out
// from the inputs alone so that a wrong derived field cannot hide itself: t
// is the depth in units of the direction, u the offset from the view axis. A
// side bound is linear in x, so it holds behind the eye as well.
std::vector<float> outsideBy(const Frustum& f, const Vec& x) {
    const Vec& d = f.getDirection();
    const float dLength = d.length();
    const float t = (x - f.getOrigin()).dot(d) / (dLength * dLength);
    const Vec u = x - f.getOrigin() - d * t;
    std::vector<float> result = {(f.getNear() - t) * dLength, (t - f.getFar()) * dLength};
    for (int k = 0; k < 2; ++k) {
        const float aLength = f.getAxis(k).length();
        const float across = u.dot(f.getAxis(k)) / aLength;
        const float scale = t * aLength / f.getNear();
        result.push_back(across - (f.getWindowOffset(k) + 1.0f) * scale);
        result.push_back((f.getWindowOffset(k) - 1.0f) * scale - across);
    }
    return result;
}

constexpr float kMargin = 1e-3f;

// What the six planes say about a set of points, by brute force.
struct Judgement {
    bool allClearlyInside = true;   // every point inside every plane by kMargin
    bool allStrictlyInside = true;  // every point inside every plane, give or take rounding
    bool anyClearlyInside = false;  // some point inside every plane by kMargin
    bool anyClearlyBeyond = false;  // some point beyond some plane by kMargin
    bool allBeyondOnePlane = false; // every point beyond one and the same plane by kMargin
};

Judgement judge(const Frustum& f, const std::vector<Vec>& points) {
    Judgement result;
    std::vector<bool> planeBeyond(2 + Frustum::kSidePlanes, true);
    for (const Vec& p : points) {
        const std::vector<float> distances = outsideBy(f, p);
        float worst = -std::numeric_limits<float>::infinity();
        for (std::size_t plane = 0; plane < distances.size(); ++plane) {
            worst = std::max(worst, distances[plane]);
            planeBeyond[plane] = planeBeyond[plane] && distances[plane] > kMargin;
        }
        result.allClearlyInside = result.allClearlyInside && worst < -kMargin;
        result.allStrictlyInside = result.allStrictlyInside && worst < 1e-5f;
        result.anyClearlyInside = result.anyClearlyInside || worst < -kMargin;
        result.anyClearlyBeyond = result.anyClearlyBeyond || worst > kMargin;
    }
    for (bool beyond : planeBeyond) {
        result.allBeyondOnePlane = result.allBeyondOnePlane || beyond;
    }
    return result;
}

// Runs `check` on 20000 random shapes around 200 random frustums, stopping
// at the first failure.
template <class Make, class Check>
void sample(Make make, Check check) {
    Scene scene;
    for (int round = 0; round < 200; ++round) {
        const Frustum f = scene.frustum();
        for (int n = 0; n < 100; ++n) {
            SCOPED_TRACE(testing::Message() << "round " << round << " shape " << n);
            check(f, make(scene, f));
            if (testing::Test::HasFailure()) {
                return;
            }
        }
    }
}

TEST(FrustumTest, OrientedBoxesAgreeWithBruteForce) {
    int counts[3] = {};  // wholly inside, partly inside, outside
    sample([](Scene& scene, const Frustum& f) { return scene.box(f); },
           [&counts](const Frustum& f, const geometry::OrientedBox& box) {
               std::vector<Vec> points = corners(box);
               points.push_back(box.getCentre());
               const Judgement j = judge(f, points);
               if (j.anyClearlyInside) {
                   ++counts[j.allClearlyInside ? 0 : 1];
                   EXPECT_TRUE(f.intersects(box));
               } else if (j.allBeyondOnePlane) {
                   ++counts[2];
                   EXPECT_FALSE(f.intersects(box));
               }
           });
    // The draw must reach every branch, or the test proves nothing.
    EXPECT_GT(counts[0], 20);
    EXPECT_GT(counts[1], 500);
    EXPECT_GT(counts[2], 5000);
}

TEST(FrustumTest, CubesAgreeWithBruteForce) {
    int counts[3] = {};  // by classify's answer
    sample([](Scene& scene, const Frustum& f) { return scene.cube(f); },
           [&counts](const Frustum& f, const geometry::Cube& cube) {
               const Judgement j = judge(f, corners(cube));
               const int kind = f.classify(cube);
               ++counts[kind];
               EXPECT_EQ(f.intersects(cube), kind != Frustum::kOutside);
               if (kind == Frustum::kInside) {
                   EXPECT_TRUE(j.allStrictlyInside);
               }
               if (j.allClearlyInside) {
                   EXPECT_EQ(kind, Frustum::kInside);
               } else if (j.anyClearlyInside && j.anyClearlyBeyond) {
                   EXPECT_EQ(kind, Frustum::kCrossing);
               } else if (j.allBeyondOnePlane) {
                   EXPECT_EQ(kind, Frustum::kOutside);
               }
           });
    EXPECT_GT(counts[Frustum::kInside], 20);
    EXPECT_GT(counts[Frustum::kCrossing], 500);
    EXPECT_GT(counts[Frustum::kOutside], 5000);
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
    expectSameFields(f, before);
}

}  // namespace
}  // namespace nevrik::scene3d
