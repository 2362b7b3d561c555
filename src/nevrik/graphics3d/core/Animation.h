#pragma once

#include "nevrik/graphics3d/core/Resource.h"

namespace nevrik::graphics3d {

/// A named clip of skeletal motion a model may own.
///
/// Reference-counted; a model holds a reference on each of its animations.
/// Used on the thread that renders the model.
class Animation : public Resource {
public:
    Animation() = default;

    NEVRIK_CLASS_NAME(Resource, ":Animation")

    /// Length of the clip in seconds.
    float getDuration() const noexcept { return mDuration; }
    void setDuration(float seconds) noexcept { mDuration = seconds; }

private:
    float mDuration = 0.0f;
};

}  // namespace nevrik::graphics3d
