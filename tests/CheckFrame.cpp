// nevrik_check_frame IMAGE WIDTH HEIGHT: whether IMAGE, read by the engine's
// own image readers, is WIDTH x HEIGHT and shows something in front of a
// plain background: its four corners alike, every pixel of the middle tenth
// of each side unlike them. Status 0 when it does; 1 with the reason on
// standard error; 2 for a wrong command line.
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics/TranslatorRoster.h"
#include "nevrik/io/SystemFileFactory.h"
#include "nevrik/object/Exception.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace nevrik;

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: nevrik_check_frame IMAGE WIDTH HEIGHT\n");
        return 2;
    }
    const char* path = argv[1];
    const int width = std::atoi(argv[2]);
    const int height = std::atoi(argv[3]);
    object::Pointer<graphics::Image> image;
    try {
        graphics::TranslatorRoster images;
        image = images.load(*object::make<io::SystemFileFactory>(""), path);
    } catch (const object::Exception& error) {
        std::fprintf(stderr, "%s: %s\n", path, error.describe().c_str());
        return 1;
    }
    if (!image || image->getWidth() != width || image->getHeight() != height) {
        std::fprintf(stderr, "%s: not a %d x %d image\n", path, width, height);
        return 1;
    }
    const int bytes = graphics::getBytesPerPixel(image->getFormat());
    const std::uint8_t* top = image->lock();
    image->unlock();
    const auto differs = [&](int x, int y) {
        return std::memcmp(top + y * image->getPitch() + x * bytes, top, static_cast<std::size_t>(bytes)) !=
               0;
    };
    if (bytes < 1 || differs(width - 1, 0) || differs(0, height - 1) || differs(width - 1, height - 1)) {
        std::fprintf(stderr, "%s: the corners show no common background\n", path);
        return 1;
    }
    for (int y = height * 9 / 20; y < height * 11 / 20; ++y) {
        for (int x = width * 9 / 20; x < width * 11 / 20; ++x) {
            if (!differs(x, y)) {
                std::fprintf(stderr, "%s: pixel %d, %d in the middle shows the background\n", path, x, y);
                return 1;
            }
        }
    }
    return 0;
}
