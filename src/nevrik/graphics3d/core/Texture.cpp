#include "nevrik/graphics3d/core/Texture.h"

#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/graphics3d/core/detail/TextureFormat.h"
#include "nevrik/system/Assembler.h"

#include <GL/glew.h>

static_assert(nevrik::graphics3d::Texture::kNearest == GL_NEAREST &&
              nevrik::graphics3d::Texture::kLinear == GL_LINEAR &&
              nevrik::graphics3d::Texture::kNearestMipmapNearest == GL_NEAREST_MIPMAP_NEAREST &&
              nevrik::graphics3d::Texture::kLinearMipmapNearest == GL_LINEAR_MIPMAP_NEAREST &&
              nevrik::graphics3d::Texture::kNearestMipmapLinear == GL_NEAREST_MIPMAP_LINEAR &&
              nevrik::graphics3d::Texture::kLinearMipmapLinear == GL_LINEAR_MIPMAP_LINEAR &&
              nevrik::graphics3d::Texture::kRepeat == GL_REPEAT);

namespace nevrik::graphics3d {
namespace {

// The compiled form of bindToUnit: render programs bind without comparing,
// since the record they run against is only known then.
void bindAlways(Texture* texture, int unit) noexcept {
    if (Context* context = Context::peek()) {
        context->setBoundTexture(unit, texture, texture->getTarget());
    }
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glBindTexture(texture->getTarget(), texture->getTextureName());
}

}  // namespace

Texture::Texture(std::uint32_t name, std::uint32_t target)
    : mName(name), mTarget(target), mBindingQuery(detail::bindingQueryOf(target)) {
    glBindTexture(target, name);
    // A cube map has no level of its own; its faces do.
    const GLenum level = target == GL_TEXTURE_CUBE_MAP ? GL_TEXTURE_CUBE_MAP_POSITIVE_X : target;
    GLint internalFormat = 0;
    glGetTexLevelParameteriv(level, 0, GL_TEXTURE_INTERNAL_FORMAT, &internalFormat);
    mFormat = detail::pixelFormatOf(internalFormat);
    GLint maxLevel = 0;
    glGetTexParameteriv(target, GL_TEXTURE_MAX_LEVEL, &maxLevel);
    mLevels = maxLevel + 1;
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(mMinFilter));
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(mMagFilter));
    glTexParameteri(target, GL_TEXTURE_WRAP_S, static_cast<GLint>(mWrapS));
    glTexParameteri(target, GL_TEXTURE_WRAP_T, static_cast<GLint>(mWrapT));
    glTexParameteri(target, GL_TEXTURE_WRAP_R, static_cast<GLint>(mWrapR));
    glTexParameterf(target, GL_TEXTURE_MIN_LOD, mMinLod);
    glTexParameterf(target, GL_TEXTURE_MAX_LOD, mMaxLod);
    GLint active = GL_TEXTURE0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    if (Context* context = Context::peek()) {
        context->setBoundTexture(active - GL_TEXTURE0, this, target);
    }
}

Texture::~Texture() {
    Context::forgetCurrent(this);
    glDeleteTextures(1, &mName);
}

bool Texture::bindToUnit(int unit) {
    Context* context = Context::peek();
    return context != nullptr && context->bindTexture(unit, this, mTarget, mName);
}

bool Texture::compileBindToUnit(system::Assembler& assembler, int unit) const {
    if (unit < 0 || unit >= Context::kTextureUnits) {
        return false;
    }
    assembler.callMember(&bindAlways, this, unit);
    return true;
}

void Texture::setFilter(std::uint32_t minFilter, std::uint32_t magFilter) {
    mMinFilter = minFilter;
    mMagFilter = magFilter;
    GLint previous = 0;
    glGetIntegerv(mBindingQuery, &previous);
    glBindTexture(mTarget, mName);
    glTexParameteri(mTarget, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
    glTexParameteri(mTarget, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(magFilter));
    glBindTexture(mTarget, static_cast<GLuint>(previous));
}

}  // namespace nevrik::graphics3d
