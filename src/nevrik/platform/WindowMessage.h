#pragma once

#include <cstdint>

namespace nevrik::platform {

/// One event of a native window, as its window procedure receives it, in the
/// engine's own encodings.
///
/// A plain value made by the window's thread for one call of the procedure.
struct WindowMessage {
    enum class Type {
        Create,      ///< the window exists; sent once, from NativeWindow::create
        Move,        ///< x, y: new client origin (top level: on the screen; child: in the parent)
        Size,        ///< width, height: new client size
        Activate,    ///< active: the top-level window gained or lost the input focus
        Paint,       ///< x, y, width, height: the area to redraw
        Close,       ///< the close box (the window manager's delete request)
        KeyDown,     ///< key: virtual-key code; repeat: an auto-repeat of a held key
        KeyUp,       ///< key: virtual-key code
        Char,        ///< key: character code; modifiers: the keys held (kLeftShift ...)
        MouseMove,   ///< x, y: position in the window; state: buttons and modifiers
        ButtonDown,  ///< x, y; button: the held bit of the pressed button; state
        ButtonUp,    ///< x, y; button: the released bit of the button; state
        MouseWheel,  ///< x, y; delta: +120 a notch away from the user, -120 towards; state
        MouseLeave,  ///< the pointer left the window
        Destroy,     ///< the window is about to go; sent once, from NativeWindow::destroy
        Lost,        ///< another program destroyed the window; its owner still calls destroy()
    };

    /// Button bits of `state` and `button`: each button has a held and a
    /// released bit, and `state` carries one of the two for every button.
    static constexpr std::uint32_t kLeftHeld = 0x1000;
    static constexpr std::uint32_t kMiddleHeld = 0x2000;
    static constexpr std::uint32_t kRightHeld = 0x4000;
    static constexpr std::uint32_t kLeftReleased = 0x10000;
    static constexpr std::uint32_t kMiddleReleased = 0x20000;
    static constexpr std::uint32_t kRightReleased = 0x40000;
    /// Modifier bits of `state`.
    static constexpr std::uint32_t kShift = 0x3;
    static constexpr std::uint32_t kControl = 0xC;

    /// Bits of `modifiers`: a key held down while the character arrived.
    static constexpr std::uint32_t kLeftShift = 0x1;
    static constexpr std::uint32_t kRightShift = 0x2;
    static constexpr std::uint32_t kLeftControl = 0x4;
    static constexpr std::uint32_t kRightControl = 0x8;
    static constexpr std::uint32_t kLeftAlt = 0x10;
    static constexpr std::uint32_t kRightAlt = 0x20;
    static constexpr std::uint32_t kLeftWindows = 0x40;
    static constexpr std::uint32_t kRightWindows = 0x80;
    static constexpr std::uint32_t kApplication = 0xC0;

    /// `delta` of one wheel notch.
    static constexpr int kWheelNotch = 120;

    Type type = Type::Create;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::uint32_t key = 0;
    bool repeat = false;
    bool active = false;
    std::uint32_t state = 0;
    std::uint32_t button = 0;
    int delta = 0;
    std::uint32_t modifiers = 0;
};

}  // namespace nevrik::platform
