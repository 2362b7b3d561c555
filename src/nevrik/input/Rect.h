#pragma once

namespace nevrik::input {

/// The rectangle that mouse positions refer to, in view pixels: top-left
/// corner and size.
///
/// A plain value record, copied freely by any thread.
struct Rect {
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
};

}  // namespace nevrik::input
