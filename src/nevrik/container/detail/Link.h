#pragma once

namespace nevrik::container::detail {

template <class Owner>
class Ring;

/// The three pointers that put an element on one Ring<Owner>: the ring (null
/// when on none), next and previous. Owner tells the kinds apart, so one
/// class may sit on a chain and on a queue at once.
///
/// A copy starts unlinked: membership belongs to the object, not its value.
/// An element destroyed while still linked unlinks itself first, so its ring
/// never points at freed memory.
template <class Owner>
class Link {
public:
    Link(const Link&) noexcept {}
    /// Assignment copies value only; the link stays.
    Link& operator=(const Link&) noexcept { return *this; }  // NOLINT(bugprone-unhandled-self-assignment)

protected:
    Link() noexcept = default;
    ~Link() {
        if (mRing != nullptr) {
            mRing->unlink(this);
        }
    }

    /// The container this element is on, or null.
    Owner* getOwner() const noexcept { return mRing != nullptr ? mRing->getOwner() : nullptr; }

private:
    friend class Ring<Owner>;

    Ring<Owner>* mRing = nullptr;
    Link* mNext = nullptr;
    Link* mPrevious = nullptr;
};

}  // namespace nevrik::container::detail
