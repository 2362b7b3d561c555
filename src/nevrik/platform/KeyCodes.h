#pragma once

#include <cstdint>

namespace nevrik::platform {

/// Translation of X keysyms into the virtual-key codes the engine's key
/// operations carry (arrows 0x25 to 0x28, letters as upper-case ASCII, digits
/// as ASCII, F1 0x70 ...).
///
/// Stateless; any thread may use it.
class KeyCodes {
public:
    static constexpr std::uint32_t kBackspace = 0x08;
    static constexpr std::uint32_t kTab = 0x09;
    static constexpr std::uint32_t kReturn = 0x0D;
    static constexpr std::uint32_t kShift = 0x10;
    static constexpr std::uint32_t kControl = 0x11;
    static constexpr std::uint32_t kAlt = 0x12;
    static constexpr std::uint32_t kEscape = 0x1B;
    static constexpr std::uint32_t kSpace = 0x20;
    static constexpr std::uint32_t kLeft = 0x25;
    static constexpr std::uint32_t kUp = 0x26;
    static constexpr std::uint32_t kRight = 0x27;
    static constexpr std::uint32_t kDown = 0x28;
    static constexpr std::uint32_t kF1 = 0x70;

    /// The virtual-key code of `keysym`, which should be the unshifted symbol
    /// of the key (so that "a" and "A" both give 'A'); 0 for keys without one.
    static std::uint32_t fromKeysym(unsigned long keysym) noexcept;
};

}  // namespace nevrik::platform
