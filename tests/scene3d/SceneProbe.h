#pragma once

#include "graphics3d/GlFixture.h"
#include "nevrik/geometry/BoundingBox.h"
#include "nevrik/geometry/OrientedBox.h"
#include "nevrik/geometry/PickResult.h"
#include "nevrik/geometry/Ray.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/scene3d/Graphics.h"
#include "nevrik/scene3d/Locale.h"
#include "nevrik/scene3d/Root.h"
#include "nevrik/scene3d/Universe.h"
#include "nevrik/scene3d/Viewer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <random>
#include <vector>

namespace nevrik::scene3d::test {

using Vec = math::Vector3<float>;

struct Triangle {
    Vec a, b, c;
};

// The ray parameter where `ray` (t >= 0) meets `triangle`, or +infinity.
// Computed in doubles so that the answer does not hinge on the order of
// float operations.
inline float hitDistance(const geometry::Ray& ray, const Triangle& triangle) {
    const auto d = [](const Vec& v) { return math::Vector3<double>(v.x, v.y, v.z); };
    const math::Vector3<double> e1 = d(triangle.b) - d(triangle.a);
    const math::Vector3<double> e2 = d(triangle.c) - d(triangle.a);
    const math::Vector3<double> p = d(ray.direction).cross(e2);
    const double det = e1.dot(p);
    if (std::fabs(det) < 1e-12) {
        return std::numeric_limits<float>::infinity();
    }
    const math::Vector3<double> s = d(ray.origin) - d(triangle.a);
    const double u = s.dot(p) / det;
    const math::Vector3<double> q = s.cross(e1);
    const double v = d(ray.direction).dot(q) / det;
    const double t = e2.dot(q) / det;
    if (u < 0.0 || v < 0.0 || u + v > 1.0 || t < 0.0) {
        return std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(t);
}

// A graphics leaf made of triangles given in locale coordinates, its box
// the axis-aligned box around them. It counts the renders it gets, keeps
// the last view and context, and picks its triangles in order, keeping the
// strictly nearest. Its box is padded by kPad. Every pick call is stamped from a shared counter, so a
// test can tell which leaf was asked first.
class Probe : public Graphics {
public:
    static constexpr float kPad = 0.01f;

    explicit Probe(std::vector<Triangle> triangles) : Graphics(KIND_GRAPHICS), mTriangles(std::move(triangles)) {
        geometry::BoundingBox<float> bounds(mTriangles.front().a, mTriangles.front().a);
        for (const Triangle& t : mTriangles) {
            for (const Vec& v : {t.a, t.b, t.c}) {
                for (int axis = 0; axis < 3; ++axis) {
                    bounds.min[axis] = std::min(bounds.min[axis], v[axis]);
                    bounds.max[axis] = std::max(bounds.max[axis], v[axis]);
                }
            }
        }
        // Padded, so that flat clusters still have boxes of some thickness.
        const Vec pad(kPad, kPad, kPad);
        setLocalBox(geometry::OrientedBox(geometry::BoundingBox<float>(bounds.min - pad, bounds.max + pad)));
    }

    // A box of half-size `half` around `centre` with no triangles: rendered
    // by box, never hit.
    static Probe* box(const Vec& centre, const Vec& half) {
        auto* probe = new Probe({Triangle{centre - half, centre + half, centre + half}});
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
        float best = std::numeric_limits<float>::infinity();
        for (const Triangle& triangle : mTriangles) {
            best = std::min(best, hitDistance(ray, triangle));
        }
        if (!(best < std::numeric_limits<float>::infinity())) {
            return false;
        }
        if (result != nullptr) {
            result->distance = best;
            result->point = ray.pointAt(best);
        }
        return true;
    }

    // The nearest hit of `ray` over the triangles, +infinity for none.
    float nearest(const geometry::Ray& ray) const {
        float best = std::numeric_limits<float>::infinity();
        for (const Triangle& triangle : mTriangles) {
            best = std::min(best, hitDistance(ray, triangle));
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

// A universe with locales and their roots, and the probes hung below them.
// The probes stay referenced by the test too, so they outlive the universe.
class World {
public:
    World() : mUniverse(object::Pointer<Universe>::adopt(new Universe())) {}

    // A new locale at `position` with one root; returns its index.
    int addLocale(const math::Vector3<double>& position = {}) {
        auto* locale = new Locale(mUniverse.get());
        locale->setPosition(position);
        auto root = object::Pointer<Root>::adopt(new Root());
        locale->addRoot(root.get());
        mRoots.push_back(root);
        mLocales.push_back(locale);
        return static_cast<int>(mLocales.size()) - 1;
    }

    // Hangs `probe` (taking over the caller's reference) below the root of
    // locale `index`.
    Probe* add(Probe* probe, int index = 0) {
        mProbes.push_back(object::Pointer<Probe>::adopt(probe));
        mRoots[static_cast<std::size_t>(index)]->addChild(probe);
        return probe;
    }

    void update() { mUniverse->update(); }

    Universe* universe() const { return mUniverse.get(); }
    Locale* locale(int index) const { return mLocales[static_cast<std::size_t>(index)]; }
    Root* root(int index) const { return mRoots[static_cast<std::size_t>(index)].get(); }
    const std::vector<object::Pointer<Probe>>& probes() const { return mProbes; }

private:
    std::vector<object::Pointer<Probe>> mProbes;
    object::Pointer<Universe> mUniverse;
    std::vector<Locale*> mLocales;
    std::vector<object::Pointer<Root>> mRoots;
};

// Random scene material from a fixed seed.
class Dice {
public:
    explicit Dice(unsigned seed) : mRandom(seed) {}

    float uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(mRandom); }
    Vec point(float extent) { return Vec(uniform(-extent, extent), uniform(-extent, extent), uniform(-extent, extent)); }

    // A cluster of 1 to 4 triangles around a random centre; sizes spread
    // over three orders of magnitude so that leaves land at many depths.
    std::vector<Triangle> cluster(float extent) {
        const Vec centre = point(extent);
        const float size = std::pow(10.0f, uniform(-1.0f, 2.0f));
        std::vector<Triangle> triangles(static_cast<std::size_t>(uniform(1.0f, 4.999f)));
        for (Triangle& t : triangles) {
            t = Triangle{centre + point(size), centre + point(size), centre + point(size)};
        }
        return triangles;
    }

private:
    std::mt19937 mRandom;
};

// A rendering context (from GlFixture) and a world of one locale whose root
// holds a viewer.
class ViewerFixture : public graphics3d::GlFixture {
protected:
    void SetUp() override {
        GlFixture::SetUp();
        mWorld.addLocale();
        mViewer = object::Pointer<Viewer>::adopt(new Viewer());
        mWorld.root(0)->addChild(mViewer.get());
    }

    // Gives the viewer `transform` and runs the dirty pass.
    void look(const math::Matrix4<float>& transform) {
        mViewer->setLocalTransform(transform);
        mViewer->markDirty();
        mWorld.update();
    }

    World mWorld;
    object::Pointer<Viewer> mViewer;
};

}  // namespace nevrik::scene3d::test
