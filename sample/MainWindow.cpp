#include "sample/MainWindow.h"

#include "sample/SampleApplication.h"

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
    SampleApplication::failCurrent("The window was destroyed by another program");
    return true;
}

bool MainWindow::opened() {
    const bool result = gui::Window::opened();
    setFocusedView(getViews().getFirst());
    return result;
}

}  // namespace nevrik::sample
