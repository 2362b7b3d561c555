#include "nevrik/scene3d/RenderTraverser.h"

#include "nevrik/scene3d/GraphicsContext.h"
#include "scene3d/SceneProbe.h"

#include <gtest/gtest.h>

namespace nevrik::scene3d {
namespace {

using test::Probe;
using test::Vec;
using Dvec = math::Vector3<double>;

// Whether `point` lies strictly inside all six planes of the frustum.
bool contains(const Frustum& frustum, const Vec& point) {
    const Vec v = point - frustum.getOrigin();
    const float depth = v.dot(frustum.getDirection());
    bool inside = depth > frustum.getNearDot() && depth < frustum.getFarDot();
    for (int k = 0; k < Frustum::kSidePlanes; ++k) {
        inside = inside && frustum.getSidePlane(k).dot(v) < 0.0f;
    }
    return inside;
}

// Whether the box's centre or one of its corners is inside: such a box
// certainly meets the frustum.
bool showsAPoint(const Frustum& frustum, const geometry::OrientedBox& box) {
    bool shows = contains(frustum, box.getCentre());
    for (int corner = 0; corner < 8; ++corner) {
        Vec point = box.getCentre();
        for (int axis = 0; axis < 3; ++axis) {
            point += box.getAxis(axis) * ((corner >> axis & 1) != 0 ? 1.0f : -1.0f);
        }
        shows = shows || contains(frustum, point);
    }
    return shows;
}

// How many cells below `cell` the frustum holds wholly (drawn without box tests).
int insideCells(const Probe::SpaceType::Node& cell, const Frustum& frustum) {
    int count = 0;
    for (int slot = 0; slot < 8; ++slot) {
        if (const auto* child = cell.getCell(slot)) {
            count += (frustum.classify(child->getCube()) == Frustum::kInside ? 1 : 0) +
                     insideCells(*child, frustum);
        }
    }
    return count;
}

// A random turn, then a move to `position`.
math::Matrix4<float> pose(test::Dice& dice, const Vec& position) {
    Vec x = dice.point(1.0f);
    x.normalise();
    Vec y = x.cross(std::fabs(x.x) < 0.7f ? Vec(1.0f, 0.0f, 0.0f) : Vec(0.0f, 1.0f, 0.0f));
    y.normalise();
    math::Matrix4<float> m;
    m.setColumn(0, x);
    m.setColumn(1, y);
    m.setColumn(2, x.cross(y));
    m.setColumn(3, position);
    return m;
}

class RenderTraverserTest : public test::ViewerFixture {
protected:
    GraphicsContext mGraphics{nullptr};
};

TEST_F(RenderTraverserTest, DrawsWhatMeetsTheFrustumOverRandomScenes) {
    int considered = 0, drawn = 0, shown = 0, wholeCells = 0;
    for (unsigned seed : {11u, 12u}) {
        test::Dice dice(seed);
        for (int i = 0; i < 300; ++i) {
            mWorld.add(dice.probe(200.0f));
        }
        for (int pass = 0; pass < 20; ++pass) {
            const float nearDistance = dice.uniform(1.0f, 60.0f);
            ASSERT_TRUE(mViewer->setNear(nearDistance));
            ASSERT_TRUE(mViewer->setFar(nearDistance + dice.uniform(20.0f, 500.0f)));
            look(pose(dice, dice.point(250.0f)));
            RenderTraverser(mWorld.universe(), &mGraphics).traverse(mViewer);
            const Frustum& frustum = mViewer->getFrustum();
            wholeCells += insideCells(mWorld.locale(0)->getGraphicsSpace().getRoot(), frustum);
            math::Matrix4<float> view = mViewer->getWorldTransform();
            ASSERT_TRUE(view.invertGaussJordan());
            for (const Probe* probe : mWorld.probes()) {
                const geometry::OrientedBox& box = probe->getWorldBox();
                SCOPED_TRACE(testing::Message() << "seed " << seed << " pass " << pass);
                ASSERT_LE(probe->mRenders, 1);
                // Nothing visible is lost, nothing the leaf test rejects is drawn.
                EXPECT_TRUE(probe->mRenders == 1 || !showsAPoint(frustum, box));
                EXPECT_TRUE(probe->mRenders == 0 || frustum.intersects(box));
                ++considered;
                drawn += probe->mRenders;
                shown += showsAPoint(frustum, box) ? 1 : 0;
                if (probe->mRenders == 1) {
                    EXPECT_EQ(probe->mContext, &mGraphics);
                    for (int i = 0; i < 16; ++i) {
                        ASSERT_EQ(probe->mView[i], view[i]);
                    }
                }
            }
        }
    }
    // Every path was taken: drawn and culled leaves, cells taken whole.
    EXPECT_GT(shown, 300);
    EXPECT_GT(considered - drawn, 1000);
    EXPECT_GT(wholeCells, 20);
}

TEST_F(RenderTraverserTest, LocalesAreSeenThroughTheirRotatedOffsets) {
    // The viewer's locale lies far out on x; the viewer stands at its origin
    // looking down -x. One locale lies 300 ahead, one 300 behind.
    mWorld.locale(0)->setPosition(Dvec(1.0e9, 0.0, 0.0));
    const int ahead = mWorld.addLocale(Dvec(1.0e9 - 300.0, 0.0, 0.0));
    const int astern = mWorld.addLocale(Dvec(1.0e9 + 300.0, 0.0, 0.0));
    Probe* seen = mWorld.add(Probe::box(Vec(0.0f, 2.0f, 0.0f), Vec(1.0f, 1.0f, 1.0f)), ahead);
    Probe* hidden = mWorld.add(Probe::box(Vec(), Vec(1.0f, 1.0f, 1.0f)), astern);
    const float turn[16] = {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1};
    look(math::Matrix4<float>(turn));

    RenderTraverser traverser(mWorld.universe(), &mGraphics);
    traverser.traverse(mViewer);
    EXPECT_EQ(seen->mRenders, 1);
    EXPECT_EQ(hidden->mRenders, 0);
    const Vec eye = seen->mView.transformPoint(Vec(0.0f, 2.0f, 0.0f));
    EXPECT_NEAR(eye.x, 0.0f, 1e-3f);
    EXPECT_NEAR(eye.y, 2.0f, 1e-3f);
    EXPECT_NEAR(eye.z, -300.0f, 1e-3f) << "300 ahead of the eye";
    EXPECT_EQ(traverser.getOffset().x, -1.0e9);
    EXPECT_EQ(traverser.getLocale(), nullptr) << "a pass over every locale leaves none set";

    // A preset locale is the only one visited, and stays set.
    traverser.setLocale(mWorld.locale(astern));
    traverser.traverse(mViewer);
    EXPECT_EQ(seen->mRenders, 1);
    EXPECT_EQ(traverser.getLocale(), mWorld.locale(astern));
    EXPECT_EQ(traverser.getLocaleOffset().x, 300.0);
    traverser.setLocale(mWorld.locale(ahead));
    traverser.traverse(mViewer);
    EXPECT_EQ(seen->mRenders, 2);
}

TEST_F(RenderTraverserTest, LoadsTheProjectionAndSkipsWhatCannotBeSeen) {
    Probe* probe = mWorld.add(Probe::box(Vec(0.0f, 0.0f, -500.0f), Vec(5.0f, 5.0f, 5.0f)));
    look(math::Matrix4<float>());
    RenderTraverser traverser(mWorld.universe(), &mGraphics);
    EXPECT_STREQ(traverser.className().c_str(), "Object:Traverser");
    traverser.traverse(nullptr);
    RenderTraverser(nullptr, &mGraphics).traverse(mViewer);
    EXPECT_EQ(probe->mRenders, 0);
    traverser.traverse(mViewer);
    EXPECT_EQ(probe->mRenders, 1);
    float loaded[16];
    glGetFloatv(GL_PROJECTION_MATRIX, loaded);
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(loaded[i], mViewer->getCamera().getMatrix()(i % 4, i / 4));
    }

    // A viewer whose transform has no inverse sees nothing.
    const float flat[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    look(math::Matrix4<float>(flat));
    traverser.traverse(mViewer);
    EXPECT_EQ(probe->mRenders, 0);
}

}  // namespace
}  // namespace nevrik::scene3d
