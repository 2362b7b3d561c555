#pragma once

namespace nevrik::input {

/// A mouse position in view pixels: origin at the top-left corner, y downwards.
///
/// A plain value record, copied freely by any thread.
struct Point {
    float x = 0.0f;
    float y = 0.0f;
};

}  // namespace nevrik::input
