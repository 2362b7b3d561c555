#pragma once

namespace nevrik::graphics3d {

/// Colours kept as four floats (red, green, blue, alpha), alone or in tables,
/// as state objects, lights and GUI views keep theirs.

/// Sets a colour of four floats.
inline void setColour(float (&colour)[4], float red, float green, float blue, float alpha) noexcept {
    colour[0] = red;
    colour[1] = green;
    colour[2] = blue;
    colour[3] = alpha;
}

/// Sets colour `index` of a table; false, changing nothing, out of range.
template <int kCount>
bool setColour(float (&colours)[kCount][4], int index, float red, float green, float blue,
               float alpha) noexcept {
    if (index < 0 || index >= kCount) {
        return false;
    }
    setColour(colours[index], red, green, blue, alpha);
    return true;
}

/// Colour `index` of a table; null out of range.
template <int kCount>
const float* getColour(const float (&colours)[kCount][4], int index) noexcept {
    return index >= 0 && index < kCount ? colours[index] : nullptr;
}

}  // namespace nevrik::graphics3d
