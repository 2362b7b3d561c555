#include "nevrik/object/Pointer.h"
#include "nevrik/platform/WindowSystem.h"
#include "sample/SampleApplication.h"
#include "sample/SampleView.h"

#include <cstdio>
#include <cstring>

namespace {

// Exit statuses: the user quit; something the program needs is missing or
// broke (a message on standard error says what); the command line is wrong.
constexpr int kQuit = 0;
constexpr int kFailed = 1;
constexpr int kUsageError = 2;

constexpr const char* kUsage =
    "usage: nevrik_sample [MODEL]\n"
    "       nevrik_sample --help\n"
    "Shows 35 copies of the model MODEL (data/f5e_05.3ds when none is given) and\n"
    "says whether the mouse is over one of them. MODEL is a 3DS (.3ds), Wavefront\n"
    "OBJ (.obj, with its .mtl) or glTF (.gltf, .glb) file, told by its content; its\n"
    "textures are looked for beside it.\n"
    "  left drag                      turn about the pivot\n"
    "  right drag                     pan: the point under the cursor follows it\n"
    "  wheel forward, middle drag up  closer\n"
    "  wheel back, middle drag down   further\n"
    "  r       back to the starting view\n"
    "  f       frame rate and pick time (on/off)\n"
    "  s       save the view as nevrik-N.png beside the program (in the current\n"
    "          folder when the program's folder cannot be written)\n"
    "  Esc, q  quit\n"
    "Exit status: 0 after quitting, 1 when something is missing (the message says\n"
    "what), 2 for a wrong command line.\n";

}  // namespace

int main(int argc, char** argv) {
    using nevrik::sample::SampleApplication;
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return kQuit;
    }
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr, "nevrik_sample: %s\n%s",
                     argc > 2 ? "one model at most" : "unknown option (a model path cannot start with -)",
                     kUsage);
        return kUsageError;
    }
    // Said before any thread starts, so that it is the one line of the run.
    const std::string missing =
        nevrik::platform::WindowSystem::checkOpenGL(nevrik::sample::SampleView::kFormat);
    if (!missing.empty()) {
        std::fprintf(stderr, "%s\n", missing.c_str());
        return kFailed;
    }
    auto application = nevrik::object::make<SampleApplication>(argc == 2 ? argv[1] : "");
    application->run();
    const nevrik::types::String failure = application->getFailure();
    application.reset();
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        return kFailed;
    }
    return kQuit;
}
