#pragma once

namespace nevrik::gui {

/// A width and a height in pixels.
///
/// A plain value record, copied freely by any thread.
struct Size {
    float width = 0.0f;
    float height = 0.0f;
};

}  // namespace nevrik::gui
