#pragma once

#include "nevrik/container/Array.h"
#include "nevrik/graphics3d/Resource.h"

#include <cstdint>

namespace nevrik::graphics3d {

/// A framebuffer to render into: the window's own (name 0), which every
/// Context holds, or a framebuffer object with attached surfaces.
///
/// Reference-counted; the context's own lives inside it. Used on the thread
/// of the current context.
class FrameBuffer : public Resource {
public:
    /// One attached surface and the attachment point (a GL enum) it is on.
    struct Binding {
        void* surface = nullptr;
        std::uint32_t attachment = 0;
    };

    /// `name` is the GL framebuffer object's, 0 for the window's own.
    explicit FrameBuffer(std::uint32_t name = 0) noexcept : mName(name) {}

    void setSize(std::int32_t width, std::int32_t height) noexcept;

    const container::Array<Binding>& getBindings() const noexcept { return mBindings; }
    std::int32_t getWidth() const noexcept { return mWidth; }
    std::int32_t getHeight() const noexcept { return mHeight; }
    /// x, y, width and height of the viewport kept while another framebuffer
    /// is bound; zero until then.
    std::int32_t* getViewport() noexcept { return mViewport; }
    std::uint32_t getFramebufferName() const noexcept { return mName; }

private:
    container::Array<Binding> mBindings;
    std::int32_t mWidth = 0;
    std::int32_t mHeight = 0;
    std::int32_t mViewport[4] = {0, 0, 0, 0};
    std::uint32_t mName;
};

}  // namespace nevrik::graphics3d
