#pragma once

namespace nevrik::platform {

/// Bit counts of an OpenGL framebuffer: what a view asks for, and what the
/// chosen configuration actually has.
///
/// A plain value; any thread may use it.
struct PixelFormat {
    /// The whole colour buffer, alpha included.
    int colourBits = 32;
    int alphaBits = 0;
    int stencilBits = 0;
    /// The four accumulation channels together.
    int accumBits = 0;
    int depthBits = 0;
    int auxBuffers = 0;
};

}  // namespace nevrik::platform
