#include "nevrik/graphics3d/core/Context.h"

#include "nevrik/container/Chain.h"
#include "nevrik/graphics3d/core/Light.h"
#include "nevrik/graphics3d/core/VertexFormat.h"
#include "nevrik/platform/GlContext.h"
#include "nevrik/system/Assembler.h"
#include "nevrik/system/Mutex.h"

#include <GL/glew.h>

namespace nevrik::graphics3d {
namespace {

// Every context of the process, holding a reference on each. Contexts are
// made on every window's own thread, hence the lock.
struct Registry {
    system::Mutex mutex;
    container::Chain<Context> contexts;
};

Registry& registry() {
    // Never destroyed: contexts may still leave it while statics die.
    static auto* sRegistry = new Registry();
    return *sRegistry;
}

// Set once the extension entry points are loaded; guarded by the registry.
bool sEntryPointsLoaded = false;

thread_local Context* tCurrent = nullptr;

// The client arrays other than texture coordinates, in switching order.
struct ClientArray {
    std::uint32_t bit;
    GLenum state;
};
constexpr ClientArray kClientArrays[] = {
    {VertexFormat::kPositionArray, GL_VERTEX_ARRAY},    {VertexFormat::kNormalArray, GL_NORMAL_ARRAY},
    {VertexFormat::kColourArray, GL_COLOR_ARRAY},       {VertexFormat::kEdgeFlagArray, GL_EDGE_FLAG_ARRAY},
    {VertexFormat::kFogArray, GL_FOG_COORDINATE_ARRAY}, {VertexFormat::kWeightArray, GL_WEIGHT_ARRAY_ARB},
};

void setClientArray(GLenum array, bool on) {
    if (on) {
        glEnableClientState(array);
    } else {
        glDisableClientState(array);
    }
}

// Turns each array on or off that is in one mask and not in the other.
void switchClientArrays(std::uint32_t from, std::uint32_t to) {
    for (const ClientArray& array : kClientArrays) {
        if (((from ^ to) & array.bit) != 0) {
            setClientArray(array.state, (to & array.bit) != 0);
        }
    }
    for (int unit = 0; unit < Context::kTextureUnits; ++unit) {
        const std::uint32_t bit = VertexFormat::kTextureArray << unit;
        if (((from ^ to) & bit) != 0) {
            glClientActiveTexture(GL_TEXTURE0 + unit);
            setClientArray(GL_TEXTURE_COORD_ARRAY, (to & bit) != 0);
        }
    }
}

// The one rule of the state cache: send a state object only when it is not
// the one in force.
template <class T>
bool applyState(T*& current, T& state) {
    if (current == &state) {
        return false;
    }
    current = &state;
    state.apply();
    return true;
}

}  // namespace

Context* Context::current() {
    if (tCurrent != nullptr) {
        return tCurrent;
    }
    void* const rendering = platform::GlContext::current().context;
    if (rendering == nullptr) {
        return nullptr;
    }
    {
        Registry& all = registry();
        system::Mutex::Guard guard(all.mutex);
        for (Context* context : all.contexts) {
            if (context->mRenderingContext == rendering) {
                tCurrent = context;
                return context;
            }
        }
    }
    // The registry keeps the new context once the pointer goes.
    return create().get();
}

object::Pointer<Context> Context::create() {
    const platform::GlContext::Binding binding = platform::GlContext::current();
    if (binding.context == nullptr) {
        return nullptr;
    }
    auto context = object::make<Context>();
    context->mRenderingContext = binding.context;
    context->mDeviceContext = binding.display;
    context->mWindow = binding.drawable;
    context->readWindowSize();
    context->mSize[0] = context->mDefaultFrameBuffer.getWidth();
    context->mSize[1] = context->mDefaultFrameBuffer.getHeight();
    {
        Registry& all = registry();
        system::Mutex::Guard guard(all.mutex);
        all.contexts.add(context.get());
    }
    tCurrent = context.get();
    return context;
}

Context* Context::peek() noexcept {
    return tCurrent;
}

Context::Context()
    : mCurrentFrameBuffer(&mDefaultFrameBuffer),
      mDefaultShader(VertexFormat::kPositionArray),
      mDeferQueue(this) {
    for (std::uint32_t& target : mBoundTargets) {
        target = GL_TEXTURE_2D;
    }
    Registry& all = registry();
    system::Mutex::Guard guard(all.mutex);
    if (!sEntryPointsLoaded) {
        // Only what the driver announces; a failure shows later as missing
        // optional entry points.
        glewExperimental = GL_FALSE;
        glewInit();
        sEntryPointsLoaded = true;
    }
}

Context::~Context() {
    // The default state objects die below and must not find this context
    // half destroyed as the current one.
    if (tCurrent == this) {
        tCurrent = nullptr;
    }
    platform::GlContext::destroy(mDeviceContext, mRenderingContext);
}

bool Context::makeCurrent() {
    if (!platform::GlContext::makeCurrent({mDeviceContext, mWindow, mRenderingContext})) {
        return false;
    }
    if (readWindowSize() && mCurrentFrameBuffer == &mDefaultFrameBuffer) {
        setSize(mDefaultFrameBuffer.getWidth(), mDefaultFrameBuffer.getHeight());
    }
    tCurrent = this;
    return true;
}

void Context::dispose() {
    if (tCurrent == this) {
        tCurrent = nullptr;
    }
    mRenderingContext = nullptr;
    mDeviceContext = nullptr;
    mWindow = 0;
    Registry& all = registry();
    system::Mutex::Guard guard(all.mutex);
    all.contexts.remove(this);
}

bool Context::apply(Material& state) {
    return applyState(mCurrentMaterial, state);
}
bool Context::apply(BlendMode& state) {
    return applyState(mCurrentBlendMode, state);
}
bool Context::apply(StencilMode& state) {
    return applyState(mCurrentStencilMode, state);
}
bool Context::apply(DepthMode& state) {
    return applyState(mCurrentDepthMode, state);
}
bool Context::apply(PolygonMode& state) {
    return applyState(mCurrentPolygonMode, state);
}

void Context::switchArrays(std::uint32_t mask) {
    if (mask == mEnabledArrays) {
        return;
    }
    const std::uint32_t previous = mEnabledArrays;
    mEnabledArrays = mask;
    switchClientArrays(previous, mask);
}

void Context::releaseShaderAndArrays() {
    if (mCurrentShader != nullptr) {
        mCurrentShader->disable();
        mCurrentShader = nullptr;
    }
    switchArrays(0);
}

void Context::forgetStates() noexcept {
    mCurrentMaterial = nullptr;
    mCurrentDepthMode = nullptr;
    mCurrentPolygonMode = nullptr;
    mCurrentBlendMode = nullptr;
    mCurrentStencilMode = nullptr;
}

bool Context::bindTexture(int unit, Texture* texture, std::uint32_t target, std::uint32_t name) {
    if (getBoundTexture(unit) == texture || !setBoundTexture(unit, texture, target)) {
        return false;
    }
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(target, name);
    return true;
}

bool Context::setBoundTexture(int unit, Texture* texture, std::uint32_t target) noexcept {
    if (unit < 0 || unit >= kTextureUnits) {
        return false;
    }
    mBoundTextures[unit] = texture;
    mBoundTargets[unit] = target;
    return true;
}

template <class T, class U>
void Context::forgetField(T* Context::*field, const U* state) noexcept {
    if (tCurrent != nullptr && tCurrent->*field == state) {
        tCurrent->*field = nullptr;
    }
}

void Context::forgetCurrent(const Material* state) noexcept {
    forgetField(&Context::mCurrentMaterial, state);
}
void Context::forgetCurrent(const BlendMode* state) noexcept {
    forgetField(&Context::mCurrentBlendMode, state);
}
void Context::forgetCurrent(const StencilMode* state) noexcept {
    forgetField(&Context::mCurrentStencilMode, state);
}
void Context::forgetCurrent(const DepthMode* state) noexcept {
    forgetField(&Context::mCurrentDepthMode, state);
}
void Context::forgetCurrent(const PolygonMode* state) noexcept {
    forgetField(&Context::mCurrentPolygonMode, state);
}
void Context::forgetCurrent(const Shader* shader) noexcept {
    forgetField(&Context::mCurrentShader, shader);
}

void Context::forgetCurrent(const Light* light) {
    if (tCurrent != nullptr) {
        tCurrent->mLightStack.remove(light);
    }
}

void Context::forgetCurrent(const Texture* texture) noexcept {
    if (tCurrent == nullptr || texture == nullptr) {
        return;
    }
    for (Texture*& bound : tCurrent->mBoundTextures) {
        if (bound == texture) {
            bound = nullptr;
        }
    }
}

void Context::setIndexBinding(const void* data, std::uint32_t type, std::uint32_t size) noexcept {
    mIndexData = data;
    mIndexType = type;
    mIndexSize = size;
}

void Context::compileRecord(system::Assembler& assembler, Record record, const void* value) {
    using system::Command;
    assembler.load(Command::kEdx, value);
    assembler.store(Command::kEsi, getOffset(record), Command::kEdx);
}

Texture* Context::getBoundTexture(int unit) const noexcept {
    return unit >= 0 && unit < kTextureUnits ? mBoundTextures[unit] : nullptr;
}

std::uint32_t Context::getBoundTarget(int unit) const noexcept {
    return unit >= 0 && unit < kTextureUnits ? mBoundTargets[unit] : 0;
}

void Context::setSize(std::int32_t width, std::int32_t height) noexcept {
    mSize[0] = width;
    mSize[1] = height;
}

bool Context::readWindowSize() {
    int width = 0;
    int height = 0;
    if (!platform::GlContext::getDrawableSize(mDeviceContext, mWindow, width, height)) {
        return false;
    }
    mDefaultFrameBuffer.setSize(width, height);
    return true;
}

}  // namespace nevrik::graphics3d
