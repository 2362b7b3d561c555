#include "nevrik/geometry/MeshCollider3.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <random>
#include <utility>

namespace nevrik::geometry {
namespace {

using Vec = math::Vector3<float>;

void fill(MeshCollider3<float>& collider, std::initializer_list<Vec> vertices,
          std::initializer_list<unsigned int> indices, std::uint32_t primitive) {
    for (const Vec& v : vertices) {
        collider.getVertices().add(v);
    }
    for (unsigned int i : indices) {
        collider.getIndices().add(i);
    }
    collider.setPrimitive(primitive);
}

// A ray from high above (x, y), straight down.
Ray downAt(float x, float y) {
    return Ray(Vec(x, y, 10.0f), Vec(0.0f, 0.0f, -1.0f));
}

// Six points zig-zagging along x, each at its own height, so that every
// triangle has its own plane and a hit tells which triangle was formed.
const Vec kZig[6] = {Vec(0, 0, 0),    Vec(0, 1, 0.1f), Vec(1, 0, 0.2f),
                     Vec(1, 1, 0.3f), Vec(2, 0, 0.4f), Vec(2, 1, 0.5f)};

// The hit of `ray` must be the one the lone triangle (a, b, c) gives.
void expectHitOn(const MeshCollider3<float>& collider, const Ray& ray, const Vec& a, const Vec& b,
                 const Vec& c) {
    MeshCollider3<float> lone;
    fill(lone, {a, b, c}, {}, Primitive::kTriangles);
    PickResult expected;
    PickResult actual;
    ASSERT_TRUE(lone.intersectRay(ray, &expected));
    ASSERT_TRUE(collider.intersectRay(ray, &actual));
    EXPECT_EQ(actual.normal, expected.normal);
    EXPECT_EQ(actual.distance, expected.distance);
}

// Holds a unit right triangle in the z = 0 plane; its normal e1 × e2 is +z.
class MeshCollider3Test : public ::testing::Test {
protected:
    MeshCollider3Test() { fill(mTriangle, {Vec(0, 0, 0), Vec(1, 0, 0), Vec(0, 1, 0)}, {0, 1, 2}, 4); }
    MeshCollider3<float> mTriangle;
};

TEST_F(MeshCollider3Test, InPlaneRaysMissAndOnlyTheLineSeesBehind) {
    EXPECT_EQ(mTriangle.className(), "Object:Collider");
    const Ray inPlane(Vec(-1.0f, 0.25f, 0.0f), Vec(1.0f, 0.0f, 0.0f));
    EXPECT_FALSE(mTriangle.intersectLine(inPlane, nullptr)) << "even across an edge";

    const Ray away(Vec(0.25f, 0.25f, 1.0f), Vec(0.0f, 0.0f, 1.0f));
    PickResult hit;
    EXPECT_FALSE(mTriangle.intersectRay(away, &hit));
    ASSERT_TRUE(mTriangle.intersectLine(away, &hit));
    EXPECT_EQ(hit.distance, -1.0f);
    EXPECT_EQ(hit.point, Vec(0.25f, 0.25f, 0.0f));
    EXPECT_EQ(hit.normal, Vec(0.0f, 0.0f, 1.0f)) << "unnormalised e1 x e2, whichever face";
}

TEST_F(MeshCollider3Test, SegmentReachingExactlyOneHitsAndShortOneMisses) {
    PickResult hit;
    ASSERT_TRUE(mTriangle.intersectSegment(Ray(Vec(0.25f, 0.25f, 2.0f), Vec(0.0f, 0.0f, -2.0f)), &hit));
    EXPECT_EQ(hit.distance, 1.0f);
    EXPECT_FALSE(mTriangle.intersectSegment(Ray(Vec(0.25f, 0.25f, 2.0f), Vec(0.0f, 0.0f, -1.5f)), &hit));
}

TEST_F(MeshCollider3Test, NullRecordGivesTheSameAnswerAndAMissWritesNothing) {
    PickResult untouched;
    untouched.distance = 9.0f;
    for (const Ray& ray :
         {downAt(0.25f, 0.25f), downAt(0.75f, 0.75f), Ray(Vec(0.2f, 0.2f, 1), Vec(0, 0, 0.5f))}) {
        PickResult hit = untouched;
        EXPECT_EQ(mTriangle.intersectSegment(ray, nullptr), mTriangle.intersectSegment(ray, &hit));
        EXPECT_EQ(mTriangle.intersectRay(ray, nullptr), mTriangle.intersectRay(ray, &hit));
    }
    PickResult hit = untouched;
    EXPECT_FALSE(mTriangle.intersectRay(downAt(0.75f, 0.75f), &hit));
    EXPECT_EQ(hit.distance, 9.0f);
}

TEST_F(MeshCollider3Test, NearestHitWinsAndTiesGoToTheLaterTriangle) {
    // Triangle 0 at z = -1; triangles 1 and 2 coincide at z = 0 with opposite windings.
    MeshCollider3<float> collider;
    fill(collider, {Vec(0, 0, -1), Vec(1, 0, -1), Vec(0, 1, -1), Vec(0, 0, 0), Vec(1, 0, 0), Vec(0, 1, 0)},
         {0, 1, 2, 3, 4, 5, 3, 5, 4}, Primitive::kTriangles);
    PickResult hit;
    ASSERT_TRUE(collider.intersectRay(downAt(0.25f, 0.25f), &hit));
    EXPECT_EQ(hit.distance, 10.0f);
    EXPECT_EQ(hit.normal, Vec(0.0f, 0.0f, -1.0f));

    std::swap(collider.getIndices()[4], collider.getIndices()[7]);
    std::swap(collider.getIndices()[5], collider.getIndices()[8]);
    ASSERT_TRUE(collider.intersectRay(downAt(0.25f, 0.25f), &hit));
    EXPECT_EQ(hit.normal, Vec(0.0f, 0.0f, 1.0f));
}

TEST_F(MeshCollider3Test, ListsTakeWholeTriplesAndStripsEveryWindowUnswapped) {
    MeshCollider3<float> list;
    fill(list, {kZig[0], kZig[1], kZig[2], kZig[3], kZig[4]}, {0, 1, 2, 2, 3, 4, 0}, Primitive::kTriangles);
    expectHitOn(list, downAt(1.6f, 0.2f), kZig[2], kZig[3], kZig[4]);
    EXPECT_FALSE(list.intersectRay(downAt(0.8f, 0.8f), nullptr));

    // Five vertices without indices: three triangles, the odd one keeping its winding.
    MeshCollider3<float> strip;
    fill(strip, {kZig[0], kZig[1], kZig[2], kZig[3], kZig[4]}, {}, Primitive::kTriangleStrip);
    expectHitOn(strip, downAt(0.2f, 0.2f), kZig[0], kZig[1], kZig[2]);
    expectHitOn(strip, downAt(0.8f, 0.8f), kZig[1], kZig[2], kZig[3]);
    expectHitOn(strip, downAt(1.6f, 0.2f), kZig[2], kZig[3], kZig[4]);
}

TEST_F(MeshCollider3Test, FansQuadsAndQuadStripsFormTheTrianglesOpenGLDraws) {
    MeshCollider3<float> fan;
    const Vec hub(0.5f, 0.5f, 1.0f);
    fill(fan, {hub, kZig[0], kZig[2], kZig[3], kZig[1]}, {}, Primitive::kTriangleFan);
    expectHitOn(fan, downAt(0.5f, 0.1f), hub, kZig[0], kZig[2]);
    expectHitOn(fan, downAt(0.5f, 0.9f), hub, kZig[3], kZig[1]);
    EXPECT_FALSE(fan.intersectRay(downAt(0.1f, 0.5f), nullptr)) << "an open fan";

    // Quads 0-2-3-1 and 2-4-5-3, then two entries that make no quad.
    MeshCollider3<float> quads;
    fill(quads, {kZig[0], kZig[1], kZig[2], kZig[3], kZig[4], kZig[5]}, {0, 2, 3, 1, 2, 4, 5, 3, 0, 1},
         Primitive::kQuads);
    expectHitOn(quads, downAt(0.8f, 0.2f), kZig[0], kZig[2], kZig[3]);
    expectHitOn(quads, downAt(1.2f, 0.8f), kZig[2], kZig[5], kZig[3]);

    // Quad n of a strip runs through entries 2n, 2n+1, 2n+3, 2n+2.
    MeshCollider3<float> quadStrip;
    fill(quadStrip, {kZig[0], kZig[1], kZig[2], kZig[3], kZig[4], kZig[5]}, {}, Primitive::kQuadStrip);
    expectHitOn(quadStrip, downAt(0.2f, 0.8f), kZig[0], kZig[1], kZig[3]);
    expectHitOn(quadStrip, downAt(0.8f, 0.2f), kZig[0], kZig[3], kZig[2]);
    expectHitOn(quadStrip, downAt(1.8f, 0.2f), kZig[2], kZig[5], kZig[4]);
}

TEST_F(MeshCollider3Test, OtherCodesShortSequencesAndBadIndicesFormNothing) {
    mTriangle.setPrimitive(9);
    EXPECT_FALSE(mTriangle.intersectLine(downAt(0.2f, 0.2f), nullptr));
    for (std::uint32_t code = Primitive::kTriangles; code <= Primitive::kQuadStrip; ++code) {
        MeshCollider3<float> two;
        fill(two, {kZig[0], kZig[1], kZig[2]}, {0, 1}, code);
        EXPECT_FALSE(two.intersectLine(downAt(0.2f, 0.2f), nullptr)) << code;
    }
    // An index past the vertices drops its triangle only.
    MeshCollider3<float> bad;
    fill(bad, {kZig[0], kZig[1], kZig[2], kZig[3]}, {0, 1, 99, 1, 2, 3}, Primitive::kTriangles);
    EXPECT_FALSE(bad.intersectRay(downAt(0.2f, 0.2f), nullptr));
    expectHitOn(bad, downAt(0.8f, 0.8f), kZig[1], kZig[2], kZig[3]);
}

// Reference: the plane hit in double precision, inside when no barycentric
// weight is negative. Rays too close to an edge or to the plane are
// ambiguous for a float test and are left out.
bool referenceHit(const Ray& ray, const Vec& p, const Vec& q, const Vec& r, double& t, bool& ambiguous) {
    using D3 = math::Vector<double, 3>;
    auto wide = [](const Vec& v) { return D3(v.x, v.y, v.z); };
    const D3 a = wide(p), b = wide(q), c = wide(r), o = wide(ray.origin), d = wide(ray.direction);
    const D3 n = (b - a).cross(c - a);
    if (std::abs(n.dot(d)) < 1e-3 * n.length() * d.length()) {
        ambiguous = true;
        return false;
    }
    t = n.dot(a - o) / n.dot(d);
    const D3 x = o + d * t;
    bool inside = true;
    for (const D3& w : {(b - x).cross(c - x), (c - x).cross(a - x), (a - x).cross(b - x)}) {
        const double weight = n.dot(w) / n.squaredLength();
        ambiguous = ambiguous || std::abs(weight) < 1e-3;
        inside = inside && weight >= 0.0;
    }
    return inside;
}

TEST_F(MeshCollider3Test, AgreesWithBruteForceReferenceOnRandomSoup) {
    std::mt19937 random(20240611);
    std::uniform_real_distribution<float> coordinate(-1.0f, 1.0f);
    auto randomVec = [&](float scale) {
        return Vec(coordinate(random) * scale, coordinate(random) * scale, coordinate(random) * scale);
    };
    const int triangles = 60;
    MeshCollider3<float> collider;
    for (int i = 0; i < 3 * triangles; ++i) {
        collider.getVertices().add(randomVec(1.0f));
        collider.getIndices().add(static_cast<unsigned int>((i * 7) % (3 * triangles)));
    }
    const double largest = std::numeric_limits<float>::max();
    const struct {
        bool (MeshCollider3<float>::*operation)(const Ray&, PickResult*) const;
        double lower;
        double upper;
    } queries[] = {{&MeshCollider3<float>::intersectRay, 0.0, largest},
                   {&MeshCollider3<float>::intersectSegment, 0.0, 1.0},
                   {&MeshCollider3<float>::intersectLine, -largest, largest}};

    int compared = 0;
    int hits = 0;
    for (int round = 0; round < 400; ++round) {
        // Aimed into the soup so that hits and misses both abound; the
        // segment ends at the aim point.
        const Vec origin = randomVec(3.0f);
        const Ray ray(origin, randomVec(1.0f) - origin);
        for (const auto& query : queries) {
            bool ambiguous = false;
            double nearest = largest * 2.0;
            for (int k = 0; k < 3 * triangles; k += 3) {
                const Vec* v = collider.getVertices().getData();
                const unsigned int* index = collider.getIndices().getData() + k;
                double t = 0.0;
                const bool inside = referenceHit(ray, v[index[0]], v[index[1]], v[index[2]], t, ambiguous);
                ambiguous = ambiguous || std::abs(t - query.lower) < 1e-3 || std::abs(t - query.upper) < 1e-3;
                if (inside && t >= query.lower && t <= query.upper && t < nearest) {
                    nearest = t;
                }
            }
            if (ambiguous) {
                continue;
            }
            ++compared;
            const bool expectHit = nearest <= largest;
            PickResult hit;
            ASSERT_EQ((collider.*query.operation)(ray, &hit), expectHit) << "round " << round;
            if (expectHit) {
                ++hits;
                EXPECT_NEAR(hit.distance, nearest, 1e-4 * std::max(1.0, std::abs(nearest)))
                    << "round " << round;
            }
        }
    }
    EXPECT_GT(hits, 300);
    EXPECT_GT(compared - hits, 150);
}

}  // namespace
}  // namespace nevrik::geometry
