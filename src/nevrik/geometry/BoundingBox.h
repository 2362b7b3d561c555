#pragma once

#include "nevrik/math/Vector.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace nevrik::geometry {

/// An axis-aligned box, `min` then `max`, over coordinates of type T: float
/// for scene bounds, double for point sets of doubles, and the integer types
/// of packed vertex formats (std::uint8_t, std::int16_t, std::int32_t).
///
/// A plain value: copied freely, never reference-counted.
template <class T>
class BoundingBox {
    static_assert(std::is_arithmetic_v<T>, "BoundingBox needs a numeric coordinate type");

public:
    constexpr BoundingBox() noexcept = default;
    constexpr BoundingBox(const math::Vector<T, 3>& min0, const math::Vector<T, 3>& max0) noexcept
        : min(min0), max(max0) {}

    /// (min + max) / 2, per coordinate. Integer boxes sum in 64 bits, so the
    /// midpoint of large coordinates does not wrap.
    constexpr math::Vector<T, 3> centre() const noexcept {
        return math::Vector<T, 3>(midpoint(min.x, max.x), midpoint(min.y, max.y), midpoint(min.z, max.z));
    }

    /// Becomes the box of `count` points of three T each, the points starting
    /// `stride` bytes apart (the bytes between them are skipped; no alignment
    /// is assumed). With count 0 (or no points at all) every bound is 0.
    void fit(const T* points, std::size_t stride, std::size_t count) noexcept {
        if (count == 0 || points == nullptr) {
            *this = BoundingBox();
            return;
        }
        const auto* bytes = reinterpret_cast<const unsigned char*>(points);
        min = max = readPoint(bytes);
        for (std::size_t i = 1; i < count; ++i) {
            const math::Vector<T, 3> p = readPoint(bytes + i * stride);
            for (int axis = 0; axis < 3; ++axis) {
                if (p[axis] < min[axis]) {
                    min[axis] = p[axis];
                } else if (p[axis] > max[axis]) {
                    max[axis] = p[axis];
                }
            }
        }
    }

    math::Vector<T, 3> min;
    math::Vector<T, 3> max;

private:
    static constexpr T midpoint(T a, T b) noexcept {
        if constexpr (std::is_integral_v<T>) {
            return static_cast<T>((std::int64_t{a} + std::int64_t{b}) / 2);
        } else {
            return (a + b) / T(2);
        }
    }

    static math::Vector<T, 3> readPoint(const unsigned char* bytes) noexcept {
        T values[3];
        std::memcpy(values, bytes, sizeof values);
        return math::Vector<T, 3>(values[0], values[1], values[2]);
    }
};

}  // namespace nevrik::geometry
