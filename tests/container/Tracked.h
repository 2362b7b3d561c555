#pragma once

#include "nevrik/object/Object.h"

namespace nevrik::container::test {

// A value that counts its live instances, so tests see every element
// constructed and destroyed exactly once.
class Tracked {
public:
    explicit Tracked(int value = 0) noexcept : mValue(value) { ++sLive; }
    Tracked(const Tracked& other) noexcept : mValue(other.mValue) { ++sLive; }
    Tracked(Tracked&& other) noexcept : mValue(other.mValue) {
        other.mValue = kMovedFrom;
        ++sLive;
    }
    Tracked& operator=(const Tracked&) noexcept = default;
    Tracked& operator=(Tracked&& other) noexcept {
        mValue = other.mValue;
        other.mValue = kMovedFrom;
        return *this;
    }
    ~Tracked() { --sLive; }

    int value() const noexcept { return mValue; }
    friend bool operator<(const Tracked& a, const Tracked& b) noexcept { return a.mValue < b.mValue; }
    friend bool operator==(const Tracked& a, const Tracked& b) noexcept { return a.mValue == b.mValue; }

    static constexpr int kMovedFrom = -1;
    static inline int sLive = 0;

private:
    int mValue;
};

// An engine object that counts its live instances.
class CountedObject : public object::Object {
public:
    explicit CountedObject(int id = 0) noexcept : mId(id) { ++sLive; }
    ~CountedObject() override { --sLive; }

    int id() const noexcept { return mId; }

    static inline int sLive = 0;

private:
    int mId;
};

}  // namespace nevrik::container::test
