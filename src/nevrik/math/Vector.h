#pragma once

#include <cassert>
#include <cmath>

namespace nevrik::math {

/// A vector of N components of scalar type T. Only the three-component form is
/// defined; it is the one every position, direction and normal uses.
template <class T, int N>
class Vector;

/// Three components `x`, `y`, `z`, packed in that order with nothing else, so
/// an array of vectors is an array of 3·count scalars that can go to OpenGL as
/// it is.
///
/// A plain value: copied freely, never reference-counted; any thread may use
/// its own copies.
template <class T>
class Vector<T, 3> {
public:
    constexpr Vector() noexcept = default;
    constexpr Vector(T x0, T y0, T z0) noexcept : x(x0), y(y0), z(z0) {}

    /// Component `axis` (0 = x, 1 = y, 2 = z).
    constexpr T& operator[](int axis) noexcept {
        assert(axis >= 0 && axis < 3);
        return this->*kComponents[axis];
    }
    constexpr const T& operator[](int axis) const noexcept {
        assert(axis >= 0 && axis < 3);
        return this->*kComponents[axis];
    }

    constexpr Vector& operator+=(const Vector& other) noexcept {
        x += other.x;
        y += other.y;
        z += other.z;
        return *this;
    }
    constexpr Vector& operator-=(const Vector& other) noexcept {
        x -= other.x;
        y -= other.y;
        z -= other.z;
        return *this;
    }
    constexpr Vector& operator*=(T factor) noexcept {
        x *= factor;
        y *= factor;
        z *= factor;
        return *this;
    }

    friend constexpr Vector operator+(Vector a, const Vector& b) noexcept { return a += b; }
    friend constexpr Vector operator-(Vector a, const Vector& b) noexcept { return a -= b; }
    friend constexpr Vector operator*(Vector a, T factor) noexcept { return a *= factor; }
    friend constexpr Vector operator*(T factor, Vector a) noexcept { return a *= factor; }
    friend constexpr bool operator==(const Vector& a, const Vector& b) noexcept {
        return a.x == b.x && a.y == b.y && a.z == b.z;
    }
    friend constexpr bool operator!=(const Vector& a, const Vector& b) noexcept { return !(a == b); }

    constexpr T dot(const Vector& other) const noexcept { return x * other.x + y * other.y + z * other.z; }
    constexpr Vector cross(const Vector& other) const noexcept {
        return Vector(y * other.z - z * other.y, z * other.x - x * other.z, x * other.y - y * other.x);
    }
    constexpr T squaredLength() const noexcept { return dot(*this); }
    T length() const noexcept { return static_cast<T>(std::sqrt(squaredLength())); }

    /// Scales to unit length. A vector whose squared length is not positive
    /// (zero, or NaN) is left as it is rather than filled with NaN.
    Vector& normalise() noexcept {
        const T squared = squaredLength();
        if (squared > T(0)) {
            const T norm = static_cast<T>(std::sqrt(squared));
            x /= norm;
            y /= norm;
            z /= norm;
        }
        return *this;
    }

    T x{};
    T y{};
    T z{};

private:
    static constexpr T Vector::*kComponents[3] = {&Vector::x, &Vector::y, &Vector::z};
};

/// The same type as Vector<T, 3>: an alias rather than a subclass, so arrays
/// and containers of either spelling are one type and pass between callers
/// without casts.
template <class T>
using Vector3 = Vector<T, 3>;

}  // namespace nevrik::math
