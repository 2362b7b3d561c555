// offscreen_frame MODEL OUTPUT.png: one frame of a model file, framed and lit,
// 640 x 480, written as a PNG file without showing a window. Status 0 on
// success; 1, with one line on standard error naming the file and the
// reason, on any failure; 2 for a wrong command line.
#include "nevrik/graphics/TranslatorPNG.h"
#include "nevrik/graphics3d/core/ModelStage.h"
#include "nevrik/graphics3d/loading/ModelRoster.h"
#include "nevrik/io/File.h"
#include "nevrik/io/SystemFileFactory.h"
#include "nevrik/platform/GlWindow.h"

#include <cstdio>

using namespace nevrik;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: offscreen_frame MODEL OUTPUT.png\n");
        return 2;
    }
    const int width = 640;
    const int height = 480;
    // Never shown: the frame is drawn into the window's back buffer.
    platform::GlWindow window;
    if (!window.open("offscreen_frame", width, height, platform::GlWindow::kDefaultFormat, false)) {
        std::fprintf(stderr, "offscreen_frame: no OpenGL window can be made on this display\n");
        return 1;
    }
    try {
        graphics3d::ModelRoster models;
        graphics3d::ModelStage stage(models.readFile(argv[1]).get());
        const object::Pointer<graphics::Image> image = stage.renderImage(width, height);
        const object::Pointer<io::File> file = object::make<io::SystemFileFactory>("")->create(argv[2]);
        if (!image || !graphics::TranslatorPNG().write(file->getOutputStream(), *image)) {
            std::fprintf(stderr, "%s: the frame cannot be written as PNG\n", argv[2]);
            return 1;
        }
    } catch (const object::Exception& error) {
        std::fprintf(stderr, "%s\n", error.describe().c_str());
        return 1;
    }
    return 0;
}
