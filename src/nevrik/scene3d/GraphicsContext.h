#pragma once

#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

namespace nevrik::scene3d {

/// The rendering side of an observer: the graphics3d::Context its frames are
/// drawn with. Leaves receive it in Graphics::render.
///
/// Held by value by its Observer; keeps a reference on the rendering context,
/// so a context disposed by its view stays a valid object (it then refuses
/// to become current). Used on the thread that owns the rendering context.
class GraphicsContext : public object::Object, private object::Noncopyable {
public:
    /// `rendering` may be null: such a context never draws.
    explicit GraphicsContext(graphics3d::Context* rendering) noexcept : mRendering(rendering) {}

    NEVRIK_CLASS_NAME(object::Object, ":GraphicsContext")

    /// Makes the rendering context current on the calling thread and selects
    /// the window's own framebuffer as the render target. False, selecting
    /// nothing, without a rendering context or when the window system refuses
    /// to make it current.
    bool makeCurrent();

    graphics3d::Context* getRenderingContext() const noexcept { return mRendering.get(); }

private:
    object::Pointer<graphics3d::Context> mRendering;
};

}  // namespace nevrik::scene3d
