#pragma once

#include "nevrik/application/Listener.h"
#include "nevrik/container/List.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

namespace nevrik::application {

/// Forwards events to the listeners of interface T registered with it, in
/// registration order. Subclasses (input::MouseDispatcher, ...) add one public
/// operation per event, each a call of dispatch().
///
/// Registration is kept on both sides and holds no references: whichever of a
/// dispatcher and a listener is destroyed first removes itself from the other.
/// A listener destroyed during a walk (by another listener, say) is skipped
/// for the rest of that walk; one registered during a walk receives the next
/// event, not the current one. A dispatcher must not be destroyed by its own
/// listeners while it dispatches. Not synchronised: used on the one thread
/// that delivers the events.
template <class T>
class Dispatcher : public object::Object {
public:
    Dispatcher() noexcept = default;
    Dispatcher(const Dispatcher&) = delete;
    Dispatcher& operator=(const Dispatcher&) = delete;
    ~Dispatcher() override {
        for (Entry entry : mListeners) {
            if (entry != nullptr) {
                entry->mDispatchers.remove(findItem(entry->mDispatchers, this));
            }
        }
    }

    NEVRIK_CLASS_NAME(object::Object, ":Dispatcher")

    /// Registers `listener` on both sides. Returns false, changing nothing,
    /// when it is null or already registered here.
    bool addListener(T* listener) {
        Entry entry = listener;
        if (entry == nullptr || findItem(mListeners, entry) != nullptr) {
            return false;
        }
        typename container::List<Entry>::Item* item = mListeners.append(entry);
        try {
            entry->mDispatchers.append(this);
        } catch (...) {
            mListeners.remove(item);
            throw;
        }
        return true;
    }

    /// How many listeners are registered.
    int getListenerCount() const noexcept { return mListeners.getCount() - mVacated; }

protected:
    /// Calls `operation` with `arguments` on every listener, in registration order.
    template <class... Parameters, class... Arguments>
    void dispatch(void (T::*operation)(Parameters...), const Arguments&... arguments) {
        Walk walk(*this);
        // Listeners appended by a callback lie beyond the item that was last
        // when the walk began; they wait for the next event.
        const auto* last = mListeners.getLast();
        for (auto position = mListeners.begin(); position != mListeners.end(); ++position) {
            if (Entry entry = *position) {
                (static_cast<T*>(entry)->*operation)(arguments...);
            }
            if (position.getItem() == last) {
                break;
            }
        }
    }

private:
    friend class Listener<T>;

    // Entries are the listeners' Listener<T> bases: a dying listener can then
    // name itself without converting a pointer to its destroyed T part.
    using Entry = Listener<T>*;

    // Counts nested walks; while one runs, removals only vacate their entry
    // (set it to null) and the outermost walk sweeps the vacated items, so no
    // walk ever steps onto a freed item.
    class Walk {
    public:
        explicit Walk(Dispatcher& dispatcher) noexcept : mDispatcher(dispatcher) { ++mDispatcher.mWalks; }
        Walk(const Walk&) = delete;
        Walk& operator=(const Walk&) = delete;
        ~Walk() {
            if (--mDispatcher.mWalks == 0 && mDispatcher.mVacated > 0) {
                mDispatcher.sweep();
            }
        }

    private:
        Dispatcher& mDispatcher;
    };

    template <class V>
    static typename container::List<V>::Item* findItem(container::List<V>& list, V value) noexcept {
        for (auto position = list.begin(); position != list.end(); ++position) {
            if (*position == value) {
                return position.getItem();
            }
        }
        return nullptr;
    }

    // Called by a listener's destructor: drops its first entry here.
    void forget(Entry listener) noexcept {
        typename container::List<Entry>::Item* item = findItem(mListeners, listener);
        if (item == nullptr) {
            return;
        }
        if (mWalks > 0) {
            item->getValue() = nullptr;
            ++mVacated;
        } else {
            mListeners.remove(item);
        }
    }

    void sweep() noexcept {
        for (auto position = mListeners.begin(); position != mListeners.end(); ++position) {
            if (*position == nullptr) {
                mListeners.remove(position.getItem());
            }
        }
        mVacated = 0;
    }

    container::List<Entry> mListeners;
    int mWalks = 0;
    int mVacated = 0;
};

template <class T>
Listener<T>::~Listener() {
    for (Dispatcher<T>* dispatcher : mDispatchers) {
        dispatcher->forget(this);
    }
}

}  // namespace nevrik::application
