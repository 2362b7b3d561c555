#include "nevrik/geometry/MeshCollider3.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <random>
#include <utility>
#include <vector>

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

// A ray lying in a triangle's plane to within rounding: the determinant
// test passes on noise and puts t at 128, 80,000 units off the triangle.
// That is no hit, through the loop and through the hierarchy alike.
TEST(MeshCollider3NoiseTest, InPlaneRoundingNoiseIsNoHit) {
    MeshCollider3<float> collider;
    fill(collider,
         {Vec(0x1.dfe9b8p+7f, 0x1.a901bep+10f, 0x1.a766a8p+7f),
          Vec(-0x1.256818p+8f, 0x1.c92a6cp+9f, 0x1.6dde14p+7f),
          Vec(0x1.b3336p+9f, 0x1.60beeep+9f, -0x1.4336a2p+9f)},
         {}, Primitive::kTriangles);
    const Ray ray(Vec(0x1.fc33e8p+10f, 0x1.999b4p+8f, -0x1.7ad23ap+10f),
                  Vec(-0x1.25f47cp+9f, 0x1.f83bf4p+7f, 0x1.e6f8eep+8f));
    for (bool built : {false, true}) {
        if (built) {
            collider.build();
        }
        EXPECT_FALSE(collider.intersectRay(ray, nullptr)) << built;
        EXPECT_FALSE(collider.intersectLine(ray, nullptr)) << built;
    }
    // Off the plane, towards the centroid, it hits there.
    const auto& corners = collider.getVertices();
    const Vec centroid = (corners[0] + corners[1] + corners[2]) * (1.0f / 3.0f);
    const Vec across = (corners[1] - corners[0]).cross(corners[2] - corners[0]) * 1e-3f;
    PickResult hit;
    ASSERT_TRUE(collider.intersectRay(Ray(centroid + across, across * -1.0f), &hit));
    EXPECT_NEAR(hit.distance, 1.0f, 1e-4f);
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

bool sameBits(const PickResult& a, const PickResult& b) {
    return std::memcmp(&a.point, &b.point, sizeof(Vec)) == 0 &&
           std::memcmp(&a.normal, &b.normal, sizeof(Vec)) == 0 &&
           std::memcmp(&a.distance, &b.distance, sizeof(float)) == 0;
}

// Meshes and rays meant to break a hierarchy that answers differently from
// the per-triangle loop: shared edges and vertices, exact ties, degenerate
// and non-finite triangles, bad indices, every primitive, coordinates from
// tiny to huge, and rays through vertices, along edges, in planes and with
// non-finite parts.
class Hostile {
public:
    explicit Hostile(unsigned seed) : mRandom(seed) {}

    // A new mesh into `collider` (emptied first), of one of several kinds.
    void mesh(MeshCollider3<float>& collider) {
        collider.getVertices().clear();
        collider.getIndices().clear();
        collider.setPrimitive(Primitive::kTriangles);
        mScale = pick({1e-20f, 1e-3f, 1.0f, 1.0f, 1.0f, 300.0f, 1e6f, 1e30f});
        mOffset = chance(0.2) ? vec(mScale * 1000.0f) : Vec();
        switch (below(5)) {
            case 0:
                soup(collider);
                break;
            case 1:
                grid(collider);
                break;
            case 2:
                stack(collider);
                break;
            case 3:
                degenerate(collider);
                break;
            default:
                primitives(collider);
                break;
        }
        // Hostile extras: a non-finite corner, an index past the end.
        if (chance(0.15) && !collider.getVertices().isEmpty()) {
            collider.getVertices()[below(collider.getVertices().getCount())][below(3)] = nonFinite();
        }
        if (chance(0.15) && !collider.getIndices().isEmpty()) {
            collider.getIndices()[below(collider.getIndices().getCount())] = 1000000u;
        }
    }

    // A ray at the current mesh, of one of several kinds.
    Ray ray(const MeshCollider3<float>& collider) {
        const auto& vertices = collider.getVertices();
        const auto corner = [&]() {
            return vertices.isEmpty() ? Vec() : vertices[below(vertices.getCount())];
        };
        // Three consecutive entries: a triangle of lists, strips and fans alike,
        // and in the flat and tilted grids the plane of all of them.
        const auto triangle = [&](Vec corners[3]) {
            const auto& indices = collider.getIndices();
            const int count = indices.isEmpty() ? vertices.getCount() : indices.getCount();
            const int first = count < 3 ? 0 : below(count - 2);
            for (int k = 0; k < 3; ++k) {
                const auto index = indices.isEmpty() || first + k >= count
                                       ? static_cast<unsigned int>(first + k)
                                       : indices[first + k];
                corners[k] = index < static_cast<unsigned int>(vertices.getCount())
                                 ? vertices[static_cast<int>(index)]
                                 : corner();
            }
        };
        Ray made(mOffset + vec(mScale * 3.0f), vec(mScale));
        switch (below(10)) {
            case 0:
                break;
            case 1:  // through a vertex
                made.direction = (corner() - made.origin) * pick({1.0f, 0.5f, 2.0f, 1e-3f});
                break;
            case 2: {  // along an edge, from before its start
                const Vec a = corner();
                const Vec b = corner();
                made = Ray(a - (b - a) * pick({0.0f, 0.5f, 2.0f}), b - a);
                break;
            }
            case 3: {  // in the plane of three vertices
                const Vec a = corner();
                const Vec e1 = corner() - a;
                const Vec e2 = corner() - a;
                made = Ray(a + e1 * uniform(-2.0f, 3.0f) + e2 * uniform(-2.0f, 3.0f),
                           e1 * uniform(-1.0f, 1.0f) + e2 * uniform(-1.0f, 1.0f));
                break;
            }
            case 4: {  // along a coordinate axis, through a vertex's coordinates
                const Vec a = corner();
                made.direction = Vec();
                made.direction[below(3)] = pick({1.0f, -1.0f, mScale});
                made.origin = a - made.direction * 5.0f;
                break;
            }
            case 7:  // in a triangle's plane, from anywhere in it, any way along it
            case 8: {
                Vec c[3];
                triangle(c);
                const Vec e1 = c[1] - c[0];
                const Vec e2 = c[2] - c[0];
                const float far = pick({1.0f, 4.0f, 64.0f});
                made = Ray(c[0] + e1 * uniform(-far, far) + e2 * uniform(-far, far),
                           e1 * uniform(-1.0f, 1.0f) + e2 * uniform(-1.0f, 1.0f));
                break;
            }
            case 9: {  // along a triangle's edge or through its corner from far in its plane
                Vec c[3];
                triangle(c);
                const Vec through = chance(0.5) ? c[1] : c[0] + (c[1] - c[0]) * 0.5f;
                made = Ray(c[0] + (c[2] - c[0]) * pick({0.0f, -3.0f, 5.0f}), through - c[0]);
                break;
            }
            case 5:  // aimed into the mesh, as a segment ending near it
                made.direction = (mOffset + vec(mScale) - made.origin) * uniform(0.2f, 1.2f);
                break;
            case 6:
                (chance(0.5) ? made.origin : made.direction)[below(3)] = nonFinite();
                break;
        }
        return made;
    }

private:
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(mRandom); }
    bool chance(double p) { return std::bernoulli_distribution(p)(mRandom); }
    float uniform(float a, float b) { return std::uniform_real_distribution<float>(a, b)(mRandom); }
    float pick(std::initializer_list<float> values) {
        return values.begin()[below(static_cast<int>(values.size()))];
    }
    float nonFinite() {
        return pick({std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                     -std::numeric_limits<float>::infinity()});
    }
    Vec vec(float scale) {
        return Vec(uniform(-scale, scale), uniform(-scale, scale), uniform(-scale, scale));
    }
    void add(MeshCollider3<float>& collider, const Vec& v) { collider.getVertices().add(mOffset + v); }

    // Small triangles scattered, or large ones crossing.
    void soup(MeshCollider3<float>& collider) {
        const int count = 1 + below(chance(0.2) ? 400 : 60);
        for (int i = 0; i < count; ++i) {
            const Vec centre = vec(mScale);
            const float size = mScale * (chance(0.5) ? 0.1f : 1.0f);
            for (int k = 0; k < 3; ++k) {
                add(collider, centre + vec(size));
            }
        }
    }

    // A height field on whole steps: shared edges and vertices, flat, tilted
    // or stepped, as a list, quads or one quad strip.
    void grid(MeshCollider3<float>& collider) {
        const int columns = 1 + below(12);
        const int rows = 1 + below(12);
        const int shape = below(3);
        const float step = mScale / 4.0f;
        for (int y = 0; y <= rows; ++y) {
            for (int x = 0; x <= columns; ++x) {
                const float height = shape == 0   ? 0.0f
                                     : shape == 1 ? (x * 0.5f + y * 0.25f) * step
                                                  : static_cast<float>(below(3)) * step;
                add(collider, Vec(x * step, y * step, height));
            }
        }
        const auto at = [&](int x, int y) { return static_cast<unsigned int>(y * (columns + 1) + x); };
        const int kind = below(3);
        if (kind == 2) {
            collider.setPrimitive(Primitive::kQuadStrip);
            for (int x = 0; x <= columns; ++x) {
                collider.getIndices().add(at(x, 0));
                collider.getIndices().add(at(x, 1));
            }
            return;
        }
        collider.setPrimitive(kind == 0 ? Primitive::kTriangles : Primitive::kQuads);
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < columns; ++x) {
                if (kind == 1) {
                    for (unsigned int i : {at(x, y), at(x + 1, y), at(x + 1, y + 1), at(x, y + 1)}) {
                        collider.getIndices().add(i);
                    }
                    continue;
                }
                for (unsigned int i :
                     {at(x, y), at(x + 1, y), at(x + 1, y + 1), at(x, y), at(x + 1, y + 1), at(x, y + 1)}) {
                    collider.getIndices().add(i);
                }
            }
        }
    }

    // A few triangles repeated in place and in parallel layers: exact ties.
    void stack(MeshCollider3<float>& collider) {
        const int distinct = 1 + below(4);
        std::vector<Vec> corners;
        for (int i = 0; i < 3 * distinct; ++i) {
            corners.push_back(vec(mScale));
        }
        const int copies = 1 + below(40);
        for (int c = 0; c < copies; ++c) {
            const float layer = chance(0.5) ? 0.0f : static_cast<float>(below(3)) * mScale * 0.125f;
            for (int i = 0; i < 3 * distinct; ++i) {
                add(collider,
                    corners[static_cast<std::size_t>(i + 3 * c) % corners.size()] + Vec(0.0f, 0.0f, layer));
            }
        }
    }

    // Zero-area triangles (a repeated corner, collinear corners), slivers and
    // ordinary ones mixed.
    void degenerate(MeshCollider3<float>& collider) {
        const int count = 1 + below(50);
        for (int i = 0; i < count; ++i) {
            const Vec a = vec(mScale);
            const Vec b = vec(mScale);
            const int kind = below(4);
            const Vec c = kind == 0   ? a
                          : kind == 1 ? a + (b - a) * uniform(-1.0f, 2.0f)
                          : kind == 2 ? b + vec(mScale * 1e-4f)
                                      : vec(mScale);
            add(collider, a);
            add(collider, b);
            add(collider, c);
        }
    }

    // Every primitive code over a shared pool of vertices, with or without
    // indices.
    void primitives(MeshCollider3<float>& collider) {
        const int vertices = 3 + below(30);
        for (int i = 0; i < vertices; ++i) {
            add(collider, vec(mScale));
        }
        collider.setPrimitive(static_cast<std::uint32_t>(Primitive::kTriangles + below(6)));
        if (chance(0.5)) {
            const int entries = below(60);
            for (int i = 0; i < entries; ++i) {
                collider.getIndices().add(static_cast<unsigned int>(below(vertices)));
            }
        }
    }

    std::mt19937 mRandom;
    float mScale = 1.0f;
    Vec mOffset;
};

// Whether `ray` lies in the plane of one of the collider's triangles to
// within 2^-12 radians (scaled by the triangle's corner sine): there the
// determinant test is ruled by rounding, and only the hit check keeps its
// noise out.
bool grazes(const MeshCollider3<float>& collider, const Ray& ray) {
    using D3 = math::Vector<double, 3>;
    const auto wide = [](const Vec& v) { return D3(v.x, v.y, v.z); };
    const auto& vertices = collider.getVertices();
    const auto& indices = collider.getIndices();
    const int count = indices.isEmpty() ? vertices.getCount() : indices.getCount();
    const auto at = [&](int entry) {
        const auto index = indices.isEmpty() ? static_cast<unsigned int>(entry) : indices[entry];
        return index < static_cast<unsigned int>(vertices.getCount())
                   ? wide(vertices[static_cast<int>(index)])
                   : D3();
    };
    const D3 d = wide(ray.direction);
    bool grazing = false;
    Primitive::forEachTriangle(collider.getPrimitive(), count, [&](int a, int b, int c) {
        const D3 e1 = at(b) - at(a);
        const D3 e2 = at(c) - at(a);
        const double scale = d.length() * e1.length() * e2.length();
        grazing = std::isfinite(scale) && scale > 0.0 && std::abs(d.dot(e1.cross(e2))) < scale / 4096.0;
        return !grazing;
    });
    return grazing;
}

TEST(MeshCollider3HierarchyTest, AnswersBitForBitAsThePerTriangleLoop) {
    using Range = MeshCollider3<float>::Range;
    Hostile hostile(20261208);
    MeshCollider3<float> collider;
    int hits[3] = {};
    int queries = 0;
    int grazing = 0;
    int grazingHits = 0;
    for (int round = 0; round < 3000; ++round) {
        hostile.mesh(collider);
        ASSERT_FALSE(collider.isBuilt());
        collider.build();
        ASSERT_TRUE(collider.isBuilt());
        for (int r = 0; r < 40; ++r) {
            const Ray ray = hostile.ray(collider);
            const bool graze = grazes(collider, ray);
            grazing += graze ? 1 : 0;
            for (Range range : {Range::kRay, Range::kSegment, Range::kLine}) {
                PickResult expected;
                PickResult actual;
                const bool hit = collider.intersectReference(range, ray, &expected);
                const bool same = collider.intersect(range, ray, &actual) == hit &&
                                  collider.intersect(range, ray, nullptr) == hit &&
                                  (!hit || sameBits(actual, expected));
                ++queries;
                hits[static_cast<int>(range)] += hit ? 1 : 0;
                grazingHits += graze && hit ? 1 : 0;
                ASSERT_TRUE(same) << "round " << round << " ray " << r << " range "
                                  << static_cast<int>(range);
            }
        }
    }
    // Not vacuous: every query kind hits often, and rays in planes abound
    // and hit (some other triangle, or one they cross steeply enough).
    for (int h : hits) {
        EXPECT_GT(h, queries / 60);
    }
    EXPECT_GT(grazing, queries / 12);
    EXPECT_GT(grazingHits, grazing / 20);
}

TEST(MeshCollider3HierarchyTest, ChangesDropTheHierarchyAndAMillionCopiesStayExact) {
    MeshCollider3<float> collider;
    fill(collider, {Vec(0, 0, 0), Vec(1, 0, 0), Vec(0, 1, 0)}, {}, Primitive::kTriangles);
    collider.build();
    collider.getVertices()[1] = Vec(4, 0, 0);
    EXPECT_FALSE(collider.isBuilt()) << "a change through the accessor";
    PickResult hit;
    ASSERT_TRUE(collider.intersectRay(downAt(2.0f, 0.1f), &hit)) << "answered by the loop";

    // One triangle a million times over: nothing to split, every copy ties
    // and the last one wins.
    const int copies = 1000000;
    for (int i = 0; i < copies; ++i) {
        collider.getIndices().add(0);
        collider.getIndices().add(static_cast<unsigned int>(1 + i % 2));
        collider.getIndices().add(static_cast<unsigned int>(2 - i % 2));
    }
    collider.build();
    EXPECT_LT(collider.getHierarchySize(), 64u * copies);
    PickResult expected;
    ASSERT_TRUE(
        collider.intersectReference(MeshCollider3<float>::Range::kRay, downAt(0.2f, 0.2f), &expected));
    ASSERT_TRUE(collider.intersectRay(downAt(0.2f, 0.2f), &hit));
    EXPECT_EQ(hit.normal, expected.normal);
    EXPECT_EQ(hit.normal, Vec(0.0f, 0.0f, -4.0f)) << "the last copy, wound the other way";
    EXPECT_FALSE(collider.intersectRay(downAt(3.0f, 3.0f), nullptr));
}

}  // namespace
}  // namespace nevrik::geometry
