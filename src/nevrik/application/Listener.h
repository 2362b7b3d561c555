#pragma once

#include "nevrik/container/List.h"

namespace nevrik::application {

template <class T>
class Dispatcher;

/// Base of a listener interface T (`class T : public Listener<T>`): remembers
/// the dispatchers T is registered with, so that destroying the listener
/// removes it from each of them.
///
/// Holds no references either way; the owner of listeners and dispatchers keeps
/// them alive while events flow. Registration is made by Dispatcher::addListener.
/// Not synchronised: used on the one thread that feeds the dispatchers.
template <class T>
class Listener {
public:
    /// How many dispatchers this listener is registered with.
    int getDispatcherCount() const noexcept { return mDispatchers.getCount(); }

protected:
    Listener() noexcept = default;
    /// A copy is registered nowhere: registrations belong to the object, not its value.
    Listener(const Listener&) noexcept : Listener() {}
    Listener& operator=(const Listener&) noexcept { return *this; }
    /// Removes this listener from every dispatcher it is registered with.
    ~Listener();

private:
    friend class Dispatcher<T>;

    container::List<Dispatcher<T>*> mDispatchers;
};

}  // namespace nevrik::application

// The destructor needs the complete Dispatcher, which in turn names Listener:
// Dispatcher.h defines it once both classes are known, whichever header comes first.
#include "nevrik/application/Dispatcher.h"
