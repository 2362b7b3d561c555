#pragma once

#include <cstdint>
#include <vector>

namespace nevrik::platform {

class GlConfig;
class NativeWindow;

/// A colour map loaded into a window whose screen shows colours through
/// writable colour maps (PseudoColor): the window system's palette.
///
/// Held by value by the window or view that loads it; used on that window's
/// thread. Screens with fixed colours (TrueColor) never need one.
class Palette {
public:
    struct Entry {
        std::uint8_t red = 0;
        std::uint8_t green = 0;
        std::uint8_t blue = 0;
    };

    Palette() = default;
    Palette(const Palette&) = delete;
    Palette& operator=(const Palette&) = delete;
    ~Palette();

    /// The colours an OpenGL configuration needs: 2^colour bits entries (at
    /// most 256), starting from the screen's current ones (`current`, may be
    /// shorter); a colour-index configuration gets black, red, green and blue
    /// in entries 0 to 3, an RGBA one the colour of each index read as packed
    /// red, green and blue bits (red lowest).
    static std::vector<Entry> forConfig(const GlConfig& config, const std::vector<Entry>& current);

    /// Makes a colour map of `count` entries (at most 256) for the visual of
    /// `window`, fills it from `entries` when given, and makes it the
    /// window's. False, changing nothing, when a palette exists already, the
    /// window does not exist or its visual has fixed colours.
    bool create(NativeWindow& window, const Entry* entries, int count);
    /// The screen's current colours (empty when the window does not exist).
    static std::vector<Entry> systemEntries(const NativeWindow& window);
    /// Installs the colour map, so that the screen shows its colours.
    bool realize();
    /// Frees the colour map.
    void destroy();

    bool isCreated() const noexcept { return mColormap != 0; }

private:
    NativeWindow* mWindow = nullptr;
    std::uintptr_t mColormap = 0;
};

}  // namespace nevrik::platform
