#pragma once

#include "nevrik/math/Matrix4.h"

#include <cstdint>

namespace nevrik::graphics3d {

/// One bone of a model's skeleton: its parent's index in the model's joint
/// list (-1 for a root) and its bind transform relative to that parent.
///
/// A plain record held by value in its model's joint list.
struct Joint {
    std::int32_t parent = -1;
    math::Matrix4<float> transform;
};

}  // namespace nevrik::graphics3d
