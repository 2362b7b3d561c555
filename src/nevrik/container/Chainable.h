#pragma once

#include "nevrik/container/detail/Ring.h"

namespace nevrik::container {

template <class T>
class Chain;

/// The link that puts a T on one Chain<T>: the chain it is on (null when on
/// none), next and previous. T derives from Chainable<T>.
///
/// A copy starts unlinked. An element destroyed while still linked unlinks
/// itself first, so its chain never points at freed memory. Used on the
/// thread that owns the chain.
template <class T>
class Chainable : public detail::Link<Chain<T>> {
public:
    /// The chain this element is on, or null.
    Chain<T>* getChain() const noexcept { return this->getOwner(); }

protected:
    Chainable() noexcept = default;
    Chainable(const Chainable&) noexcept = default;
    Chainable& operator=(const Chainable&) noexcept = default;
    ~Chainable() = default;
};

}  // namespace nevrik::container
