#pragma once

#include "nevrik/container/Set.h"
#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/RenderStream.h"
#include "nevrik/graphics3d/core/Resource.h"
#include "nevrik/graphics3d/core/VertexBuffer.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/system/Assembler.h"

#include <cstdint>

namespace nevrik::graphics3d {

class BlendMode;
class DepthMode;
class IndexBuffer;
class Material;
class PolygonMode;
class Shader;
class StencilMode;
class Texture;

/// Turns a run of state changes, buffer bindings and draws into one native
/// render program. It keeps a shadow of the state the program will have set
/// at the current point, so a setter that would repeat it appends nothing.
/// The program finds its context at run time (the calling thread's current
/// one, kept in ESI); every object it names is kept alive by the
/// RenderStream that finish() returns.
///
/// Owned by value by its user (the model optimiser); the shadow state only
/// borrows its objects, which the resource set keeps alive until reset() or
/// finish(). Used on the thread of the current context.
class Compiler : public object::Object, private object::Noncopyable {
public:
    static constexpr int kTextureUnits = Context::kTextureUnits;
    static constexpr int kComponentBits = VertexBuffer::kComponentBits;

    /// Starts with an empty program holding only the prologue (see reset()).
    Compiler();

    NEVRIK_CLASS_NAME(object::Object, ":Compiler")

    /// Forgets the shadow state and the resources, empties the program, and
    /// appends the prologue: push ESI, call the routine returning the calling
    /// thread's current Context, move the result into ESI.
    void reset();

    /// Each makes the object the program's current one of its category:
    /// nothing is appended when the shadow state holds it already; otherwise
    /// the object's compiled form is appended, the object is kept as a
    /// resource and the shadow takes it. Null clears the category: when the
    /// shadow holds an object, the step leaving the context's current object
    /// of that category as none is appended and the shadow becomes none.
    void setMaterial(Material* material);
    void setBlendMode(BlendMode* blendMode);
    void setDepthMode(DepthMode* depthMode);
    void setStencilMode(StencilMode* stencilMode);
    void setPolygonMode(PolygonMode* polygonMode);
    /// As above. A new shader is bound through Shader::compileBind, which at
    /// run time disables whatever shader the context has current, so the
    /// program never inherits lighting or texturing from the shader before
    /// it. Null appends the old shader's compileUnbind (the context is left
    /// without a current shader, and the shader disabled).
    void setShader(Shader* shader);
    /// Appends IndexBuffer::compileBind unless `indexBuffer` is in force.
    /// False, changing nothing, for null or when the buffer object can no
    /// longer be bound.
    bool setIndexBuffer(IndexBuffer* indexBuffer);
    /// Appends the binding of `texture` to `unit` unless it is in force
    /// there. False, changing nothing, for null or a unit outside 0..7.
    bool setTexture(int unit, Texture* texture);
    /// Binds the components `componentBits` (array mask bits, one per
    /// component: bit i is component i) of `vertexBuffer` whose shadow holds
    /// another buffer; bits the buffer does not feed are ignored. Appends
    /// VertexBuffer::compileBind with the remaining bits, or nothing when
    /// none remain. False, changing nothing, for null or when the buffer
    /// object can no longer be bound.
    bool setVertexBuffer(VertexBuffer* vertexBuffer, std::uint32_t componentBits);

    /// Appends a call (caller-cleaned) of the routine drawing vertices
    /// `first` to `first + count` with glDrawArrays. Refused (false,
    /// appending nothing) without a shader in force, when a component of
    /// the shader's array mask has no vertex buffer in force, or when the
    /// range runs beyond any of those buffers: the program would otherwise
    /// read arrays of whatever the context had bound.
    bool drawArrays(std::uint32_t primitive, std::uint32_t first, std::uint32_t count);
    /// Appends a call (caller-cleaned) of the routine that runs
    /// glDrawElements(primitive, count, the context's index type, the
    /// context's index base + first x the context's index size). Refused
    /// (false, appending nothing) as drawArrays, and also without an index
    /// buffer in force or for a range beyond its indices.
    bool drawElements(std::uint32_t primitive, std::uint32_t first, std::uint32_t count);

    /// Appends the epilogue (pop ESI, return), assembles the program and
    /// returns a new RenderStream (the caller's reference) holding it and a
    /// reference to every resource the program uses. The compiler then
    /// starts over as after reset(). Throws object::Exception when the
    /// system refuses executable memory.
    object::Pointer<RenderStream> finish();

    /// The shadow state: what the program has set at the current point.
    Material* getMaterial() const noexcept { return mMaterial; }
    Shader* getShader() const noexcept { return mShader; }
    BlendMode* getBlendMode() const noexcept { return mBlendMode; }
    DepthMode* getDepthMode() const noexcept { return mDepthMode; }
    StencilMode* getStencilMode() const noexcept { return mStencilMode; }
    PolygonMode* getPolygonMode() const noexcept { return mPolygonMode; }
    IndexBuffer* getIndexBuffer() const noexcept { return mIndexBuffer; }
    /// Null when none is in force or out of range.
    Texture* getTexture(int unit) const noexcept;
    /// The buffer feeding component `bit` (0..19); null when none or out of range.
    VertexBuffer* getVertexBuffer(int bit) const noexcept;

    const container::Set<object::Pointer<Resource>>& getResources() const noexcept { return mResources; }
    const system::Assembler& getAssembler() const noexcept { return mAssembler; }

private:
    // The shared step of the state setters: compares, clears or compiles,
    // keeps the object and updates `shadow`.
    template <class State>
    void setState(State*& shadow, State* state, Context::Record record);
    // Whether every component of the shader's mask has a buffer holding
    // vertices up to `end` (0: any count will do).
    bool canDraw(std::uint64_t end) const noexcept;
    void keep(Resource* resource);

    container::Set<object::Pointer<Resource>> mResources;
    system::Assembler mAssembler;
    Texture* mTextures[kTextureUnits] = {};
    Material* mMaterial = nullptr;
    Shader* mShader = nullptr;
    VertexBuffer* mVertexBuffers[kComponentBits] = {};
    IndexBuffer* mIndexBuffer = nullptr;
    BlendMode* mBlendMode = nullptr;
    DepthMode* mDepthMode = nullptr;
    StencilMode* mStencilMode = nullptr;
    PolygonMode* mPolygonMode = nullptr;
};

}  // namespace nevrik::graphics3d
