#pragma once

#include <cstddef>
#include <functional>
#include <utility>

namespace nevrik::object {

/// Holds one reference on an Object for as long as it points to it.
///
/// Make objects with make(), which hands the creator's reference to the
/// pointer. Taking a raw pointer adds a reference, so it is never implicit:
/// `Pointer<T> p = new T;` or `p = new T;` would leak the creator's. Hold a
/// borrowed object with `Pointer<T>(object)` or reset(object).
template <class T>
class Pointer {
public:
    Pointer() noexcept = default;
    Pointer(std::nullptr_t) noexcept {}
    explicit Pointer(T* object) noexcept : mObject(object) { retain(); }
    Pointer(const Pointer& other) noexcept : mObject(other.mObject) { retain(); }
    Pointer(Pointer&& other) noexcept : mObject(std::exchange(other.mObject, nullptr)) {}
    template <class U>
    Pointer(const Pointer<U>& other) noexcept : mObject(other.get()) {
        retain();
    }
    ~Pointer() { drop(); }

    /// Takes over the reference the caller holds on `object` without adding
    /// another; make() is the one place that creates objects this way.
    static Pointer adopt(T* object) noexcept {
        Pointer pointer;
        pointer.mObject = object;
        return pointer;
    }

    Pointer& operator=(const Pointer& other) noexcept {
        // Retain before dropping: assigning a pointer to itself or to an
        // object that only the old target keeps alive must not destroy it.
        Pointer copy(other);
        swap(copy);
        return *this;
    }
    Pointer& operator=(Pointer&& other) noexcept {
        Pointer moved(std::move(other));
        swap(moved);
        return *this;
    }

    Pointer& operator=(std::nullptr_t) noexcept {
        drop();
        return *this;
    }
    Pointer& operator=(T* object) = delete;

    void swap(Pointer& other) noexcept { std::swap(mObject, other.mObject); }
    void reset() noexcept { drop(); }
    /// Holds `object` too (a borrowed one, for example a setter's argument),
    /// adding a reference; the old target is dropped after, so resetting to
    /// an object only the old target keeps alive is safe.
    void reset(T* object) noexcept {
        Pointer held(object);
        swap(held);
    }
    /// Hands the held reference to the caller and forgets the object.
    T* detach() noexcept { return std::exchange(mObject, nullptr); }

    T* get() const noexcept { return mObject; }
    T& operator*() const noexcept { return *mObject; }
    T* operator->() const noexcept { return mObject; }
    explicit operator bool() const noexcept { return mObject != nullptr; }

    friend bool operator==(const Pointer& a, const Pointer& b) noexcept { return a.mObject == b.mObject; }
    friend bool operator!=(const Pointer& a, const Pointer& b) noexcept { return a.mObject != b.mObject; }
    friend bool operator<(const Pointer& a, const Pointer& b) noexcept {
        return std::less<T*>()(a.mObject, b.mObject);
    }

private:
    void retain() const noexcept {
        if (mObject != nullptr) {
            mObject->addReference();
        }
    }
    void drop() noexcept {
        if (T* object = std::exchange(mObject, nullptr)) {
            object->release();
        }
    }

    T* mObject = nullptr;
};

/// A new reference-counted `T`; the pointer takes over the creator's reference,
/// so the object dies with the last Pointer to it.
template <class T, class... Arguments>
Pointer<T> make(Arguments&&... arguments) {
    return Pointer<T>::adopt(new T(std::forward<Arguments>(arguments)...));
}

}  // namespace nevrik::object
