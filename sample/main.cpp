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
    "Shows 35 copies of the model MODEL (data/f5e_05.3ds when none is given) and\n"
    "says whether the mouse is over one of them. Any model format the engine reads\n"
    "(3DS, Wavefront OBJ), told by the file's content.\n"
    "  left drag: turn    right drag: pan    wheel or middle drag: closer or further\n"
    "  r: starting view   f: frame rate and pick time   Esc or q: quit\n"
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
