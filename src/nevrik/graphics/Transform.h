#pragma once

#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

namespace nevrik::graphics {

/// A 2D affine map: (x, y) goes to (m00·x + m01·y + tx, m10·x + m11·y + ty).
/// Views of the 3D GUI place themselves in their parents with it.
///
/// An Object for its class path, but held by value by the view that owns it
/// and copied freely. Not synchronised: used by the thread owning the GUI.
template <class T>
class Transform : public object::Object {
public:
    /// The identity.
    Transform() noexcept = default;
    Transform(T a00, T a01, T x, T a10, T a11, T y) noexcept
        : m00(a00), m01(a01), tx(x), m10(a10), m11(a11), ty(y) {}

    NEVRIK_CLASS_NAME(object::Object, ":Transform")

    /// A copy moved by (x, y) after the map.
    Transform translated(T x, T y) const noexcept {
        Transform moved(*this);
        moved.tx += x;
        moved.ty += y;
        return moved;
    }

    /// The map that applies b first, then a.
    friend Transform operator*(const Transform& a, const Transform& b) noexcept {
        return Transform(a.m00 * b.m00 + a.m01 * b.m10, a.m00 * b.m01 + a.m01 * b.m11,
                         a.m00 * b.tx + a.m01 * b.ty + a.tx, a.m10 * b.m00 + a.m11 * b.m10,
                         a.m10 * b.m01 + a.m11 * b.m11, a.m10 * b.tx + a.m11 * b.ty + a.ty);
    }

    T m00 = T(1);
    T m01 = T(0);
    T tx = T(0);
    T m10 = T(0);
    T m11 = T(1);
    T ty = T(0);
};

}  // namespace nevrik::graphics
