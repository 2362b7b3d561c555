#pragma once

#include "nevrik/graphics3d/core/ConstantList.h"
#include "nevrik/graphics3d/core/Resource.h"

#include <cstdint>

namespace nevrik::system {
class Assembler;
}

namespace nevrik::graphics3d {

/// Decides which client vertex arrays a draw needs (its array mask) and sets
/// up the pipeline for it. This base sets up nothing.
///
/// Shared by reference among appearances; the Context owns a default plain
/// shader. A shader destroyed while current stops being current. Used on
/// the thread of the current context.
class Shader : public Resource {
public:
    explicit Shader(std::uint32_t arrayMask = 0) noexcept : mArrayMask(arrayMask) {}
    ~Shader() override;

    NEVRIK_CLASS_NAME(Resource, ":Shader")

    virtual void enable() const {}
    virtual void disable() const {}
    /// Appends to `assembler` what enable() does: here a call of enable() on
    /// this shader; subclasses append their OpenGL calls inline.
    virtual void compileEnable(system::Assembler& assembler) const;
    /// The same for disable().
    virtual void compileDisable(system::Assembler& assembler) const;

    /// Makes this the current context's shader: the previous one is
    /// disabled, the client arrays switch to this one's mask, and this one is
    /// enabled. Callers skip it when the shader is current already. False,
    /// doing nothing, without a current context.
    bool bind();
    /// Disables the current shader and every enabled client array of the
    /// current context (before drawing that bypasses the state objects).
    static void unbind();

    /// Appends what bind() does, for the context a render program keeps in
    /// ESI: the shader current when the program runs is disabled, the client
    /// arrays switch to this mask, this becomes the current shader, and the
    /// calls of compileEnable() follow.
    void compileBind(system::Assembler& assembler) const;
    /// Appends the step that leaves that context without a current shader,
    /// then the calls of this shader's compileDisable().
    void compileUnbind(system::Assembler& assembler) const;

    /// Constants for the pipeline; the fixed-function shaders have none.
    ConstantList& getConstants() noexcept { return mConstants; }
    std::uint32_t getArrayMask() const noexcept { return mArrayMask; }
    void setArrayMask(std::uint32_t mask) noexcept { mArrayMask = mask; }

private:
    ConstantList mConstants;
    std::uint32_t mArrayMask;
};

}  // namespace nevrik::graphics3d
