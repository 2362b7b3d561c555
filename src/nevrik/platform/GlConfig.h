#pragma once

#include "nevrik/platform/PixelFormat.h"

namespace nevrik::platform {

class NativeWindow;

/// A framebuffer configuration of the window system's OpenGL: chosen from the
/// bits a view asks for, with the bits it actually has read back.
///
/// Valid while the connection of the window it was chosen for stays open
/// (while that thread has windows). Used only on that window's thread.
class GlConfig {
public:
    /// Chooses a double-buffered RGBA window configuration with at least the
    /// requested bits, on the connection of `window`. Returns false, changing
    /// nothing, when there is none.
    bool choose(const NativeWindow& window, const PixelFormat& requested);
    /// The same on the X connection `connection` (a Display*).
    bool choose(void* connection, const PixelFormat& requested);

    bool isChosen() const noexcept { return mConfig != nullptr; }
    /// The chosen configuration's bits.
    const PixelFormat& getActual() const noexcept { return mActual; }
    /// Bits per primary colour, for building a palette.
    int getRedBits() const noexcept { return mRedBits; }
    int getGreenBits() const noexcept { return mGreenBits; }
    int getBlueBits() const noexcept { return mBlueBits; }
    /// The visual's colours come from a writable colour map (PseudoColor),
    /// so that a palette has to be loaded for the picture to look right.
    bool needsPalette() const noexcept { return mNeedsPalette; }
    /// The configuration renders colour indices rather than RGBA.
    bool isColourIndex() const noexcept { return mColourIndex; }

    /// The window system's handle of the configuration.
    void* getHandle() const noexcept { return mConfig; }

private:
    void* mConfig = nullptr;
    PixelFormat mActual;
    int mRedBits = 0;
    int mGreenBits = 0;
    int mBlueBits = 0;
    bool mNeedsPalette = false;
    bool mColourIndex = false;
};

}  // namespace nevrik::platform
