#pragma once

#include "nevrik/gui/View.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/system/Ticker.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::sample {

/// Paces the sample's redraws: each tick asks for a repaint of the view, which
/// then renders on its window thread. The ticker itself never renders.
///
/// Reference-counted; holds a reference on the view so that a late tick never
/// reaches a dead one. Started and stopped by the application's thread.
class OpenGLTicker : public system::Ticker {
public:
    /// Milliseconds between frames.
    static constexpr std::uint32_t kFramePeriod = 14;

    /// A stopped ticker for `view`, with the frame period set.
    explicit OpenGLTicker(gui::View* view);
    ~OpenGLTicker() override;

    NEVRIK_CLASS_NAME(system::Ticker, ":OpenGLTicker")

    /// Invalidates the whole view once it is in a window.
    void tick() override;

private:
    object::Pointer<gui::View> mView;
};

}  // namespace nevrik::sample
