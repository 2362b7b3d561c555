#pragma once

#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/scene3d/Scheduler.h"
#include "nevrik/types/String.h"

namespace nevrik::scene3d {

class Behaviour;

/// The behaviours an observer runs. No behaviour kind exists yet, so the
/// schedule stays empty; the slot is where one will go.
///
/// Held by value by its Observer. Used on the observer's rendering thread.
class BehaviourScheduler : public object::Object, private object::Noncopyable {
public:
    BehaviourScheduler() noexcept = default;

    NEVRIK_CLASS_NAME(object::Object, ":BehaviourScheduler")

    Scheduler<Behaviour>& getScheduler() noexcept { return mScheduler; }
    const Scheduler<Behaviour>& getScheduler() const noexcept { return mScheduler; }

private:
    Scheduler<Behaviour> mScheduler;
};

}  // namespace nevrik::scene3d
