#pragma once

#include "nevrik/math/Matrix4.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"

#include <cstdint>

namespace nevrik::graphics3d {

/// Tracks the OpenGL matrix mode so that it is switched only when it changes;
/// texture units count as modes of their own (GL_TEXTURE0 + i selects unit
/// i's texture matrix).
///
/// Held by value by its Context; used on the context's thread with the
/// context current.
class MatrixStack : public object::Object, private object::Noncopyable {
public:
    MatrixStack() = default;

    /// Selects `mode`: GL_MODELVIEW, GL_PROJECTION, or GL_TEXTURE0 + i for
    /// the texture matrix of unit i. Always sends it.
    void setMode(std::uint32_t mode);
    /// Loads `matrix` (row-major) as the model-view matrix.
    void load(const math::Matrix4<float>& matrix);
    /// Selects `mode` if it is not selected, then pushes and loads the identity.
    void push(std::uint32_t mode);
    /// Selects `mode` if it is not selected, then pops.
    void pop(std::uint32_t mode);

    /// The mode selected last; 0 before the first.
    std::uint32_t getMode() const noexcept { return mMode; }

private:
    void select(std::uint32_t mode);

    std::uint32_t mMode = 0;
};

}  // namespace nevrik::graphics3d
