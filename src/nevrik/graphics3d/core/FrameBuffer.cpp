#include "nevrik/graphics3d/core/FrameBuffer.h"

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics3d/core/Context.h"

#include <GL/glew.h>

#include <cstring>
#include <exception>
#include <vector>

namespace nevrik::graphics3d {
namespace {

// What every framebuffer-object operation here needs.
bool hasFramebufferObjects() noexcept {
    return glGenFramebuffersEXT != nullptr && glBindFramebufferEXT != nullptr &&
           glDeleteFramebuffersEXT != nullptr && glFramebufferTexture2DEXT != nullptr;
}

}  // namespace

object::Pointer<FrameBuffer> FrameBuffer::create(std::int32_t width, std::int32_t height) {
    if (!hasFramebufferObjects() || width < 1 || height < 1) {
        return nullptr;
    }
    GLuint name = 0;
    glGenFramebuffersEXT(1, &name);
    if (name == 0) {
        return nullptr;
    }
    auto frameBuffer = object::make<FrameBuffer>(name);
    frameBuffer->setSize(width, height);
    return frameBuffer;
}

FrameBuffer::~FrameBuffer() {
    if (mName == 0) {
        return;
    }
    const Context* context = Context::peek();
    if (context != nullptr && context->getCurrentFrameBuffer() == this) {
        bindDefault();
    }
    if (hasFramebufferObjects()) {
        for (const Binding& binding : mBindings) {
            attachSurface(binding, 0);
        }
    }
    mBindings.clear();
    if (glDeleteFramebuffersEXT != nullptr) {
        glDeleteFramebuffersEXT(1, &mName);
    }
}

bool FrameBuffer::check() const {
    if (mName == 0) {
        return true;
    }
    if (glCheckFramebufferStatusEXT == nullptr || glBindFramebufferEXT == nullptr) {
        return false;
    }
    GLint saved = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &saved);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, mName);
    const GLenum status = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(saved));
    return status == GL_FRAMEBUFFER_COMPLETE_EXT;
}

bool FrameBuffer::attach(Texture* texture, std::uint32_t attachment) {
    if (mName == 0 || texture == nullptr || !hasFramebufferObjects()) {
        return false;
    }
    Binding* binding = nullptr;
    for (Binding& existing : mBindings) {
        if (existing.attachment == attachment) {
            binding = &existing;
        }
    }
    if (binding == nullptr) {
        binding = &mBindings.add(Binding{nullptr, attachment});
    }
    binding->surface.reset(texture);
    attachSurface(*binding, texture->getTextureName());
    return true;
}

bool FrameBuffer::bind() {
    Context* context = Context::peek();
    if (mName == 0 || context == nullptr || !hasFramebufferObjects()) {
        return false;
    }
    if (context->getCurrentFrameBuffer() != this) {
        switchTo(*context, *this);
    }
    return true;
}

void FrameBuffer::bindDefault() {
    Context* context = Context::peek();
    if (context != nullptr && context->getCurrentFrameBuffer() != &context->getDefaultFrameBuffer()) {
        switchTo(*context, context->getDefaultFrameBuffer());
    }
}

void FrameBuffer::setSize(std::int32_t width, std::int32_t height) noexcept {
    mWidth = width;
    mHeight = height;
}

void FrameBuffer::attachSurface(const Binding& binding, std::uint32_t textureName) const {
    GLint saved = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &saved);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, mName);
    switch (binding.surface->getTarget()) {
        case GL_TEXTURE_1D:
            if (glFramebufferTexture1DEXT != nullptr) {
                glFramebufferTexture1DEXT(GL_FRAMEBUFFER_EXT, binding.attachment, GL_TEXTURE_1D, textureName,
                                          0);
            }
            break;
        case GL_TEXTURE_3D:
            if (glFramebufferTexture3DEXT != nullptr) {
                glFramebufferTexture3DEXT(GL_FRAMEBUFFER_EXT, binding.attachment, GL_TEXTURE_3D, textureName,
                                          0, 0);
            }
            break;
        case GL_TEXTURE_CUBE_MAP:
            glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, binding.attachment, GL_TEXTURE_CUBE_MAP_POSITIVE_X,
                                      textureName, 0);
            break;
        default:
            glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, binding.attachment, GL_TEXTURE_2D, textureName, 0);
            break;
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(saved));
}

void FrameBuffer::switchTo(Context& context, FrameBuffer& next) {
    if (FrameBuffer* current = context.getCurrentFrameBuffer()) {
        glGetIntegerv(GL_VIEWPORT, current->mViewport);
    }
    context.setCurrentFrameBuffer(&next);
    context.setSize(next.mWidth, next.mHeight);
    if (glBindFramebufferEXT == nullptr) {
        return;
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, next.mName);
    const std::int32_t* viewport = next.mViewport;
    if (viewport[2] > 0 && viewport[3] > 0) {
        glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    } else {
        glViewport(0, 0, next.mWidth, next.mHeight);
    }
}

object::Pointer<graphics::Image> FrameBuffer::readPixels(std::int32_t x, std::int32_t y, std::int32_t width,
                                                         std::int32_t height) {
    if (width < 1 || height < 1 || Context::current() == nullptr) {
        return {};
    }
    object::Pointer<graphics::Image> image;
    try {
        image = object::make<graphics::Bitmap>(graphics::PIXEL_RGBA8, width, height);
    } catch (const std::exception&) {
        return {};
    }
    std::uint8_t* pixels = image->lock();
    const auto pitch = static_cast<std::size_t>(image->getPitch());
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    // GL reads bottom row first; images keep the top row first.
    std::vector<std::uint8_t> row(pitch);
    for (std::int32_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        std::uint8_t* upper = pixels + static_cast<std::size_t>(top) * pitch;
        std::uint8_t* lower = pixels + static_cast<std::size_t>(bottom) * pitch;
        std::memcpy(row.data(), upper, pitch);
        std::memcpy(upper, lower, pitch);
        std::memcpy(lower, row.data(), pitch);
    }
    image->unlock();
    return image;
}

}  // namespace nevrik::graphics3d
