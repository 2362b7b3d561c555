#include "nevrik/scene3d/Observer.h"

#include "scene3d/SceneProbe.h"

#include <gtest/gtest.h>

namespace nevrik::scene3d {
namespace {

using test::Probe;
using test::Vec;

class ObserverTest : public test::ViewerFixture {
protected:
    void SetUp() override {
        ViewerFixture::SetUp();
        // The viewer looks down -z from the origin: one box ahead, one behind.
        mSeen = mWorld.add(Probe::box(Vec(0.0f, 0.0f, -500.0f), Vec(5.0f, 5.0f, 5.0f)));
        mHidden = mWorld.add(Probe::box(Vec(0.0f, 0.0f, 500.0f), Vec(5.0f, 5.0f, 5.0f)));
        look(math::Matrix4<float>());
    }

    Probe* mSeen = nullptr;
    Probe* mHidden = nullptr;
};

TEST_F(ObserverTest, RendersWhatItsViewerSeesThroughItsGraphicsContext) {
    auto observer = object::make<Observer>(mWorld.universe(), mContext, nullptr);
    observer->render();
    EXPECT_EQ(mSeen->mRenders, 0) << "no viewer, no frame";
    observer->setViewer(mViewer);
    observer->render();
    EXPECT_EQ(mSeen->mRenders, 1);
    EXPECT_EQ(mHidden->mRenders, 0);
    EXPECT_EQ(mSeen->mContext, &observer->getGraphicsContext());
    EXPECT_EQ(graphics3d::Context::peek(), mContext);
    EXPECT_EQ(mContext->getCurrentFrameBuffer(), &mContext->getDefaultFrameBuffer());

    // Without a rendering context nothing is drawn.
    Observer blind(mWorld.universe(), nullptr, nullptr);
    blind.setViewer(mViewer);
    blind.render();
    EXPECT_EQ(mSeen->mRenders, 1);
    EXPECT_FALSE(blind.getGraphicsContext().makeCurrent());
}

TEST_F(ObserverTest, HoldsOneReferenceOnEachPartUntilItDies) {
    auto audio = object::make<audio3d::Context>();
    auto other = object::make<Viewer>();
    auto universe = object::make<Universe>();
    const std::int32_t viewerCount = mViewer->getReferenceCount();
    const std::int32_t contextCount = mContext->getReferenceCount();
    auto observer = object::make<Observer>(universe.get(), mContext, audio.get());
    EXPECT_EQ(universe->getReferenceCount(), 2);
    EXPECT_EQ(mContext->getReferenceCount(), contextCount + 1);
    EXPECT_EQ(audio->getReferenceCount(), 2);
    observer->setViewer(mViewer);
    observer->setViewer(mViewer);
    EXPECT_EQ(mViewer->getReferenceCount(), viewerCount + 1) << "the same viewer set twice";
    observer->setViewer(other.get());
    EXPECT_EQ(mViewer->getReferenceCount(), viewerCount);
    EXPECT_EQ(other->getReferenceCount(), 2);
    EXPECT_STREQ(observer->className().c_str(), "Object:Observer");
    EXPECT_STREQ(observer->getGraphicsContext().className().c_str(), "Object:GraphicsContext");
    EXPECT_STREQ(observer->getAudioContext().className().c_str(), "Object:AudioContext");

    // The observer keeps the universe alive after its owner lets go.
    Universe* raw = universe.get();
    universe.reset();
    EXPECT_EQ(raw->getReferenceCount(), 1);
    observer->render();
    observer.reset();
    EXPECT_EQ(other->getReferenceCount(), 1);
    EXPECT_EQ(audio->getReferenceCount(), 1);
    EXPECT_EQ(mContext->getReferenceCount(), contextCount);
}

}  // namespace
}  // namespace nevrik::scene3d
