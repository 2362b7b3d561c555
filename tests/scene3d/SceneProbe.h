#pragma once

#include "graphics3d/GlFixture.h"
#include "nevrik/geometry/OrientedBox.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/scene3d/Graphics.h"
#include "nevrik/scene3d/Universe.h"
#include "nevrik/scene3d/Viewer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <utility>
#include <vector>

namespace nevrik::scene3d::test {

using Vec = math::Vector3<float>;
constexpr float kInfinity = std::numeric_limits<float>::infinity();

struct Triangle {
    Vec a, b, c;
};

// The ray parameter where `ray` (t >= 0) meets `t`, or +infinity; in doubles,
// independent of the engine's own triangle test.
inline float hitDistance(const geometry::Ray& ray, const Triangle& t) {
    using D = math::Vector3<double>;
    const auto d = [](const Vec& v) { return D(v.x, v.y, v.z); };
    const D e1 = d(t.b) - d(t.a), e2 = d(t.c) - d(t.a), s = d(ray.origin) - d(t.a);
    const D p = d(ray.direction).cross(e2), q = s.cross(e1);
    const double det = e1.dot(p);
    const double u = s.dot(p) / det, v = d(ray.direction).dot(q) / det, distance = e2.dot(q) / det;
    const bool hit = std::fabs(det) > 1e-12 && u >= 0.0 && v >= 0.0 && u + v <= 1.0 && distance >= 0.0;
    return hit ? static_cast<float>(distance) : kInfinity;
}

// A graphics leaf of triangles in locale coordinates, its box the padded
// axis-aligned box around them. It counts its renders, keeps the last view
// and context, and picks its nearest triangle. Each pick call is stamped
// from a shared counter, so a test can tell which leaf was asked first.
class Probe : public Graphics {
public:
    explicit Probe(std::vector<Triangle> triangles)
        : Graphics(KIND_GRAPHICS), mTriangles(std::move(triangles)) {
        Vec low = mTriangles.front().a, high = low;
        for (const Triangle& t : mTriangles) {
            for (const Vec& v : {t.a, t.b, t.c}) {
                for (int axis = 0; axis < 3; ++axis) {
                    low[axis] = std::min(low[axis], v[axis]);
                    high[axis] = std::max(high[axis], v[axis]);
                }
            }
        }
        // Padded, so that flat leaves still have boxes of some thickness.
        const Vec pad(0.01f, 0.01f, 0.01f);
        setLocalBox(geometry::OrientedBox(geometry::BoundingBox<float>(low - pad, high + pad)));
    }

    // A box of half-size `half` around `centre` that nothing hits.
    static object::Pointer<Probe> box(const Vec& centre, const Vec& half) {
        auto probe =
            object::make<Probe>(std::vector<Triangle>{Triangle{centre - half, centre + half, centre + half}});
        probe->mTriangles.clear();
        return probe;
    }

    void render(GraphicsContext* context, const math::Matrix4<float>& view) override {
        ++mRenders;
        mContext = context;
        mView = view;
    }

    bool pick(const geometry::Ray& ray, geometry::PickResult* result) override {
        mPickStamp = ++sPickCounter;
        const float distance = nearest(ray);
        if (distance == kInfinity) {
            return false;
        }
        if (result != nullptr) {
            result->distance = distance;
            result->point = ray.pointAt(distance);
        }
        return true;
    }

    float nearest(const geometry::Ray& ray) const {
        float best = kInfinity;
        for (const Triangle& t : mTriangles) {
            best = std::min(best, hitDistance(ray, t));
        }
        return best;
    }

    int mRenders = 0;
    GraphicsContext* mContext = nullptr;
    math::Matrix4<float> mView;
    int mPickStamp = 0;
    static inline int sPickCounter = 0;

private:
    std::vector<Triangle> mTriangles;
};

// A universe of locales, each with one root, and the probes hung below them
// (kept referenced here too, so they outlive the universe).
class World {
public:
    int addLocale(const math::Vector3<double>& position = {}) {
        auto* locale = mUniverse->addLocale();
        locale->setPosition(position);
        mRoots.push_back(object::make<Root>());
        locale->addRoot(mRoots.back().get());
        mLocales.push_back(locale);
        return static_cast<int>(mLocales.size()) - 1;
    }

    // Hangs `node` below the locale's root, keeps a reference and lends it back.
    template <class T>
    T* add(const object::Pointer<T>& node, int locale = 0) {
        mNodes.emplace_back(node);
        mRoots[static_cast<std::size_t>(locale)]->addChild(node.get());
        return node.get();
    }
    Probe* addProbe(std::vector<Triangle> triangles, int locale = 0) {
        return add(object::make<Probe>(std::move(triangles)), locale);
    }

    Universe* universe() const { return mUniverse.get(); }
    Locale* locale(int index) const { return mLocales[static_cast<std::size_t>(index)]; }
    std::vector<Probe*> probes() const {
        std::vector<Probe*> probes;
        for (const auto& node : mNodes) {
            if (auto* probe = dynamic_cast<Probe*>(node.get())) {
                probes.push_back(probe);
            }
        }
        return probes;
    }

private:
    std::vector<object::Pointer<Node>> mNodes;
    object::Pointer<Universe> mUniverse = object::make<Universe>();
    std::vector<Locale*> mLocales;
    std::vector<object::Pointer<Root>> mRoots;
};

// Random scene material from a fixed seed.
class Dice {
public:
    explicit Dice(unsigned seed) : mRandom(seed) {}

    float uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(mRandom); }
    Vec point(float extent) {
        return Vec(uniform(-extent, extent), uniform(-extent, extent), uniform(-extent, extent));
    }

    // A leaf of 1 to 4 triangles whose size spans three orders of magnitude,
    // so that leaves land at many depths of the octree.
    object::Pointer<Probe> probe(float extent) {
        const Vec centre = point(extent);
        const float size = std::pow(10.0f, uniform(-1.0f, 2.0f));
        std::vector<Triangle> triangles(static_cast<std::size_t>(uniform(1.0f, 4.999f)));
        for (Triangle& t : triangles) {
            t = Triangle{centre + point(size), centre + point(size), centre + point(size)};
        }
        return object::make<Probe>(std::move(triangles));
    }

private:
    std::mt19937 mRandom;
};

// A rendering context (GlFixture) and a world of one locale holding a viewer.
class ViewerFixture : public graphics3d::GlFixture {
protected:
    void SetUp() override {
        GlFixture::SetUp();
        mWorld.addLocale();
        mViewer = mWorld.add(object::make<Viewer>());
    }

    // Gives the viewer `transform`, runs the dirty pass and clears the counts.
    void look(const math::Matrix4<float>& transform) {
        mViewer->setLocalTransform(transform);
        mViewer->markDirty();
        mWorld.universe()->update();
        for (Probe* probe : mWorld.probes()) {
            probe->mRenders = 0;
        }
    }

    World mWorld;
    Viewer* mViewer = nullptr;
};

}  // namespace nevrik::scene3d::test
