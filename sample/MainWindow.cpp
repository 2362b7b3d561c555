#include "sample/MainWindow.h"

#include "sample/SampleApplication.h"

#include <cstdio>
#include <cstdlib>

namespace nevrik::sample {

MainWindow::MainWindow() {
    setTitle("Nevrik");
    setSize(kWidth, kHeight);
    setMinimumSize(kMinimumSize, kMinimumSize);
}

MainWindow::~MainWindow() {
    close();
}

bool MainWindow::closeRequested() {
    return SampleApplication::quitCurrent();
}

bool MainWindow::lost() {
    // Mesa's software driver writes through a drawable that another program
    // destroyed when its context is released or flushed (seen crashing in
    // the teardown now and then), so the program says why and ends here,
    // leaving its resources to the system.
    std::fputs("The window was destroyed by another program\n", stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

bool MainWindow::opened() {
    const bool result = gui::Window::opened();
    setFocusedView(getViews().getFirst());
    return result;
}

}  // namespace nevrik::sample
