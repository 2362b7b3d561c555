#include "nevrik/geometry/MeshCollider3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <random>

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

// The hit of `ray` must be the one the lone triangle (a, b, c) gives: same
// point, normal and distance. Used to check which triangle a primitive formed.
void expectHitOn(const MeshCollider3<float>& collider, const Ray& ray, const Vec& a, const Vec& b,
                 const Vec& c) {
    MeshCollider3<float> lone;
    fill(lone, {a, b, c}, {}, Primitive::kTriangles);
    PickResult expected;
    ASSERT_TRUE(lone.intersectRay(ray, &expected));
    PickResult actual;
    ASSERT_TRUE(collider.intersectRay(ray, &actual));
    EXPECT_EQ(actual.point, expected.point);
    EXPECT_EQ(actual.normal, expected.normal);
    EXPECT_EQ(actual.distance, expected.distance);
}

// Holds a unit right triangle in the z = 0 plane; its normal e1 × e2 is +z.
class MeshCollider3Test : public ::testing::Test {
protected:
    MeshCollider3Test() {
        fill(mCollider, {Vec(0.0f, 0.0f, 0.0f), Vec(1.0f, 0.0f, 0.0f), Vec(0.0f, 1.0f, 0.0f)}, {0, 1, 2},
             Primitive::kTriangles);
    }
    MeshCollider3<float> mCollider;
};

TEST_F(MeshCollider3Test, ReportsTheClassNameOfCollider) {
    const MeshCollider3<float> collider;
    EXPECT_EQ(collider.className(), "Object:Collider");
    EXPECT_EQ(collider.getPrimitive(), Primitive::kTriangles);
}

TEST_F(MeshCollider3Test, RayInThePlaneNeverHitsEvenAcrossAnEdge) {
    const Ray inPlane(Vec(-1.0f, 0.25f, 0.0f), Vec(1.0f, 0.0f, 0.0f));
    EXPECT_FALSE(mCollider.intersectRay(inPlane, nullptr));
    EXPECT_FALSE(mCollider.intersectLine(inPlane, nullptr));
    EXPECT_FALSE(mCollider.intersectSegment(Ray(inPlane.origin, Vec(3.0f, 0.0f, 0.0f)), nullptr));
}

TEST_F(MeshCollider3Test, BothFacesHitAndOnlyTheLineSeesBehind) {
    PickResult hit;
    ASSERT_TRUE(mCollider.intersectRay(Ray(Vec(0.25f, 0.25f, -2.0f), Vec(0.0f, 0.0f, 4.0f)), &hit));
    EXPECT_EQ(hit.distance, 0.5f);
    EXPECT_EQ(hit.normal, Vec(0.0f, 0.0f, 1.0f)) << "unnormalised e1 x e2, whichever face";

    const Ray away(Vec(0.25f, 0.25f, 1.0f), Vec(0.0f, 0.0f, 1.0f));
    EXPECT_FALSE(mCollider.intersectRay(away, &hit));
    EXPECT_FALSE(mCollider.intersectSegment(away, &hit));
    ASSERT_TRUE(mCollider.intersectLine(away, &hit));
    EXPECT_EQ(hit.distance, -1.0f);
    EXPECT_EQ(hit.point, Vec(0.25f, 0.25f, 0.0f));
}

TEST_F(MeshCollider3Test, SegmentReachesExactlyOneOrFallsShort) {
    PickResult hit;
    ASSERT_TRUE(mCollider.intersectSegment(Ray(Vec(0.25f, 0.25f, 2.0f), Vec(0.0f, 0.0f, -2.0f)), &hit));
    EXPECT_EQ(hit.distance, 1.0f);
    EXPECT_EQ(hit.point, Vec(0.25f, 0.25f, 0.0f));
    EXPECT_FALSE(mCollider.intersectSegment(Ray(Vec(0.25f, 0.25f, 2.0f), Vec(0.0f, 0.0f, -1.5f)), &hit));
    EXPECT_TRUE(mCollider.intersectRay(Ray(Vec(0.25f, 0.25f, 2.0f), Vec(0.0f, 0.0f, -1.5f)), nullptr));
}

TEST_F(MeshCollider3Test, NullRecordGivesTheSameAnswerAndAMissWritesNothing) {
    PickResult untouched;
    untouched.point = Vec(7.0f, 7.0f, 7.0f);
    untouched.normal = Vec(8.0f, 8.0f, 8.0f);
    untouched.distance = 9.0f;
    untouched.mesh = reinterpret_cast<graphics3d::Mesh*>(&untouched);

    const Ray rays[] = {downAt(0.25f, 0.25f), downAt(0.75f, 0.75f), downAt(-0.1f, 0.5f),
                        Ray(Vec(0.25f, 0.25f, 1.0f), Vec(0.0f, 0.0f, 0.5f))};
    for (const Ray& ray : rays) {
        PickResult hit = untouched;
        EXPECT_EQ(mCollider.intersectRay(ray, nullptr), mCollider.intersectRay(ray, &hit));
        EXPECT_EQ(mCollider.intersectSegment(ray, nullptr), mCollider.intersectSegment(ray, &hit));
        EXPECT_EQ(mCollider.intersectLine(ray, nullptr), mCollider.intersectLine(ray, &hit));
        EXPECT_EQ(hit.mesh, untouched.mesh) << "the caller's fields are the caller's";
    }
    PickResult hit = untouched;
    EXPECT_FALSE(mCollider.intersectRay(downAt(0.75f, 0.75f), &hit));
    EXPECT_EQ(hit.point, untouched.point);
    EXPECT_EQ(hit.normal, untouched.normal);
    EXPECT_EQ(hit.distance, untouched.distance);
}

TEST_F(MeshCollider3Test, NearestHitWinsAndTiesGoToTheLaterTriangle) {
    // Triangle 0 at z = -1; triangles 1 and 2 coincide at z = 0 with opposite windings.
    MeshCollider3<float> collider;
    fill(collider,
         {Vec(0.0f, 0.0f, -1.0f), Vec(1.0f, 0.0f, -1.0f), Vec(0.0f, 1.0f, -1.0f), Vec(0.0f, 0.0f, 0.0f),
          Vec(1.0f, 0.0f, 0.0f), Vec(0.0f, 1.0f, 0.0f)},
         {0, 1, 2, 3, 4, 5, 3, 5, 4}, Primitive::kTriangles);
    PickResult hit;
    ASSERT_TRUE(collider.intersectRay(downAt(0.25f, 0.25f), &hit));
    EXPECT_EQ(hit.distance, 10.0f);
    EXPECT_EQ(hit.normal, Vec(0.0f, 0.0f, -1.0f));

    // The line keeps the smallest t: the tie now lies behind at t = -10.
    ASSERT_TRUE(collider.intersectLine(Ray(Vec(0.25f, 0.25f, -10.0f), Vec(0.0f, 0.0f, -1.0f)), &hit));
    EXPECT_EQ(hit.distance, -10.0f);
    EXPECT_EQ(hit.normal, Vec(0.0f, 0.0f, -1.0f));

    collider.getIndices()[6] = 3;
    collider.getIndices()[7] = 4;
    collider.getIndices()[8] = 5;
    collider.getIndices()[4] = 5;
    collider.getIndices()[5] = 4;
    ASSERT_TRUE(collider.intersectRay(downAt(0.25f, 0.25f), &hit));
    EXPECT_EQ(hit.normal, Vec(0.0f, 0.0f, 1.0f));
}

// Five points zig-zagging along x; each at its own height so every triangle
// has its own plane and the hit tells which triangle was formed.
const Vec kZigZag[6] = {Vec(0.0f, 0.0f, 0.0f), Vec(0.0f, 1.0f, 0.1f), Vec(1.0f, 0.0f, 0.2f),
                        Vec(1.0f, 1.0f, 0.3f), Vec(2.0f, 0.0f, 0.4f), Vec(2.0f, 1.0f, 0.5f)};

TEST_F(MeshCollider3Test, ListUsesWholeTriplesAndStripEveryWindowWithoutWindingSwap) {
    const std::initializer_list<Vec> points = {kZigZag[0], kZigZag[1], kZigZag[2], kZigZag[3], kZigZag[4]};

    MeshCollider3<float> list;
    fill(list, points, {0, 1, 2, 2, 3, 4, 0}, Primitive::kTriangles);
    expectHitOn(list, downAt(1.6f, 0.2f), kZigZag[2], kZigZag[3], kZigZag[4]);
    EXPECT_FALSE(list.intersectRay(downAt(0.8f, 0.8f), nullptr)) << "(1, 2, 3) is not in a list";

    MeshCollider3<float> strip;
    fill(strip, points, {0, 1, 2, 3, 4}, Primitive::kTriangleStrip);
    expectHitOn(strip, downAt(0.2f, 0.2f), kZigZag[0], kZigZag[1], kZigZag[2]);
    expectHitOn(strip, downAt(0.8f, 0.8f), kZigZag[1], kZigZag[2], kZigZag[3]);
    expectHitOn(strip, downAt(1.6f, 0.2f), kZigZag[2], kZigZag[3], kZigZag[4]);

    // The same five indices as a list form one triangle only.
    strip.setPrimitive(Primitive::kTriangles);
    EXPECT_FALSE(strip.intersectRay(downAt(1.6f, 0.2f), nullptr));
}

TEST_F(MeshCollider3Test, WithoutIndicesVerticesAreTakenInOrder) {
    MeshCollider3<float> strip;
    fill(strip, {kZigZag[0], kZigZag[1], kZigZag[2], kZigZag[3]}, {}, Primitive::kTriangleStrip);
    expectHitOn(strip, downAt(0.8f, 0.8f), kZigZag[1], kZigZag[2], kZigZag[3]);
    EXPECT_FALSE(strip.intersectRay(downAt(1.6f, 0.2f), nullptr));
}

TEST_F(MeshCollider3Test, FansQuadsAndQuadStripsFormTheTrianglesOpenGLDraws) {
    MeshCollider3<float> fan;
    const Vec hub(0.5f, 0.5f, 1.0f);
    fill(fan, {hub, kZigZag[0], kZigZag[2], kZigZag[3], kZigZag[1]}, {}, Primitive::kTriangleFan);
    expectHitOn(fan, downAt(0.5f, 0.1f), hub, kZigZag[0], kZigZag[2]);
    expectHitOn(fan, downAt(0.9f, 0.5f), hub, kZigZag[2], kZigZag[3]);
    expectHitOn(fan, downAt(0.5f, 0.9f), hub, kZigZag[3], kZigZag[1]);
    EXPECT_FALSE(fan.intersectRay(downAt(0.1f, 0.5f), nullptr)) << "an open fan";

    // Quads 0-2-3-1 and 2-4-5-3, plus two entries that make no quad.
    MeshCollider3<float> quads;
    fill(quads, {kZigZag[0], kZigZag[1], kZigZag[2], kZigZag[3], kZigZag[4], kZigZag[5]},
         {0, 2, 3, 1, 2, 4, 5, 3, 0, 1}, Primitive::kQuads);
    expectHitOn(quads, downAt(0.8f, 0.2f), kZigZag[0], kZigZag[2], kZigZag[3]);
    expectHitOn(quads, downAt(0.2f, 0.8f), kZigZag[0], kZigZag[3], kZigZag[1]);
    expectHitOn(quads, downAt(1.8f, 0.2f), kZigZag[2], kZigZag[4], kZigZag[5]);
    expectHitOn(quads, downAt(1.2f, 0.8f), kZigZag[2], kZigZag[5], kZigZag[3]);

    // Quad n of a strip runs through entries 2n, 2n+1, 2n+3, 2n+2.
    MeshCollider3<float> quadStrip;
    fill(quadStrip, {kZigZag[0], kZigZag[1], kZigZag[2], kZigZag[3], kZigZag[4], kZigZag[5]}, {},
         Primitive::kQuadStrip);
    expectHitOn(quadStrip, downAt(0.2f, 0.8f), kZigZag[0], kZigZag[1], kZigZag[3]);
    expectHitOn(quadStrip, downAt(0.8f, 0.2f), kZigZag[0], kZigZag[3], kZigZag[2]);
    expectHitOn(quadStrip, downAt(1.2f, 0.8f), kZigZag[2], kZigZag[3], kZigZag[5]);
    expectHitOn(quadStrip, downAt(1.8f, 0.2f), kZigZag[2], kZigZag[5], kZigZag[4]);
}

TEST_F(MeshCollider3Test, OtherCodesShortSequencesAndBadIndicesFormNothing) {
    MeshCollider3<float> collider;
    fill(collider, {kZigZag[0], kZigZag[1], kZigZag[2]}, {0, 1, 2}, 0);
    for (std::uint32_t code : {0u, 1u, 3u, 9u, 0xFFFFFFFFu}) {
        collider.setPrimitive(code);
        EXPECT_FALSE(collider.intersectLine(downAt(0.2f, 0.2f), nullptr)) << code;
    }
    for (std::uint32_t code = Primitive::kTriangles; code <= Primitive::kQuadStrip; ++code) {
        MeshCollider3<float> shortOne;
        fill(shortOne, {kZigZag[0], kZigZag[1], kZigZag[2]}, {0, 1}, code);
        EXPECT_FALSE(shortOne.intersectLine(downAt(0.2f, 0.2f), nullptr)) << code;
        EXPECT_FALSE(MeshCollider3<float>().intersectLine(downAt(0.2f, 0.2f), nullptr)) << code;
    }

    // An index past the vertices drops its triangle only.
    MeshCollider3<float> bad;
    fill(bad, {kZigZag[0], kZigZag[1], kZigZag[2], kZigZag[3]}, {0, 1, 99, 1, 2, 3, 0xFFFFFFFFu, 0, 1},
         Primitive::kTriangles);
    EXPECT_FALSE(bad.intersectRay(downAt(0.2f, 0.2f), nullptr));
    expectHitOn(bad, downAt(0.8f, 0.8f), kZigZag[1], kZigZag[2], kZigZag[3]);
}

// Reference: the plane hit in double precision, inside when all three
// barycentric weights are non-negative. Rays that pass within `margin` of an
// edge, or nearly along the plane, are ambiguous for a float test and
// reported as such.
struct ReferenceHit {
    bool ambiguous = false;
    bool hit = false;
    double t = 0.0;
};

ReferenceHit reference(const Ray& ray, const Vec& p, const Vec& q, const Vec& r) {
    using D3 = math::Vector<double, 3>;
    auto wide = [](const Vec& v) { return D3(v.x, v.y, v.z); };
    const D3 a = wide(p), b = wide(q), c = wide(r), o = wide(ray.origin), d = wide(ray.direction);
    const D3 n = (b - a).cross(c - a);
    const double rate = n.dot(d);
    ReferenceHit result;
    if (std::abs(rate) < 1e-3 * n.length() * d.length()) {
        result.ambiguous = true;
        return result;
    }
    result.t = n.dot(a - o) / rate;
    const D3 x = o + d * result.t;
    const double twiceArea = n.squaredLength();
    const double weights[3] = {n.dot((b - x).cross(c - x)) / twiceArea,
                               n.dot((c - x).cross(a - x)) / twiceArea,
                               n.dot((a - x).cross(b - x)) / twiceArea};
    result.hit = true;
    for (double w : weights) {
        if (std::abs(w) < 1e-3) {
            result.ambiguous = true;
        }
        result.hit = result.hit && w >= 0.0;
    }
    return result;
}

TEST_F(MeshCollider3Test, AgreesWithBruteForceReferenceOnRandomSoup) {
    std::mt19937 random(20240611);
    std::uniform_real_distribution<float> coordinate(-1.0f, 1.0f);
    auto randomVec = [&](float scale) {
        return Vec(coordinate(random) * scale, coordinate(random) * scale, coordinate(random) * scale);
    };

    MeshCollider3<float> collider;
    const int triangles = 60;
    for (int i = 0; i < 3 * triangles; ++i) {
        collider.getVertices().add(randomVec(1.0f));
        collider.getIndices().add(static_cast<unsigned int>((i * 7) % (3 * triangles)));
    }
    const Vec* v = collider.getVertices().getData();
    const unsigned int* index = collider.getIndices().getData();

    struct Query {
        bool (MeshCollider3<float>::*operation)(const Ray&, PickResult*) const;
        double lower;
        double upper;
    };
    const double largest = std::numeric_limits<float>::max();
    const Query queries[] = {{&MeshCollider3<float>::intersectRay, 0.0, largest},
                             {&MeshCollider3<float>::intersectSegment, 0.0, 1.0},
                             {&MeshCollider3<float>::intersectLine, -largest, largest}};

    int compared = 0;
    int hits = 0;
    for (int round = 0; round < 400; ++round) {
        // Aimed into the soup so that hits and misses both abound; the
        // segment ends at the aim point.
        const Vec origin = randomVec(3.0f);
        const Ray ray(origin, randomVec(1.0f) - origin);
        for (const Query& query : queries) {
            bool ambiguous = false;
            bool expectHit = false;
            double nearest = 0.0;
            for (int k = 0; k < triangles && !ambiguous; ++k) {
                const ReferenceHit ref =
                    reference(ray, v[index[3 * k]], v[index[3 * k + 1]], v[index[3 * k + 2]]);
                ambiguous = ref.ambiguous || std::abs(ref.t - query.lower) < 1e-3 ||
                            std::abs(ref.t - query.upper) < 1e-3;
                if (ref.hit && ref.t >= query.lower && ref.t <= query.upper) {
                    ambiguous = ambiguous || (expectHit && std::abs(ref.t - nearest) < 1e-3);
                    if (!expectHit || ref.t < nearest) {
                        nearest = ref.t;
                    }
                    expectHit = true;
                }
            }
            if (ambiguous) {
                continue;
            }
            ++compared;
            PickResult hit;
            ASSERT_EQ((collider.*query.operation)(ray, &hit), expectHit) << "round " << round;
            if (expectHit) {
                ++hits;
                EXPECT_NEAR(hit.distance, nearest, 1e-4 * std::max(1.0, std::abs(nearest)))
                    << "round " << round;
            }
        }
    }
    // The sample must have exercised both answers broadly.
    EXPECT_GT(compared, 800);
    EXPECT_GT(hits, 300);
    EXPECT_GT(compared - hits, 150);
}

}  // namespace
}  // namespace nevrik::geometry
