#include "nevrik/platform/Palette.h"

#include "nevrik/platform/GlConfig.h"
#include "nevrik/platform/NativeWindow.h"
#include "nevrik/platform/detail/XErrors.h"

#include <X11/Xlib.h>

#include <algorithm>

namespace nevrik::platform {
namespace {

constexpr int kMaxEntries = 256;

// Component `value` of `bits` bits scaled to 0..255; a colour without bits
// of a component has none of it.
std::uint8_t scale(int index, int shift, int bits) {
    const int mask = (1 << bits) - 1;
    return mask == 0 ? 0 : static_cast<std::uint8_t>(((index >> shift) & mask) * 255 / mask);
}

::Display* displayOf(const NativeWindow& window) {
    return static_cast<::Display*>(window.getConnection());
}

}  // namespace

Palette::~Palette() {
    destroy();
}

std::vector<Palette::Entry> Palette::forConfig(const GlConfig& config, const std::vector<Entry>& current) {
    const int bits = config.getActual().colourBits;
    const int count = bits >= 8 ? kMaxEntries : 1 << std::max(bits, 0);
    std::vector<Entry> entries(static_cast<std::size_t>(count));
    std::copy_n(current.begin(), std::min(current.size(), entries.size()), entries.begin());
    if (config.isColourIndex()) {
        const Entry primaries[] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
        std::copy_n(primaries, std::min<std::size_t>(4, entries.size()), entries.begin());
        return entries;
    }
    const int red = config.getRedBits();
    const int green = config.getGreenBits();
    const int blue = config.getBlueBits();
    for (int i = 0; i < count; ++i) {
        entries[i] = {scale(i, 0, red), scale(i, red, green), scale(i, red + green, blue)};
    }
    return entries;
}

bool Palette::create(NativeWindow& window, const Entry* entries, int count) {
    ::Display* display = displayOf(window);
    if (isCreated() || display == nullptr || count <= 0 || count > kMaxEntries) {
        return false;
    }
    const auto id = static_cast<Window>(window.getId());
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, id, &attributes) == 0) {
        return false;
    }
    const int type = attributes.visual->c_class;
    if (type != PseudoColor && type != GrayScale) {
        return false;
    }
    detail::XErrors errors(display);
    const Colormap colormap = XCreateColormap(display, id, attributes.visual, AllocAll);
    if (entries != nullptr) {
        XColor colours[kMaxEntries];
        const int used = std::min(count, attributes.visual->map_entries);
        for (int i = 0; i < used; ++i) {
            colours[i].pixel = static_cast<unsigned long>(i);
            colours[i].red = static_cast<unsigned short>(entries[i].red * 257);
            colours[i].green = static_cast<unsigned short>(entries[i].green * 257);
            colours[i].blue = static_cast<unsigned short>(entries[i].blue * 257);
            colours[i].flags = DoRed | DoGreen | DoBlue;
        }
        XStoreColors(display, colormap, colours, used);
    }
    XSetWindowColormap(display, id, colormap);
    if (errors.occurred()) {
        XFreeColormap(display, colormap);
        return false;
    }
    mWindow = &window;
    mColormap = colormap;
    return true;
}

std::vector<Palette::Entry> Palette::systemEntries(const NativeWindow& window) {
    ::Display* display = displayOf(window);
    if (display == nullptr) {
        return {};
    }
    const int screen = DefaultScreen(display);
    const int count = std::min(DefaultVisual(display, screen)->map_entries, kMaxEntries);
    XColor colours[kMaxEntries];
    for (int i = 0; i < count; ++i) {
        colours[i].pixel = static_cast<unsigned long>(i);
    }
    XQueryColors(display, DefaultColormap(display, screen), colours, count);
    std::vector<Entry> entries(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        entries[i] = {static_cast<std::uint8_t>(colours[i].red >> 8),
                      static_cast<std::uint8_t>(colours[i].green >> 8),
                      static_cast<std::uint8_t>(colours[i].blue >> 8)};
    }
    return entries;
}

bool Palette::realize() {
    if (!isCreated() || !mWindow->isCreated()) {
        return false;
    }
    XInstallColormap(displayOf(*mWindow), static_cast<Colormap>(mColormap));
    return true;
}

void Palette::destroy() {
    if (!isCreated()) {
        return;
    }
    // A window destroyed first has taken its connection with it; the server
    // freed the colour map when that connection closed.
    if (::Display* display = displayOf(*mWindow)) {
        XFreeColormap(display, static_cast<Colormap>(mColormap));
    }
    mWindow = nullptr;
    mColormap = 0;
}

}  // namespace nevrik::platform
