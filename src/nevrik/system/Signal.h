#pragma once

#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/platform/Event.h"
#include "nevrik/types/String.h"

namespace nevrik::system {

/// A manual-reset event with a flag that can be read at any time: set
/// releases every waiter until the signal is reset or consumed.
///
/// Held by value by its owner (a thread's running state, a looper's ready
/// signal, the application's wake-up); any thread may use it.
class Signal : public object::Object, private object::Noncopyable {
public:
    Signal() = default;

    /// Raises the flag and signals the event.
    void set();
    /// Lowers the flag and makes the event non-signalled.
    void reset();
    /// Lowers the flag and releases the threads waiting right now; the event
    /// is left non-signalled.
    void pulse();
    /// Returns when the flag is up (at once if it already is) or the signal
    /// is pulsed; leaves the flag as it is.
    void wait();
    /// As wait(), then lowers the flag, in one step: a set() after the
    /// wake-up stays for the next wait.
    void consume();

    bool isSet() const { return mEvent.isSet(); }

    NEVRIK_CLASS_NAME(object::Object, ":Signal")

private:
    // The flag is the event's own state, changed under the event's lock: a
    // separate flag could be lowered between another thread's raising it
    // and its setting the event, leaving a signalled event with a low flag.
    platform::Event mEvent;
};

}  // namespace nevrik::system
