#pragma once

#include "nevrik/application/Application.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

#include <mutex>

namespace nevrik::sample {

class MainWindow;
class OpenGLTicker;
class SampleView;

/// The picking sample's application: opens the main window with its view and
/// starts the frame ticker when it runs, and takes them down in order when it
/// quits. A failure on any thread (the model or font cannot be read, the
/// window cannot be made or is destroyed) is recorded here and ends the run.
///
/// Created by the program's entry, which runs it on the main thread, reports
/// the failure if there is one and then releases it. Holds one reference on
/// the window, the view and the ticker while it runs.
class SampleApplication : public application::Application {
public:
    /// When this environment variable is set, quitting prints the frames
    /// drawn, the picks made (one a frame) and how many of them hit.
    static constexpr const char* kStatisticsVariable = "NEVRIK_SAMPLE_STATS";

    /// Shows the model at `modelPath`, or the default model when it is empty
    /// (SampleView).
    explicit SampleApplication(const types::String& modelPath = types::String());
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

    /// Records `message` as the reason the run ends, unless one is recorded
    /// already (the first failure explains the rest), and asks the running
    /// application to quit. Any thread.
    void fail(const types::String& message);
    /// fail() on the running application, when it is a SampleApplication.
    static void failCurrent(const types::String& message);
    /// Asks the running application to quit; false when none runs.
    static bool quitCurrent();
    /// The recorded failure; empty after a normal quit. Read it once run()
    /// has returned.
    types::String getFailure() const;

    /// Whether the latest onStart() opened the window.
    bool isOpened() const noexcept { return mOpened; }

private:
    types::String mModelPath;
    mutable std::mutex mFailureLock;
    types::String mFailure;
    object::Pointer<MainWindow> mWindow;
    object::Pointer<SampleView> mView;
    object::Pointer<OpenGLTicker> mTicker;
    bool mOpened = false;
};

}  // namespace nevrik::sample
