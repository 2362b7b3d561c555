#include "nevrik/graphics3d/core/Context.h"

#include "nevrik/graphics3d/core/BlendMode.h"
#include "nevrik/graphics3d/core/FixedShader.h"
#include "nevrik/graphics3d/core/PlainShader.h"

#include "graphics3d/GlFixture.h"

#include <thread>

namespace nevrik::graphics3d {
namespace {

using ContextTest = GlFixture;

TEST_F(ContextTest, CurrentWrapsTheGlContextOnceAndFindsItFromAFreshThread) {
    EXPECT_EQ(Context::current(), mContext);
    EXPECT_EQ(Context::peek(), mContext);
    EXPECT_EQ(mContext->getRenderingContext(), mRendering);
    EXPECT_EQ(mContext->getWindow(), mWindow.getId());
    EXPECT_EQ(mContext->getReferenceCount(), 1) << "only the registry holds it";

    ASSERT_TRUE(platform::GlContext::makeCurrent({mWindow.getConnection(), 0, nullptr}));
    Context* found = nullptr;
    Context* before = nullptr;
    std::thread other([&] {
        // A new thread knows no context yet; the registry does.
        if (platform::GlContext::makeCurrent(binding())) {
            before = Context::peek();
            found = Context::current();
            platform::GlContext::makeCurrent({mWindow.getConnection(), 0, nullptr});
        }
    });
    other.join();
    EXPECT_EQ(before, nullptr);
    EXPECT_EQ(found, mContext);
    ASSERT_TRUE(mContext->makeCurrent());
}

TEST_F(ContextTest, WithoutAGlContextThereIsNoContext) {
    std::thread other([] {
        EXPECT_EQ(Context::current(), nullptr);
        EXPECT_EQ(Context::create().get(), nullptr);
    });
    other.join();
}

TEST_F(ContextTest, StartsWithTheDefaultsOfAFreshContext) {
    EXPECT_EQ(mContext->getSize()[0], 64);
    EXPECT_EQ(mContext->getSize()[1], 48);
    EXPECT_EQ(mContext->getDefaultFrameBuffer().getHeight(), 48);
    EXPECT_EQ(mContext->getCurrentFrameBuffer(), &mContext->getDefaultFrameBuffer());
    EXPECT_EQ(mContext->getEnabledArrays(), 0u);
    EXPECT_EQ(mContext->getDefaultShader().getArrayMask(), VertexFormat::kPositionArray);
    EXPECT_EQ(mContext->getDefaultShader().getFlags(), 0u);
    EXPECT_EQ(mContext->getCurrentShader(), nullptr);
    EXPECT_EQ(mContext->getCurrentBlendMode(), nullptr);
    EXPECT_EQ(mContext->getDeferQueue().getContext(), mContext);
    for (int unit = 0; unit < Context::kTextureUnits; ++unit) {
        EXPECT_EQ(mContext->getBoundTarget(unit), static_cast<std::uint32_t>(GL_TEXTURE_2D));
        EXPECT_EQ(mContext->getBoundTexture(unit), nullptr);
    }
    EXPECT_EQ(mContext->getBoundTarget(Context::kTextureUnits), 0u);
    EXPECT_NE(glActiveTexture, nullptr) << "the entry points were loaded";
}

TEST_F(ContextTest, MakeCurrentKeepsTheRenderTargetSizeWhileAFramebufferObjectIsBound) {
    FrameBuffer offscreen(7);
    mContext->setCurrentFrameBuffer(&offscreen);
    mContext->setSize(16, 16);
    mWindow.setClientSize(80, 60);
    ASSERT_TRUE(mContext->makeCurrent());
    EXPECT_EQ(mContext->getDefaultFrameBuffer().getWidth(), 80);
    EXPECT_EQ(mContext->getSize()[0], 16);
    EXPECT_EQ(mContext->getSize()[1], 16);

    mContext->setCurrentFrameBuffer(&mContext->getDefaultFrameBuffer());
    ASSERT_TRUE(mContext->makeCurrent());
    EXPECT_EQ(mContext->getSize()[0], 80);
    EXPECT_EQ(mContext->getSize()[1], 60);
}

TEST_F(ContextTest, SameStateTwiceIsSentOnceUntilTheStatesAreForgotten) {
    BlendMode blend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_TRUE(mContext->apply(blend));
    EXPECT_TRUE(isEnabled(GL_BLEND));
    glDisable(GL_BLEND);
    EXPECT_FALSE(mContext->apply(blend));
    EXPECT_FALSE(isEnabled(GL_BLEND)) << "nothing was sent the second time";

    mContext->forgetStates();
    EXPECT_EQ(mContext->getCurrentBlendMode(), nullptr);
    EXPECT_TRUE(mContext->apply(blend));
    EXPECT_TRUE(isEnabled(GL_BLEND));

    EXPECT_TRUE(mContext->apply(mContext->getDefaultBlendMode()));
    EXPECT_FALSE(isEnabled(GL_BLEND)) << "(GL_ONE, GL_ZERO) is opaque";
    EXPECT_TRUE(mContext->apply(mContext->getDefaultDepthMode()));
    EXPECT_TRUE(isEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(integer(GL_DEPTH_FUNC), GL_LEQUAL);
}

TEST_F(ContextTest, DyingStateObjectsLeaveTheRecord) {
    {
        BlendMode blend(GL_SRC_ALPHA, GL_ONE);
        FixedShader shader(VertexFormat::kPositionArray);
        mContext->apply(blend);
        shader.bind();
        EXPECT_EQ(mContext->getCurrentShader(), &shader);
    }
    EXPECT_EQ(mContext->getCurrentBlendMode(), nullptr);
    EXPECT_EQ(mContext->getCurrentShader(), nullptr);
}

TEST_F(ContextTest, SwitchingShadersDisablesExactlyTheArraysTheNewOneLacks) {
    PlainShader textured(VertexFormat::kPositionArray | VertexFormat::kNormalArray |
                         VertexFormat::kTextureArray);
    PlainShader plain(VertexFormat::kPositionArray);
    PlainShader thirdUnit(VertexFormat::kTextureArray << 2);
    auto unitArray = [](int unit) {
        glClientActiveTexture(GL_TEXTURE0 + unit);
        return isEnabled(GL_TEXTURE_COORD_ARRAY);
    };

    ASSERT_TRUE(textured.bind());
    EXPECT_TRUE(isEnabled(GL_VERTEX_ARRAY));
    EXPECT_TRUE(isEnabled(GL_NORMAL_ARRAY));
    EXPECT_TRUE(unitArray(0));

    ASSERT_TRUE(plain.bind());
    EXPECT_EQ(mContext->getEnabledArrays(), VertexFormat::kPositionArray);
    EXPECT_TRUE(isEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(isEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(unitArray(0));
    EXPECT_FALSE(isEnabled(GL_COLOR_ARRAY));

    ASSERT_TRUE(thirdUnit.bind());
    EXPECT_FALSE(isEnabled(GL_VERTEX_ARRAY));
    EXPECT_TRUE(unitArray(2));
    EXPECT_FALSE(unitArray(1));
}

TEST_F(ContextTest, ReleasingTheShaderDisablesItAndEveryArray) {
    FixedShader lit(VertexFormat::kPositionArray | VertexFormat::kColourArray, FixedShader::kLighting);
    lit.bind();
    EXPECT_TRUE(isEnabled(GL_LIGHTING));
    Shader::unbind();
    EXPECT_FALSE(isEnabled(GL_LIGHTING));
    EXPECT_EQ(mContext->getCurrentShader(), nullptr);
    EXPECT_EQ(mContext->getEnabledArrays(), 0u);
    EXPECT_FALSE(isEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(isEnabled(GL_COLOR_ARRAY));
}

TEST_F(ContextTest, TextureIsBoundOnlyWhenTheUnitHoldsAnother) {
    GLuint names[2] = {};
    glGenTextures(2, names);
    auto* first = reinterpret_cast<Texture*>(&names[0]);
    EXPECT_TRUE(mContext->bindTexture(1, first, GL_TEXTURE_2D, names[0]));
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE1);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(names[0]));
    glBindTexture(GL_TEXTURE_2D, names[1]);
    EXPECT_FALSE(mContext->bindTexture(1, first, GL_TEXTURE_2D, names[0]));
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(names[1])) << "nothing was sent";
    EXPECT_FALSE(mContext->bindTexture(Context::kTextureUnits, first, GL_TEXTURE_2D, names[0]));
    EXPECT_EQ(mContext->getBoundTexture(1), first);
    glDeleteTextures(2, names);
}

}  // namespace
}  // namespace nevrik::graphics3d
