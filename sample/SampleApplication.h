#pragma once

#include "nevrik/application/Application.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::sample {

class MainWindow;
class OpenGLTicker;
class SampleView;

/// The picking sample's application: opens the main window with its view and
/// starts the frame ticker when it runs, and takes them down in order when it
/// quits.
///
/// Created by the program's entry, which runs it on the main thread and then
/// releases it. Holds one reference on the window, the view and the ticker
/// while it runs.
class SampleApplication : public application::Application {
public:
    /// The view follows the window's width and height.
    static constexpr std::uint32_t kViewLayout = 0x33;
    /// When this environment variable is set, quitting prints the frames
    /// drawn, the picks made (one a frame) and how many of them hit.
    static constexpr const char* kStatisticsVariable = "NEVRIK_SAMPLE_STATS";

    SampleApplication();
    ~SampleApplication() override;

    NEVRIK_CLASS_NAME(application::Application, ":SampleApplication")

    /// Makes the window and its view, opens the window (the view and its
    /// scene follow on the window thread) and starts the ticker. A window
    /// that cannot be opened could never ask to quit: the application then
    /// queues its own QUIT and remembers the failure. True.
    bool onStart() override;
    /// Stops the ticker (its thread ends first), closes the window (the view
    /// goes with it on the window thread), reports the counts if asked and
    /// drops all three. True.
    bool onQuit() override;

    /// Whether the latest onStart() opened the window.
    bool isOpened() const noexcept { return mOpened; }

private:
    object::Pointer<MainWindow> mWindow;
    object::Pointer<SampleView> mView;
    object::Pointer<OpenGLTicker> mTicker;
    bool mOpened = false;
};

}  // namespace nevrik::sample
