#include "nevrik/graphics3d/core/Appearance.h"

#include "nevrik/graphics3d/core/Context.h"

namespace nevrik::graphics3d {

Appearance::Appearance() : mContext(Context::peek()) {
    if (mContext) {
        mMaterial.reset(&mContext->getDefaultMaterial());
        mShader.reset(&mContext->getDefaultShader());
        mBlendMode.reset(&mContext->getDefaultBlendMode());
    }
}

Appearance::~Appearance() = default;

bool Appearance::apply() {
    Context* context = Context::peek();
    if (context == nullptr) {
        return false;
    }
    if (mShader && mShader.get() != context->getCurrentShader()) {
        mShader->bind();
    }
    visitStates([context](auto& state) { context->apply(state); });
    for (int unit = 0; unit < kTextureUnits; ++unit) {
        if (mTextures[unit]) {
            mTextures[unit]->bindToUnit(unit);
        }
    }
    return true;
}

void Appearance::compile(system::Assembler& assembler) const {
    if (mShader) {
        mShader->compileBind(assembler);
    }
    visitStates([&assembler](const auto& state) { state.compile(assembler); });
    for (int unit = 0; unit < kTextureUnits; ++unit) {
        if (mTextures[unit]) {
            mTextures[unit]->compileBindToUnit(assembler, unit);
        }
    }
}

template <class Visit>
void Appearance::visitStates(const Visit& visit) const {
    if (mMaterial) {
        visit(*mMaterial);
    }
    if (mBlendMode) {
        visit(*mBlendMode);
    }
    if (mStencilMode) {
        visit(*mStencilMode);
    }
    if (mDepthMode) {
        visit(*mDepthMode);
    }
    if (mPolygonMode) {
        visit(*mPolygonMode);
    }
}

bool Appearance::setTexture(int unit, Texture* texture) noexcept {
    if (unit < 0 || unit >= kTextureUnits) {
        return false;
    }
    mTextures[unit].reset(texture);
    return true;
}

Texture* Appearance::getTexture(int unit) const noexcept {
    return unit >= 0 && unit < kTextureUnits ? mTextures[unit].get() : nullptr;
}

}  // namespace nevrik::graphics3d
