#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/graphics/Image.h"
#include "nevrik/graphics3d/core/Resource.h"
#include "nevrik/graphics3d/core/Texture.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Pointer.h"

#include <cstdint>

namespace nevrik::graphics3d {

class Context;

/// A framebuffer to render into: the window's own (name 0), which every
/// Context holds, or a framebuffer object with textures attached.
///
/// Reference-counted, holding a reference on every attached texture; the
/// context's own lives inside it. Framebuffer objects need the driver's
/// framebuffer-object entry points. Used on the thread of the current
/// context.
class FrameBuffer : public Resource, private object::Noncopyable {
public:
    /// One attached surface and the attachment point (a GL enum) it is on.
    struct Binding {
        object::Pointer<Texture> surface;
        std::uint32_t attachment = 0;
    };

    /// `name` is the GL framebuffer object's, 0 for the window's own; a
    /// non-zero name becomes this object's to delete.
    explicit FrameBuffer(std::uint32_t name = 0) noexcept : mName(name) {}
    /// A new framebuffer object (reference count 1, the caller's) of
    /// `width` x `height` pixels with nothing attached; null without
    /// framebuffer-object support or for a side below 1.
    static object::Pointer<FrameBuffer> create(std::int32_t width, std::int32_t height);
    /// A current framebuffer object first hands the drawing back to the
    /// window's framebuffer; then every attachment is detached and the GL
    /// object deleted.
    ~FrameBuffer() override;

    NEVRIK_CLASS_NAME(Resource, ":FrameBuffer")

    /// The window's framebuffer always; a framebuffer object when the driver
    /// reports it complete. The framebuffer bound before stays bound.
    bool check() const override;

    /// Attaches level 0 of `texture` (of any kind; a cube map by its
    /// positive-x face) at `attachment`, replacing what was attached there.
    /// False, changing nothing, for the window's framebuffer, a null texture
    /// or without framebuffer-object support. The framebuffer bound before
    /// stays bound.
    bool attach(Texture* texture, std::uint32_t attachment);
    /// Makes this framebuffer object the current context's render target:
    /// the viewport of the one it replaces is kept in that one, the context's
    /// size becomes this one's and its own viewport (all of it at first) is
    /// set. False, changing nothing, for the window's framebuffer (see
    /// bindDefault), without support or without a current context.
    bool bind();
    /// Hands the current context's drawing back to the window's framebuffer,
    /// keeping the viewport of the framebuffer object that was current in it
    /// and setting the window's viewport again (all of it when none was kept).
    static void bindDefault();
    /// The colour of the width x height pixels from (x, y) up and right of
    /// the current render target's lower-left corner (the back buffer of a
    /// double-buffered window), as an RGBA image whose first row is the top
    /// one. Null without a current context, for a side below 1 or when the
    /// image cannot be had.
    static object::Pointer<graphics::Image> readPixels(std::int32_t x, std::int32_t y, std::int32_t width,
                                                       std::int32_t height);

    void setSize(std::int32_t width, std::int32_t height) noexcept;

    const container::Array<Binding>& getBindings() const noexcept { return mBindings; }
    std::int32_t getWidth() const noexcept { return mWidth; }
    std::int32_t getHeight() const noexcept { return mHeight; }
    /// x, y, width and height of the viewport kept while another framebuffer
    /// is bound; zero until then.
    const std::int32_t* getViewport() const noexcept { return mViewport; }
    std::uint32_t getFramebufferName() const noexcept { return mName; }

private:
    // Attaches `textureName` (0 detaches) as the kind of `binding`'s surface.
    void attachSurface(const Binding& binding, std::uint32_t textureName) const;
    // Keeps the viewport in force and hands the context's drawing to `next`.
    static void switchTo(Context& context, FrameBuffer& next);

    container::Array<Binding> mBindings;
    std::int32_t mWidth = 0;
    std::int32_t mHeight = 0;
    std::int32_t mViewport[4] = {0, 0, 0, 0};
    std::uint32_t mName;
};

}  // namespace nevrik::graphics3d
