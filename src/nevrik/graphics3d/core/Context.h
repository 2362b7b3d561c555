#pragma once

#include "nevrik/container/Chainable.h"
#include "nevrik/graphics3d/core/BlendMode.h"
#include "nevrik/graphics3d/core/Capabilities.h"
#include "nevrik/graphics3d/core/ColourMaterial.h"
#include "nevrik/graphics3d/core/DeferQueue.h"
#include "nevrik/graphics3d/core/DepthMode.h"
#include "nevrik/graphics3d/core/FrameBuffer.h"
#include "nevrik/graphics3d/core/LightStack.h"
#include "nevrik/graphics3d/core/MatrixStack.h"
#include "nevrik/graphics3d/core/PlainShader.h"
#include "nevrik/graphics3d/core/PolygonMode.h"
#include "nevrik/graphics3d/core/StencilMode.h"
#include "nevrik/graphics3d/core/VertexFormat.h"
#include "nevrik/object/Noncopyable.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"

#include <cstddef>
#include <cstdint>

namespace nevrik::system {
class Assembler;
}

namespace nevrik::graphics3d {

class Texture;

/// The rendering layer's view of one OpenGL rendering context: default state
/// objects, a record of what is in force (state objects, client arrays,
/// textures, lights, matrix mode, framebuffer), and the queue of deferred
/// meshes. State goes to OpenGL only when it differs from the record.
///
/// Made lazily by current() for the GL context current on a thread, and kept
/// in a process-wide registry that holds a reference on every context; the
/// wrapped GL context is deleted with it. Each thread has at most one current
/// Context. A Context is used by one thread at a time, with its GL context
/// current there.
class Context : public object::Object, public container::Chainable<Context>, private object::Noncopyable {
public:
    static constexpr int kTextureUnits = VertexFormat::kTextureUnits;

    /// The calling thread's current context. Without one, the registered
    /// context wrapping the thread's current GL context becomes current, or
    /// else a new one is made (create()). Null when the thread has no GL
    /// context current.
    static Context* current();
    /// A new context for the GL context current on the calling thread,
    /// registered and made the thread's current; the first one in the
    /// process also loads the extension entry points. The pointer holds a
    /// reference of the caller's besides the registry's. Null, making
    /// nothing, when no GL context is current.
    static object::Pointer<Context> create();
    /// The calling thread's current context, or null; never makes one.
    static Context* peek() noexcept;

    /// Makes the GL context current with its drawable and this the thread's
    /// current context, and re-reads the window size. False, changing
    /// nothing, when the window system refuses.
    bool makeCurrent();
    /// Lets go of the GL context, which its owner (the OpenGL view) deletes
    /// itself: the context leaves the registry, stops being the calling
    /// thread's current one and no longer wraps it. The registry's reference
    /// goes, so the context dies unless someone else holds it.
    void dispose();

    /// Applies `state` unless it is the current one of its category; returns
    /// whether anything was sent.
    bool apply(Material& state);
    bool apply(BlendMode& state);
    bool apply(StencilMode& state);
    bool apply(DepthMode& state);
    bool apply(PolygonMode& state);

    /// Enables and disables client arrays so that exactly those of `mask` (VertexFormat's array bits)
    /// are on, in the fixed order position, normal, colour, edge flag, fog
    /// coordinate, weight, texture units 0 to 7.
    void switchArrays(std::uint32_t mask);
    /// Disables the current shader and every enabled client array.
    void releaseShaderAndArrays();
    /// Forgets which material, depth, polygon, blend and stencil modes are in
    /// force, after OpenGL state was changed behind the state objects.
    void forgetStates() noexcept;
    /// Binds texture `name` on `target` to `unit` unless `texture` is bound
    /// there already; returns whether anything was sent. False for a unit
    /// outside 0..7.
    bool bindTexture(int unit, Texture* texture, std::uint32_t target, std::uint32_t name);
    /// Records `texture` on `target` as bound to `unit` without sending
    /// anything (the caller has bound it or is about to). False for a unit
    /// outside 0..7.
    bool setBoundTexture(int unit, Texture* texture, std::uint32_t target) noexcept;

    /// Clear the current context's record of a dying state object.
    static void forgetCurrent(const Material* state) noexcept;
    static void forgetCurrent(const BlendMode* state) noexcept;
    static void forgetCurrent(const StencilMode* state) noexcept;
    static void forgetCurrent(const DepthMode* state) noexcept;
    static void forgetCurrent(const PolygonMode* state) noexcept;
    static void forgetCurrent(const Shader* shader) noexcept;
    static void forgetCurrent(const Light* light);
    /// Empties every texture unit record holding `texture`.
    static void forgetCurrent(const Texture* texture) noexcept;

    /// Records the index buffer a mesh bound last.
    void setIndexBinding(const void* data, std::uint32_t type, std::uint32_t size) noexcept;

    /// Records that compiled programs store into, through the context whose
    /// address they keep in a register.
    enum class Record {
        IndexData,
        IndexType,
        IndexSize,
        CurrentShader,
        CurrentMaterial,
        CurrentStencilMode,
        CurrentBlendMode,
        CurrentDepthMode,
        CurrentPolygonMode,
    };
    /// Byte offset of `record` from a context's address.
    static std::int32_t getOffset(Record record) noexcept;
    /// Appends to `assembler` the step that stores `value` (a current
    /// object, or null for none) into `record` of the context whose address
    /// a render program keeps in ESI.
    static void compileRecord(system::Assembler& assembler, Record record, const void* value);

    FrameBuffer& getDefaultFrameBuffer() noexcept { return mDefaultFrameBuffer; }
    FrameBuffer* getCurrentFrameBuffer() const noexcept { return mCurrentFrameBuffer; }
    void setCurrentFrameBuffer(FrameBuffer* frameBuffer) noexcept { mCurrentFrameBuffer = frameBuffer; }
    std::uint32_t getEnabledArrays() const noexcept { return mEnabledArrays; }
    PlainShader& getDefaultShader() noexcept { return mDefaultShader; }
    Shader* getCurrentShader() const noexcept { return mCurrentShader; }
    void setCurrentShader(Shader* shader) noexcept { mCurrentShader = shader; }
    ColourMaterial& getDefaultMaterial() noexcept { return mDefaultMaterial; }
    Material* getCurrentMaterial() const noexcept { return mCurrentMaterial; }
    StencilMode& getDefaultStencilMode() noexcept { return mDefaultStencilMode; }
    StencilMode* getCurrentStencilMode() const noexcept { return mCurrentStencilMode; }
    BlendMode& getDefaultBlendMode() noexcept { return mDefaultBlendMode; }
    BlendMode* getCurrentBlendMode() const noexcept { return mCurrentBlendMode; }
    DepthMode& getDefaultDepthMode() noexcept { return mDefaultDepthMode; }
    DepthMode* getCurrentDepthMode() const noexcept { return mCurrentDepthMode; }
    PolygonMode& getDefaultPolygonMode() noexcept { return mDefaultPolygonMode; }
    PolygonMode* getCurrentPolygonMode() const noexcept { return mCurrentPolygonMode; }
    MatrixStack& getMatrixStack() noexcept { return mMatrixStack; }
    LightStack& getLightStack() noexcept { return mLightStack; }
    Capabilities& getCapabilities() noexcept { return mCapabilities; }
    DeferQueue& getDeferQueue() noexcept { return mDeferQueue; }
    /// Texture and target bound on `unit`; null and 0 out of range.
    Texture* getBoundTexture(int unit) const noexcept;
    std::uint32_t getBoundTarget(int unit) const noexcept;
    const void* getIndexData() const noexcept { return mIndexData; }
    std::uint32_t getIndexType() const noexcept { return mIndexType; }
    std::uint32_t getIndexSize() const noexcept { return mIndexSize; }
    /// Width and height of the current render target.
    const std::int32_t* getSize() const noexcept { return mSize; }
    void setSize(std::int32_t width, std::int32_t height) noexcept;
    /// The window-system handles: connection, drawable and GL context.
    void* getDeviceContext() const noexcept { return mDeviceContext; }
    std::uintptr_t getWindow() const noexcept { return mWindow; }
    void* getRenderingContext() const noexcept { return mRenderingContext; }

private:
    friend object::Pointer<Context> object::make<Context>();

    Context();
    ~Context() override;

    // The window's size into the default framebuffer; false when unknown.
    bool readWindowSize();
    // Clears the current context's record `field` if it holds `state`.
    template <class T, class U>
    static void forgetField(T* Context::*field, const U* state) noexcept;

    FrameBuffer mDefaultFrameBuffer;
    FrameBuffer* mCurrentFrameBuffer;
    std::uint32_t mEnabledArrays = 0;
    PlainShader mDefaultShader;
    Shader* mCurrentShader = nullptr;
    ColourMaterial mDefaultMaterial;
    Material* mCurrentMaterial = nullptr;
    StencilMode mDefaultStencilMode;
    StencilMode* mCurrentStencilMode = nullptr;
    BlendMode mDefaultBlendMode;
    BlendMode* mCurrentBlendMode = nullptr;
    DepthMode mDefaultDepthMode;
    DepthMode* mCurrentDepthMode = nullptr;
    PolygonMode mDefaultPolygonMode;
    PolygonMode* mCurrentPolygonMode = nullptr;
    MatrixStack mMatrixStack;
    LightStack mLightStack;
    Capabilities mCapabilities;
    DeferQueue mDeferQueue;
    Texture* mBoundTextures[kTextureUnits] = {};
    std::uint32_t mBoundTargets[kTextureUnits];
    const void* mIndexData = nullptr;
    std::uint32_t mIndexType = 0;
    std::uint32_t mIndexSize = 0;
    std::int32_t mSize[2] = {0, 0};
    void* mDeviceContext = nullptr;
    std::uintptr_t mWindow = 0;
    void* mRenderingContext = nullptr;
};

// offsetof on a class with virtual functions is conditionally supported;
// GCC and Clang support it for classes without virtual bases, as here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
inline std::int32_t Context::getOffset(Record record) noexcept {
    switch (record) {
        case Record::IndexData:
            return static_cast<std::int32_t>(offsetof(Context, mIndexData));
        case Record::IndexType:
            return static_cast<std::int32_t>(offsetof(Context, mIndexType));
        case Record::IndexSize:
            return static_cast<std::int32_t>(offsetof(Context, mIndexSize));
        case Record::CurrentShader:
            return static_cast<std::int32_t>(offsetof(Context, mCurrentShader));
        case Record::CurrentMaterial:
            return static_cast<std::int32_t>(offsetof(Context, mCurrentMaterial));
        case Record::CurrentStencilMode:
            return static_cast<std::int32_t>(offsetof(Context, mCurrentStencilMode));
        case Record::CurrentBlendMode:
            return static_cast<std::int32_t>(offsetof(Context, mCurrentBlendMode));
        case Record::CurrentDepthMode:
            return static_cast<std::int32_t>(offsetof(Context, mCurrentDepthMode));
        case Record::CurrentPolygonMode:
            return static_cast<std::int32_t>(offsetof(Context, mCurrentPolygonMode));
    }
    return 0;
}
#pragma GCC diagnostic pop

}  // namespace nevrik::graphics3d
