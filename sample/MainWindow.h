#pragma once

#include "nevrik/gui/Window.h"
#include "nevrik/types/String.h"

namespace nevrik::sample {

/// The sample's top-level window, titled "Nevrik": 600 × 500 client pixels
/// at first, never smaller than 256 × 256. Its close box asks the running
/// application to quit instead of closing the window, so that the
/// application closes it in order with everything else. Another program
/// destroying it ends the run as a failure.
///
/// Reference-counted; the application holds it while it runs. open() and
/// close() from the main thread, the rest on the window thread.
class MainWindow : public gui::Window {
public:
    static constexpr float kWidth = 600.0f;
    static constexpr float kHeight = 500.0f;
    static constexpr float kMinimumSize = 256.0f;

    MainWindow();
    /// Closes the window while this part still exists: the close box calls
    /// back into it until then.
    ~MainWindow() override;

    NEVRIK_CLASS_NAME(gui::Window, ":MainWindow")

    /// Posts QUIT to the current application and leaves the window open.
    /// False when no application runs to take it.
    bool closeRequested() override;
    /// Ends the run as a failure: with the window gone the user can neither
    /// see nor close anything.
    bool lost() override;
    /// Gives the view the keyboard: keys the top-level window receives (the
    /// pointer outside the view) reach it as well as those of its own.
    bool opened() override;
};

}  // namespace nevrik::sample
