// The input is the only file of a font folder: a FontFactory lists the folder,
// registers the file if FreeType opens it through the engine's file, and
// builds a 16-pixel font from it, reading every atlas byte. Refusals are
// expected; anything else escaping is a finding.

#include "io/TempFolder.h"
#include "nevrik/freetype/FontFactory.h"
#include "nevrik/freetype/FreetypeException.h"
#include "nevrik/io/SystemFileFactory.h"

#include <cstddef>
#include <cstdint>
#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace nevrik;
    static const testing::TempFolder folder;
    std::ofstream(folder / "font", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    io::SystemFileFactory files(folder.path().c_str());
    freetype::FontFactory fonts(files);
    if (fonts.getFonts().isEmpty()) {
        return 0;
    }
    try {
        const nevrik::object::Pointer<freetype::Font> font = fonts.createFont(freetype::Descriptor());
        graphics::Bitmap& atlas = *font->getAtlas();
        const std::uint8_t* pixels = atlas.lock();
        unsigned sum = 0;
        for (std::int64_t i = 0, n = std::int64_t{atlas.getPitch()} * atlas.getHeight(); i < n; ++i) {
            sum += pixels[i];
        }
        atlas.unlock();
        volatile unsigned sink = sum;
        (void)sink;
    } catch (const freetype::FreetypeException&) {
    }
    return 0;
}
