#include "sample/SampleApplication.h"

int main() {
    auto* application = new nevrik::sample::SampleApplication();
    application->run();
    const bool opened = application->isOpened();
    application->release();
    // 1 after a normal quit; a window that never opened is a failure like an
    // escaped exception, which ends the process with -1.
    return opened ? 1 : -1;
}
