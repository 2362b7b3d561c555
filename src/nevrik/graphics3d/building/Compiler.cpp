#include "nevrik/graphics3d/building/Compiler.h"

#include "nevrik/graphics3d/core/BlendMode.h"
#include "nevrik/graphics3d/core/DepthMode.h"
#include "nevrik/graphics3d/core/IndexBuffer.h"
#include "nevrik/graphics3d/core/Material.h"
#include "nevrik/graphics3d/core/PolygonMode.h"
#include "nevrik/graphics3d/core/Shader.h"
#include "nevrik/graphics3d/core/StencilMode.h"
#include "nevrik/graphics3d/core/Texture.h"
#include "nevrik/system/Command.h"
#include "nevrik/system/Program.h"

#include <GL/glew.h>

namespace nevrik::graphics3d {
namespace {

using system::Command;

// The array mask bits that name client arrays; a shader's mask may carry
// others, which no buffer feeds and no draw reads.
constexpr std::uint32_t kArrayBits = VertexFormat::kPositionArray | VertexFormat::kNormalArray |
                                     VertexFormat::kColourArray | VertexFormat::kWeightArray |
                                     VertexFormat::kFogArray | VertexFormat::kEdgeFlagArray |
                                     VertexFormat::kTextureArray * 0xFFu;

// The routines render programs call to draw. Both go through plain functions
// so that every draw is one caller-cleaned call whatever the host.

void drawArraysNow(std::uint32_t primitive, std::uint32_t first, std::uint32_t count) noexcept {
    glDrawArrays(primitive, static_cast<GLint>(first), static_cast<GLsizei>(count));
}

// Reads the index binding the program's last index buffer stored into the
// context: base null for a buffer object, whose offset is then the pointer.
void drawElementsNow(std::uint32_t primitive, std::uint32_t first, std::uint32_t count) noexcept {
    if (const Context* context = Context::peek()) {
        const auto base = reinterpret_cast<std::uintptr_t>(context->getIndexData());
        glDrawElements(primitive, static_cast<GLsizei>(count), context->getIndexType(),
                       reinterpret_cast<const void*>(base + std::uintptr_t{first} * context->getIndexSize()));
    }
}

}  // namespace

Compiler::Compiler() {
    reset();
}

void Compiler::reset() {
    mResources.clear();
    mAssembler.clear();
    for (Texture*& texture : mTextures) {
        texture = nullptr;
    }
    for (VertexBuffer*& buffer : mVertexBuffers) {
        buffer = nullptr;
    }
    mMaterial = nullptr;
    mShader = nullptr;
    mIndexBuffer = nullptr;
    mBlendMode = nullptr;
    mDepthMode = nullptr;
    mStencilMode = nullptr;
    mPolygonMode = nullptr;
    mAssembler.push(Command::kEsi);
    mAssembler.callC(&Context::peek);
    mAssembler.move(Command::kEsi, Command::kEax);
}

template <class State>
void Compiler::setState(State*& shadow, State* state, Context::Record record) {
    if (state == shadow) {
        return;
    }
    if (state == nullptr) {
        Context::compileRecord(mAssembler, record, nullptr);
    } else {
        keep(state);
        state->compile(mAssembler);
    }
    shadow = state;
}

void Compiler::setMaterial(Material* material) {
    setState(mMaterial, material, Context::Record::CurrentMaterial);
}

void Compiler::setBlendMode(BlendMode* blendMode) {
    setState(mBlendMode, blendMode, Context::Record::CurrentBlendMode);
}

void Compiler::setDepthMode(DepthMode* depthMode) {
    setState(mDepthMode, depthMode, Context::Record::CurrentDepthMode);
}

void Compiler::setStencilMode(StencilMode* stencilMode) {
    setState(mStencilMode, stencilMode, Context::Record::CurrentStencilMode);
}

void Compiler::setPolygonMode(PolygonMode* polygonMode) {
    setState(mPolygonMode, polygonMode, Context::Record::CurrentPolygonMode);
}

void Compiler::setShader(Shader* shader) {
    if (shader == mShader) {
        return;
    }
    if (shader == nullptr) {
        mShader->compileUnbind(mAssembler);
    } else {
        // compileBind disables the shader current when the program runs:
        // the first shader of a program cannot know which one that is, and
        // a shader of the same class may leave on what the next one's
        // enable() does not switch off (lighting, say).
        keep(shader);
        shader->compileBind(mAssembler);
    }
    mShader = shader;
}

bool Compiler::setIndexBuffer(IndexBuffer* indexBuffer) {
    if (indexBuffer == nullptr) {
        return false;
    }
    if (indexBuffer == mIndexBuffer) {
        return true;
    }
    if (!indexBuffer->compileBind(mAssembler)) {
        return false;
    }
    keep(indexBuffer);
    mIndexBuffer = indexBuffer;
    return true;
}

bool Compiler::setTexture(int unit, Texture* texture) {
    if (texture == nullptr || unit < 0 || unit >= kTextureUnits) {
        return false;
    }
    if (texture != mTextures[unit]) {
        texture->compileBindToUnit(mAssembler, unit);
        keep(texture);
        mTextures[unit] = texture;
    }
    return true;
}

bool Compiler::setVertexBuffer(VertexBuffer* vertexBuffer, std::uint32_t componentBits) {
    if (vertexBuffer == nullptr) {
        return false;
    }
    std::uint32_t changed = 0;
    const std::uint32_t bits = componentBits & vertexBuffer->getComponentMask();
    for (int bit = 0; bit < kComponentBits; ++bit) {
        if ((bits >> bit & 1u) != 0 && mVertexBuffers[bit] != vertexBuffer) {
            changed |= 1u << bit;
        }
    }
    if (changed == 0) {
        return true;
    }
    if (!vertexBuffer->compileBind(mAssembler, changed)) {
        return false;
    }
    keep(vertexBuffer);
    for (int bit = 0; bit < kComponentBits; ++bit) {
        if ((changed >> bit & 1u) != 0) {
            mVertexBuffers[bit] = vertexBuffer;
        }
    }
    return true;
}

bool Compiler::canDraw(std::uint64_t end) const noexcept {
    if (mShader == nullptr) {
        return false;
    }
    const std::uint32_t arrays = mShader->getArrayMask() & kArrayBits;
    for (int bit = 0; bit < kComponentBits; ++bit) {
        if ((arrays >> bit & 1u) != 0 &&
            (mVertexBuffers[bit] == nullptr || mVertexBuffers[bit]->getVertexCount() < end)) {
            return false;
        }
    }
    return true;
}

bool Compiler::drawArrays(std::uint32_t primitive, std::uint32_t first, std::uint32_t count) {
    if (!canDraw(std::uint64_t{first} + count)) {
        return false;
    }
    mAssembler.callC(&drawArraysNow, primitive, first, count);
    return true;
}

bool Compiler::drawElements(std::uint32_t primitive, std::uint32_t first, std::uint32_t count) {
    // The indices themselves are the buffer's business: which vertices they
    // name is only known by reading them.
    if (mIndexBuffer == nullptr || std::uint64_t{first} + count > mIndexBuffer->getIndexCount() ||
        !canDraw(0)) {
        return false;
    }
    mAssembler.callC(&drawElementsNow, primitive, first, count);
    return true;
}

object::Pointer<RenderStream> Compiler::finish() {
    mAssembler.pop(Command::kEsi);
    mAssembler.ret();
    object::Pointer<system::Program> program;
    try {
        program = mAssembler.assemble();
    } catch (...) {
        // The epilogue is in the list now; start over rather than end twice.
        reset();
        throw;
    }
    auto stream = object::make<RenderStream>();
    stream->setProgram(program.get());
    for (const auto& node : mResources) {
        stream->addResource(node.getKey().get());
    }
    reset();
    return stream;
}

Texture* Compiler::getTexture(int unit) const noexcept {
    return unit >= 0 && unit < kTextureUnits ? mTextures[unit] : nullptr;
}

VertexBuffer* Compiler::getVertexBuffer(int bit) const noexcept {
    return bit >= 0 && bit < kComponentBits ? mVertexBuffers[bit] : nullptr;
}

void Compiler::keep(Resource* resource) {
    mResources.insert(object::Pointer<Resource>(resource));
}

}  // namespace nevrik::graphics3d
