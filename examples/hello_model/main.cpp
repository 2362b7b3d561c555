// hello_model [--frames N] [MODEL]: shows a model; left drag orbits, Esc or the close box quits.
#include "nevrik/graphics3d/core/ModelStage.h"
#include "nevrik/graphics3d/loading/ModelRoster.h"
#include "nevrik/input3d/TrackballController.h"
#include "nevrik/platform/GlWindow.h"
#include "nevrik/platform/KeyCodes.h"
#include "nevrik/platform/WindowEvents.h"
#include "nevrik/platform/WindowMessage.h"

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace nevrik;
using Message = platform::WindowMessage;

// The window's events turn the trackball or end the loop.
struct Input {
    input3d::TrackballController trackball;
    bool running = true;
};

long handle(platform::NativeWindow& window, const Message& message, void* user) {
    auto& input = *static_cast<Input*>(user);
    input.running &= message.type != Message::Type::Close &&
                     !(message.type == Message::Type::KeyDown && message.key == platform::KeyCodes::kEscape);
    input.trackball.setArea({0.0f, 0.0f, float(window.getWidth()), float(window.getHeight())});
    if (message.type == Message::Type::MouseMove) {
        input.trackball.mouseMoved({float(message.x), float(message.y)}, message.state);
    }
    return 0;
}

int main(int argc, char** argv) {
    const bool counted = argc > 2 && std::string(argv[1]) == "--frames";
    const int frames = counted ? std::atoi(argv[2]) : -1;
    const char* model = argc > (counted ? 3 : 1) ? argv[argc - 1] : "data/f5e_05.3ds";
    Input input;  // before the window: its procedure hears the window go
    platform::GlWindow window;
    if (!window.open("hello model", 800, 600)) {
        std::fprintf(stderr, "hello_model: no OpenGL window can be made on this display\n");
        return 1;
    }
    window.getWindow().setProcedure({handle, &input});
    try {
        graphics3d::ModelRoster models;
        graphics3d::ModelStage stage(models.readFile(model).get());
        for (int frame = 0; input.running && frame != frames; ++frame) {
            platform::WindowEvents::dispatch();
            stage.setOrbit(input.trackball.getRotation());
            stage.render(window.getWindow().getWidth(), window.getWindow().getHeight());
            window.swapBuffers();
        }
    } catch (const object::Exception& error) {
        std::fprintf(stderr, "%s\n", error.describe().c_str());
        return 1;
    }
    return 0;
}
