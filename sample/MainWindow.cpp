#include "sample/MainWindow.h"

#include "nevrik/application/Application.h"
#include "nevrik/application/Message.h"

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
    application::Application* application = application::Application::currentApplication();
    return application != nullptr && application::post(application, application::Message::QUIT);
}

}  // namespace nevrik::sample
