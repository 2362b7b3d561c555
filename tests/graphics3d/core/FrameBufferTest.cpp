#include "nevrik/graphics3d/core/FrameBuffer.h"

#include "nevrik/graphics/PixelFormat.h"
#include "nevrik/graphics3d/core/Texture2D.h"
#include "nevrik/object/Pointer.h"

#include "graphics3d/GlFixture.h"

#include <array>
#include <utility>

namespace nevrik::graphics3d {
namespace {

using FrameBufferTest = GlFixture;
using Buffer = object::Pointer<FrameBuffer>;

// Hides one entry point for as long as it lives, as a driver without it would.
template <class F>
class Hidden {
public:
    explicit Hidden(F& entry) noexcept : mEntry(entry) { std::swap(mEntry, mSaved); }
    ~Hidden() { std::swap(mEntry, mSaved); }
    Hidden(const Hidden&) = delete;
    Hidden& operator=(const Hidden&) = delete;

private:
    F& mEntry;
    F mSaved = nullptr;
};

std::array<GLint, 4> viewport() {
    std::array<GLint, 4> values{};
    glGetIntegerv(GL_VIEWPORT, values.data());
    return values;
}

object::Pointer<Texture2D> colourTexture() {
    return Texture2D::create(graphics::PIXEL_RGBA8, 16, 8, 1);
}

TEST_F(FrameBufferTest, AttachedTexturesMakeItCompleteAndValidityKeepsTheBinding) {
    const Buffer buffer = FrameBuffer::create(16, 8);
    ASSERT_TRUE(buffer);
    EXPECT_FALSE(buffer->check()) << "nothing attached: incomplete";
    const auto replaced = colourTexture();
    const auto texture = colourTexture();
    ASSERT_TRUE(buffer->attach(replaced.get(), GL_COLOR_ATTACHMENT0_EXT));
    ASSERT_TRUE(buffer->attach(texture.get(), GL_COLOR_ATTACHMENT0_EXT));
    EXPECT_EQ(buffer->getBindings().getCount(), 1);
    EXPECT_EQ(replaced->getReferenceCount(), 1);
    EXPECT_FALSE(mContext->getDefaultFrameBuffer().attach(texture.get(), GL_COLOR_ATTACHMENT0_EXT));
    EXPECT_TRUE(buffer->check());
    EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING_EXT), 0);
    EXPECT_TRUE(mContext->getDefaultFrameBuffer().check());

    const Hidden<PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC> hidden(__glewCheckFramebufferStatusEXT);
    EXPECT_FALSE(buffer->check());
    EXPECT_TRUE(mContext->getDefaultFrameBuffer().check()) << "the window's needs no support";
}

TEST_F(FrameBufferTest, BindingAndReturningToTheWindowKeepEachViewport) {
    glViewport(0, 0, 64, 48);
    const Buffer buffer = FrameBuffer::create(16, 8);
    const auto texture = colourTexture();
    buffer->attach(texture.get(), GL_COLOR_ATTACHMENT0_EXT);
    ASSERT_TRUE(buffer->bind());
    EXPECT_EQ(mContext->getCurrentFrameBuffer(), buffer.get());
    EXPECT_EQ(mContext->getSize()[0], 16);
    EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING_EXT), static_cast<GLint>(buffer->getFramebufferName()));
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 16, 8}));
    glViewport(1, 2, 3, 4);

    FrameBuffer::bindDefault();
    EXPECT_EQ(mContext->getCurrentFrameBuffer(), &mContext->getDefaultFrameBuffer());
    EXPECT_EQ(mContext->getSize()[0], 64);
    EXPECT_EQ(mContext->getSize()[1], 48);
    EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING_EXT), 0);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 64, 48}));
    EXPECT_EQ(buffer->getViewport()[2], 3);

    ASSERT_TRUE(buffer->bind());
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{1, 2, 3, 4}));
    EXPECT_FALSE(mContext->getDefaultFrameBuffer().bind());
}

TEST_F(FrameBufferTest, WithoutTheEntryPointReturningToTheWindowOnlyChangesTheRecords) {
    FrameBuffer offscreen(9);
    offscreen.setSize(4, 4);
    mContext->setCurrentFrameBuffer(&offscreen);
    glViewport(0, 0, 5, 5);
    {
        const Hidden<PFNGLBINDFRAMEBUFFEREXTPROC> hidden(__glewBindFramebufferEXT);
        FrameBuffer::bindDefault();
    }
    EXPECT_EQ(mContext->getCurrentFrameBuffer(), &mContext->getDefaultFrameBuffer());
    EXPECT_EQ(mContext->getSize()[0], 64);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 5, 5}));
}

TEST_F(FrameBufferTest, DestroyingTheCurrentOneReturnsToTheWindowAndLetsGoOfItsTextures) {
    auto buffer = FrameBuffer::create(16, 8);
    const auto texture = colourTexture();
    buffer->attach(texture.get(), GL_COLOR_ATTACHMENT0_EXT);
    EXPECT_EQ(texture->getReferenceCount(), 2);
    buffer->bind();
    const GLuint name = buffer->getFramebufferName();
    buffer.reset();
    EXPECT_EQ(mContext->getCurrentFrameBuffer(), &mContext->getDefaultFrameBuffer());
    EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING_EXT), 0);
    EXPECT_EQ(glIsFramebufferEXT(name), GL_FALSE);
    EXPECT_EQ(texture->getReferenceCount(), 1);
    EXPECT_EQ(glIsTexture(texture->getTextureName()), GL_TRUE);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
}  // namespace nevrik::graphics3d
