#pragma once

#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/scene3d/AudioContext.h"
#include "nevrik/scene3d/BehaviourScheduler.h"
#include "nevrik/scene3d/GraphicsContext.h"
#include "nevrik/scene3d/Universe.h"
#include "nevrik/scene3d/Viewer.h"
#include "nevrik/types/String.h"

namespace nevrik::scene3d {

/// One view onto a universe: the viewer it looks through, the graphics
/// context it draws with, an audio context and a behaviour scheduler.
/// render() draws one frame of what the viewer sees.
///
/// Reference-counted; holds a reference on its universe and its viewer (and,
/// through its contexts, on the rendering and audio contexts). Used on the
/// thread that owns the rendering context, after the universe's dirty pass.
class Observer : public object::Object, private object::Noncopyable {
public:
    /// Any argument may be null; without a universe or a rendering context
    /// nothing is ever drawn.
    Observer(Universe* universe, graphics3d::Context* rendering, audio3d::Context* audio) noexcept;

    NEVRIK_CLASS_NAME(object::Object, ":Observer")

    /// Makes the rendering context current with the window's framebuffer as
    /// the target and runs a render traversal from the viewer. Nothing
    /// happens without a viewer or when the context cannot be made current.
    void render();

    Universe* getUniverse() const noexcept { return mUniverse.get(); }
    Viewer* getViewer() const noexcept { return mViewer.get(); }
    /// Takes a reference on `viewer` (may be null) and drops the one on the
    /// previous viewer.
    void setViewer(Viewer* viewer) noexcept { mViewer.reset(viewer); }
    GraphicsContext& getGraphicsContext() noexcept { return mGraphicsContext; }
    AudioContext& getAudioContext() noexcept { return mAudioContext; }
    BehaviourScheduler& getBehaviourScheduler() noexcept { return mBehaviourScheduler; }

private:
    object::Pointer<Universe> mUniverse;
    object::Pointer<Viewer> mViewer;
    GraphicsContext mGraphicsContext;
    AudioContext mAudioContext;
    BehaviourScheduler mBehaviourScheduler;
};

}  // namespace nevrik::scene3d
