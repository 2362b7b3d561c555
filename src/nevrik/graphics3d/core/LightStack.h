#pragma once

#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"

namespace nevrik::graphics3d {

class Light;

/// The eight light slots of a context: slot i is GL_LIGHT0 + i.
///
/// Holds no references: a light leaves its slots when it is destroyed. Held
/// by value by its Context; used on the context's thread with it current.
class LightStack : public object::Object, private object::Noncopyable {
public:
    static constexpr int kSlots = 8;

    LightStack() = default;

    /// Puts `light` into slot `unit`, switching the GL light on when the slot
    /// was empty, and sends the light's parameters. Returns false, changing
    /// nothing, for a unit outside 0..7 or a null light.
    bool put(int unit, Light* light);
    /// Empties every slot holding `light` and switches those GL lights off.
    void remove(const Light* light);

    /// The light in slot `unit`; null when empty or out of range.
    Light* get(int unit) const noexcept;

private:
    Light* mLights[kSlots] = {};
};

}  // namespace nevrik::graphics3d
