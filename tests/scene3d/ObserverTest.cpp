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
        // Looking down -z from the origin: this one is in view, the other behind.
        mSeen = mWorld.add(Probe::box(Vec(0.0f, 0.0f, -500.0f), Vec(5.0f, 5.0f, 5.0f)));
        mHidden = mWorld.add(Probe::box(Vec(0.0f, 0.0f, 500.0f), Vec(5.0f, 5.0f, 5.0f)));
        mWorld.update();
    }

    Probe* mSeen = nullptr;
    Probe* mHidden = nullptr;
};

TEST_F(ObserverTest, RendersWhatItsViewerSeesThroughItsGraphicsContext) {
    auto observer = object::Pointer<Observer>::adopt(new Observer(mWorld.universe(), mContext, nullptr));
    observer->render();
    EXPECT_EQ(mSeen->mRenders, 0) << "no viewer, no frame";

    observer->setViewer(mViewer.get());
    observer->render();
    EXPECT_EQ(mSeen->mRenders, 1);
    EXPECT_EQ(mHidden->mRenders, 0);
    EXPECT_EQ(mSeen->mContext, &observer->getGraphicsContext());
    EXPECT_EQ(observer->getGraphicsContext().getRenderingContext(), mContext);
    EXPECT_EQ(graphics3d::Context::peek(), mContext);
    EXPECT_EQ(mContext->getCurrentFrameBuffer(), &mContext->getDefaultFrameBuffer());
}

TEST_F(ObserverTest, WithoutRenderingContextNothingIsDrawn) {
    auto observer = object::Pointer<Observer>::adopt(new Observer(mWorld.universe(), nullptr, nullptr));
    observer->setViewer(mViewer.get());
    observer->render();
    EXPECT_EQ(mSeen->mRenders, 0);
    EXPECT_FALSE(observer->getGraphicsContext().makeCurrent());
}

TEST_F(ObserverTest, HoldsOneReferenceOnEachPartUntilItDies) {
    auto audio = object::Pointer<audio3d::Context>::adopt(new audio3d::Context());
    auto other = object::Pointer<Viewer>::adopt(new Viewer());
    const std::int32_t universeCount = mWorld.universe()->getReferenceCount();
    const std::int32_t viewerCount = mViewer->getReferenceCount();
    const std::int32_t contextCount = mContext->getReferenceCount();
    {
        Observer observer(mWorld.universe(), mContext, audio.get());
        EXPECT_EQ(mWorld.universe()->getReferenceCount(), universeCount + 1);
        EXPECT_EQ(mContext->getReferenceCount(), contextCount + 1);
        EXPECT_EQ(audio->getReferenceCount(), 2);
        EXPECT_EQ(observer.getAudioContext().getContext(), audio.get());

        observer.setViewer(mViewer.get());
        observer.setViewer(mViewer.get());
        EXPECT_EQ(mViewer->getReferenceCount(), viewerCount + 1) << "setting the same viewer again";
        observer.setViewer(other.get());
        EXPECT_EQ(mViewer->getReferenceCount(), viewerCount);
        EXPECT_EQ(other->getReferenceCount(), 2);
        EXPECT_EQ(observer.getViewer(), other.get());
        EXPECT_EQ(observer.getBehaviourScheduler().getScheduler().getCount(), 0);
        EXPECT_STREQ(observer.className().c_str(), "Object:Observer");
        EXPECT_STREQ(observer.getGraphicsContext().className().c_str(), "Object:GraphicsContext");
        EXPECT_STREQ(observer.getAudioContext().className().c_str(), "Object:AudioContext");
    }
    EXPECT_EQ(mWorld.universe()->getReferenceCount(), universeCount);
    EXPECT_EQ(other->getReferenceCount(), 1);
    EXPECT_EQ(audio->getReferenceCount(), 1);
    EXPECT_EQ(mContext->getReferenceCount(), contextCount);
}

TEST_F(ObserverTest, KeepsItsUniverseAliveAfterTheOwnerLetsGo) {
    auto universe = object::Pointer<Universe>::adopt(new Universe());
    auto observer = object::Pointer<Observer>::adopt(new Observer(universe.get(), mContext, nullptr));
    Universe* raw = universe.get();
    universe.reset();
    ASSERT_EQ(raw->getReferenceCount(), 1);
    EXPECT_EQ(observer->getUniverse(), raw);
    observer->setViewer(mViewer.get());
    observer->render();  // an empty universe draws nothing, and the sanitizers watch the access
    EXPECT_EQ(mSeen->mRenders, 0);
}

}  // namespace
}  // namespace nevrik::scene3d
