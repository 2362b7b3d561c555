#pragma once

namespace nevrik::container {

template <class T>
class Chain;

/// The link that puts a T on one Chain<T>: the chain it is on (null when on
/// none), next and previous. T derives from Chainable<T>.
///
/// A copy starts unlinked: chain membership belongs to the object, not its
/// value. An element destroyed while still linked unlinks itself first, so
/// its chain never points at freed memory. Used on the thread that owns the
/// chain.
template <class T>
class Chainable {
public:
    Chainable(const Chainable&) noexcept {}
    /// Assignment copies value only; the link stays.
    Chainable& operator=(const Chainable&) noexcept { return *this; }

    /// The chain this element is on, or null.
    Chain<T>* getChain() const noexcept { return mChain; }

protected:
    Chainable() noexcept = default;
    ~Chainable() {
        if (mChain != nullptr) {
            mChain->unlink(this);
        }
    }

private:
    friend class Chain<T>;

    Chain<T>* mChain = nullptr;
    Chainable* mNext = nullptr;
    Chainable* mPrevious = nullptr;
};

}  // namespace nevrik::container
