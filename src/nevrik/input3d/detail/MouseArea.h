#pragma once

#include "nevrik/input/Point.h"
#include "nevrik/input/Rect.h"

#include <cmath>

namespace nevrik::input3d::detail {

/// The mouse area of a controller: its centre and half size, mapping pixel
/// positions to [-1, 1] across the area (y still downwards).
class MouseArea {
public:
    /// Takes the area; an empty or non-finite one (a minimised view) is
    /// ignored, since dividing by its half size would poison every later turn
    /// with infinities.
    void set(const input::Rect& area) noexcept {
        const float halfWidth = area.width / 2.0f;
        const float halfHeight = area.height / 2.0f;
        if (!(halfWidth > 0.0f && halfHeight > 0.0f &&
              std::isfinite(area.x + area.y + halfWidth + halfHeight))) {
            return;
        }
        mHalfSize = {halfWidth, halfHeight};
        mCentre = {area.x + halfWidth, area.y + halfHeight};
    }

    input::Point map(const input::Point& position) const noexcept {
        return {(position.x - mCentre.x) / mHalfSize.x, (position.y - mCentre.y) / mHalfSize.y};
    }

private:
    input::Point mCentre{0.0f, 0.0f};
    input::Point mHalfSize{2.0f, 2.0f};
};

}  // namespace nevrik::input3d::detail
