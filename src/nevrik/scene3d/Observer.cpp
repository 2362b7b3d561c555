#include "nevrik/scene3d/Observer.h"

#include "nevrik/scene3d/RenderTraverser.h"

namespace nevrik::scene3d {

Observer::Observer(Universe* universe, graphics3d::Context* rendering, audio3d::Context* audio) noexcept
    : mUniverse(universe), mGraphicsContext(rendering), mAudioContext(audio) {}

void Observer::render() {
    if (!mViewer || !mGraphicsContext.makeCurrent()) {
        return;
    }
    RenderTraverser traverser(mUniverse.get(), &mGraphicsContext);
    traverser.traverse(mViewer.get());
}

}  // namespace nevrik::scene3d
