#pragma once

#include "nevrik/audio3d/Context.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

namespace nevrik::scene3d {

/// The sound side of an observer: the audio3d::Context its sound would go
/// to, or none.
///
/// Held by value by its Observer; keeps a reference on the audio context.
/// Used on the observer's rendering thread.
class AudioContext : public object::Object {
public:
    /// `context` may be null.
    explicit AudioContext(audio3d::Context* context) noexcept : mContext(context) {}

    NEVRIK_CLASS_NAME(object::Object, ":AudioContext")

    audio3d::Context* getContext() const noexcept { return mContext.get(); }

private:
    object::Pointer<audio3d::Context> mContext;
};

}  // namespace nevrik::scene3d
