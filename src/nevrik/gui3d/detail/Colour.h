#pragma once

namespace nevrik::gui3d::detail {

/// Stores red, green, blue and alpha into a colour kept as four floats, as
/// the drawing context and the string view keep theirs.
inline void setColour(float (&colour)[4], float red, float green, float blue, float alpha) noexcept {
    colour[0] = red;
    colour[1] = green;
    colour[2] = blue;
    colour[3] = alpha;
}

}  // namespace nevrik::gui3d::detail
