#pragma once

#include "nevrik/container/Chainable.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"

namespace nevrik::audio3d {

/// Where an observer's sound would be rendered: the slot an AudioContext
/// carries beside the graphics context. No sound output exists yet, so it
/// holds nothing; it can sit on a Chain<Context>.
///
/// Reference-counted: an AudioContext holds a reference on the one it was
/// given. Used on the rendering thread of its observer.
class Context : public object::Object, public container::Chainable<Context>, private object::Noncopyable {
public:
    Context() noexcept = default;
};

}  // namespace nevrik::audio3d
