#include "nevrik/scene3d/RenderTraverser.h"

#include "nevrik/scene3d/Frustum.h"
#include "nevrik/scene3d/GraphicsContext.h"
#include "nevrik/scene3d/Viewer.h"
#include "scene3d/SceneProbe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace nevrik::scene3d {
namespace {

using test::Probe;
using test::Vec;
using Dvec = math::Vector3<double>;

Dvec wide(const Vec& v) {
    return Dvec(v.x, v.y, v.z);
}

// Whether the box (its half-axes scaled by `scale`) and the frustum share a
// point, by separating axes over both solids' face normals and every cross
// product of their edge directions: exact for convex solids, unlike the
// eight-axis test the culling uses.
bool overlaps(const Frustum& frustum, const geometry::OrientedBox& box, double scale) {
    std::vector<Dvec> frustumCorners;
    const double ratio = frustum.getRatio();
    for (int s0 : {-1, 1}) {
        for (int s1 : {-1, 1}) {
            const Dvec offset = wide(frustum.getAxis(0)) * s0 + wide(frustum.getAxis(1)) * s1;
            frustumCorners.push_back(wide(frustum.getNearWindow()) + offset);
            frustumCorners.push_back(wide(frustum.getFarWindow()) + offset * ratio);
        }
    }
    std::vector<Dvec> frustumEdges{wide(frustum.getAxis(0)), wide(frustum.getAxis(1))};
    for (std::size_t i = 0; i < 8; i += 2) {
        frustumEdges.push_back(frustumCorners[i + 1] - frustumCorners[i]);
    }
    std::vector<Dvec> boxCorners;
    for (int s0 : {-1, 1}) {
        for (int s1 : {-1, 1}) {
            for (int s2 : {-1, 1}) {
                boxCorners.push_back(wide(box.getCentre()) + wide(box.getAxis(0)) * (s0 * scale) +
                                     wide(box.getAxis(1)) * (s1 * scale) + wide(box.getAxis(2)) * (s2 * scale));
            }
        }
    }
    std::vector<Dvec> axes{wide(box.getAxis(0)), wide(box.getAxis(1)), wide(box.getAxis(2))};
    for (std::size_t i = 0; i < frustumEdges.size(); ++i) {
        for (std::size_t j = i + 1; j < frustumEdges.size(); ++j) {
            axes.push_back(frustumEdges[i].cross(frustumEdges[j]));
        }
        for (int k = 0; k < 3; ++k) {
            axes.push_back(frustumEdges[i].cross(wide(box.getAxis(k))));
        }
    }
    const auto span = [](const std::vector<Dvec>& corners, const Dvec& axis) {
        double low = corners[0].dot(axis);
        double high = low;
        for (const Dvec& corner : corners) {
            low = std::min(low, corner.dot(axis));
            high = std::max(high, corner.dot(axis));
        }
        return std::array<double, 2>{low, high};
    };
    for (const Dvec& axis : axes) {
        if (axis.squaredLength() < 1e-18) {
            continue;
        }
        const auto [frustumLow, frustumHigh] = span(frustumCorners, axis);
        const auto [boxLow, boxHigh] = span(boxCorners, axis);
        if (frustumHigh < boxLow || boxHigh < frustumLow) {
            return false;
        }
    }
    return true;
}

// Row-major rigid transform: a random turn, then a move to `position`.
math::Matrix4<float> pose(test::Dice& dice, const Vec& position) {
    Vec x = dice.point(1.0f);
    while (x.squaredLength() < 0.01f) {
        x = dice.point(1.0f);
    }
    x.normalise();
    const Vec helper = std::fabs(x.x) < 0.7f ? Vec(1.0f, 0.0f, 0.0f) : Vec(0.0f, 1.0f, 0.0f);
    Vec y = x.cross(helper);
    y.normalise();
    const Vec z = x.cross(y);
    math::Matrix4<float> m;
    m.setColumn(0, x);
    m.setColumn(1, y);
    m.setColumn(2, z);
    m.setColumn(3, position);
    return m;
}

// How many cells below `cell` the frustum holds wholly: the cells whose
// leaves are drawn without box tests.
int insideCells(const geometry::Space<float, 3, Graphics>::Node& cell, const Frustum& frustum) {
    int count = 0;
    for (int slot = 0; slot < 8; ++slot) {
        if (const auto* child = cell.getCell(slot)) {
            count += (frustum.classify(child->getCube()) == Frustum::kInside ? 1 : 0) + insideCells(*child, frustum);
        }
    }
    return count;
}

class RenderTraverserTest : public test::ViewerFixture {
protected:
    // Clears every probe's count, then runs one pass.
    void render(RenderTraverser& traverser) {
        for (const auto& probe : mWorld.probes()) {
            probe->mRenders = 0;
        }
        traverser.traverse(mViewer.get());
    }

    GraphicsContext mGraphics{nullptr};
};

TEST_F(RenderTraverserTest, DrawsWhatMeetsTheFrustumOverRandomScenes) {
    int drawn = 0;
    int culled = 0;
    int wholeCells = 0;
    for (unsigned seed : {11u, 12u, 13u}) {
        test::Dice dice(seed);
        for (int i = 0; i < 300; ++i) {
            mWorld.add(new Probe(dice.cluster(200.0f)));
        }
        mWorld.update();
        for (int pass = 0; pass < 20; ++pass) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " pass " << pass);
            const float nearDistance = dice.uniform(1.0f, 60.0f);
            ASSERT_TRUE(mViewer->setNear(nearDistance));
            ASSERT_TRUE(mViewer->setFar(nearDistance + dice.uniform(20.0f, 500.0f)));
            look(pose(dice, dice.point(250.0f)));
            RenderTraverser traverser(mWorld.universe(), &mGraphics);
            render(traverser);
            const Frustum& frustum = mViewer->getFrustum();
            wholeCells += insideCells(mWorld.locale(0)->getGraphicsSpace().getRoot(), frustum);
            math::Matrix4<float> view = mViewer->getWorldTransform();
            ASSERT_TRUE(view.invertGaussJordan());
            for (const auto& probe : mWorld.probes()) {
                const geometry::OrientedBox& box = probe->getWorldBox();
                ASSERT_LE(probe->mRenders, 1);
                if (probe->mRenders == 1) {
                    ++drawn;
                    // Drawn leaves pass the leaf test; whole cells add none beyond it.
                    EXPECT_TRUE(frustum.intersects(box));
                    EXPECT_EQ(probe->mContext, &mGraphics);
                    for (int i = 0; i < 16; ++i) {
                        ASSERT_EQ(probe->mView[i], view[i]);
                    }
                } else {
                    ++culled;
                    // Nothing that really meets the frustum is lost (a hair of
                    // shrinking keeps rounding at the faces out of it).
                    EXPECT_FALSE(overlaps(frustum, box, 0.999)) << "probe box centre " << box.getCentre().x;
                }
            }
        }
    }
    EXPECT_GT(drawn, 500);
    EXPECT_GT(culled, 5000);
    EXPECT_GT(wholeCells, 20) << "the cells taken whole were exercised";
}

TEST_F(RenderTraverserTest, NearAndFarPlanesCutBoxes) {
    // The viewer at the origin looks down -z; near 100, far 1000.
    Probe* straddling = mWorld.add(Probe::box(Vec(0.0f, 0.0f, -100.0f), Vec(5.0f, 5.0f, 5.0f)));
    Probe* tooNear = mWorld.add(Probe::box(Vec(0.0f, 0.0f, -50.0f), Vec(5.0f, 5.0f, 5.0f)));
    Probe* behind = mWorld.add(Probe::box(Vec(0.0f, 0.0f, 300.0f), Vec(5.0f, 5.0f, 5.0f)));
    Probe* inside = mWorld.add(Probe::box(Vec(0.0f, 0.0f, -500.0f), Vec(5.0f, 5.0f, 5.0f)));
    Probe* crossingFar = mWorld.add(Probe::box(Vec(0.0f, 0.0f, -1000.0f), Vec(5.0f, 5.0f, 5.0f)));
    Probe* beyond = mWorld.add(Probe::box(Vec(0.0f, 0.0f, -1100.0f), Vec(5.0f, 5.0f, 5.0f)));
    look(math::Matrix4<float>());
    RenderTraverser traverser(mWorld.universe(), &mGraphics);
    render(traverser);
    EXPECT_EQ(straddling->mRenders, 1);
    EXPECT_EQ(tooNear->mRenders, 0);
    EXPECT_EQ(behind->mRenders, 0);
    EXPECT_EQ(inside->mRenders, 1);
    EXPECT_EQ(crossingFar->mRenders, 1);
    EXPECT_EQ(beyond->mRenders, 0);

    // The pass loaded the camera's projection.
    float loaded[16];
    glGetFloatv(GL_PROJECTION_MATRIX, loaded);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_FLOAT_EQ(loaded[4 * column + row], mViewer->getCamera().getMatrix()(row, column));
        }
    }
}

TEST_F(RenderTraverserTest, LocalesAreSeenThroughTheirRotatedOffsets) {
    // The viewer's locale sits far out on x; it stands at its origin turned
    // a quarter turn about y, so it looks down -x.
    mWorld.locale(0)->setPosition(Dvec(1.0e9, 0.0, 0.0));
    const float turn[16] = {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1};
    const int ahead = mWorld.addLocale(Dvec(1.0e9 - 300.0, 0.0, 0.0));
    const int astern = mWorld.addLocale(Dvec(1.0e9 + 300.0, 0.0, 0.0));
    Probe* seen = mWorld.add(Probe::box(Vec(0.0f, 2.0f, 0.0f), Vec(1.0f, 1.0f, 1.0f)), ahead);
    Probe* hidden = mWorld.add(Probe::box(Vec(), Vec(1.0f, 1.0f, 1.0f)), astern);
    look(math::Matrix4<float>(turn));

    RenderTraverser traverser(mWorld.universe(), &mGraphics);
    render(traverser);
    EXPECT_EQ(seen->mRenders, 1);
    EXPECT_EQ(hidden->mRenders, 0);
    // The seen box's centre lies 300 ahead of the eye, 2 up.
    const Vec eye = seen->mView.transformPoint(Vec(0.0f, 2.0f, 0.0f));
    EXPECT_NEAR(eye.x, 0.0f, 1e-3f);
    EXPECT_NEAR(eye.y, 2.0f, 1e-3f);
    EXPECT_NEAR(eye.z, -300.0f, 1e-3f);
    EXPECT_EQ(traverser.getOffset().x, -1.0e9);
    EXPECT_EQ(traverser.getLocale(), nullptr) << "a pass over every locale leaves none set";

    // A preset locale is the only one visited and stays set.
    traverser.setLocale(mWorld.locale(astern));
    render(traverser);
    EXPECT_EQ(seen->mRenders, 0);
    EXPECT_EQ(traverser.getLocale(), mWorld.locale(astern));
    EXPECT_EQ(traverser.getLocaleOffset().x, 300.0);
    traverser.setLocale(mWorld.locale(ahead));
    render(traverser);
    EXPECT_EQ(seen->mRenders, 1);
}

TEST_F(RenderTraverserTest, NothingToDrawIsNoFault) {
    Probe* probe = mWorld.add(Probe::box(Vec(0.0f, 0.0f, -500.0f), Vec(5.0f, 5.0f, 5.0f)));
    look(math::Matrix4<float>());
    RenderTraverser traverser(mWorld.universe(), &mGraphics);
    EXPECT_STREQ(traverser.className().c_str(), "Object:Traverser");
    traverser.traverse(nullptr);
    EXPECT_EQ(probe->mRenders, 0);

    // A viewer whose transform has no inverse sees nothing.
    float flat[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    look(math::Matrix4<float>(flat));
    render(traverser);
    EXPECT_EQ(probe->mRenders, 0);

    // No universe, and an empty one.
    look(math::Matrix4<float>());
    RenderTraverser nowhere(nullptr, &mGraphics);
    nowhere.traverse(mViewer.get());
    auto empty = object::Pointer<Universe>::adopt(new Universe());
    RenderTraverser hollow(empty.get(), &mGraphics);
    hollow.traverse(mViewer.get());
    EXPECT_EQ(probe->mRenders, 0);
}

}  // namespace
}  // namespace nevrik::scene3d
