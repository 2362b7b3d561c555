#include "nevrik/graphics3d/core/MatrixStack.h"

#include "graphics3d/GlFixture.h"

namespace nevrik::graphics3d {
namespace {

using MatrixStackTest = GlFixture;

TEST_F(MatrixStackTest, TextureModeSelectsTheUnitsTextureMatrix) {
    MatrixStack& stack = mContext->getMatrixStack();
    EXPECT_EQ(stack.getMode(), 0u);
    stack.setMode(GL_TEXTURE0 + 2);
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE2);
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_TEXTURE);
    stack.setMode(GL_PROJECTION);
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_PROJECTION);
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE2) << "the unit stays";
}

TEST_F(MatrixStackTest, LoadSwitchesToModelViewAndTransposesTheRowMajorMatrix) {
    MatrixStack& stack = mContext->getMatrixStack();
    stack.setMode(GL_PROJECTION);
    math::Matrix4<float> matrix;
    matrix(0, 3) = 5.0f;
    matrix(1, 3) = 6.0f;
    matrix(2, 0) = 0.5f;
    stack.load(matrix);
    EXPECT_EQ(stack.getMode(), static_cast<std::uint32_t>(GL_MODELVIEW));
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_MODELVIEW);
    float loaded[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, loaded);
    // OpenGL keeps columns: the translation is in elements 12 and 13.
    EXPECT_EQ(loaded[12], 5.0f);
    EXPECT_EQ(loaded[13], 6.0f);
    EXPECT_EQ(loaded[2], 0.5f);
}

TEST_F(MatrixStackTest, PushLoadsTheIdentityAndPopRestores) {
    MatrixStack& stack = mContext->getMatrixStack();
    math::Matrix4<float> matrix;
    matrix(0, 3) = 3.0f;
    stack.load(matrix);
    const GLint depth = integer(GL_MODELVIEW_STACK_DEPTH);
    stack.push(GL_MODELVIEW);
    EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), depth + 1);
    float top[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, top);
    EXPECT_EQ(top[12], 0.0f);
    stack.pop(GL_MODELVIEW);
    glGetFloatv(GL_MODELVIEW_MATRIX, top);
    EXPECT_EQ(top[12], 3.0f);

    stack.push(GL_PROJECTION);
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_PROJECTION);
    EXPECT_EQ(integer(GL_PROJECTION_STACK_DEPTH), 2);
    stack.pop(GL_PROJECTION);
    EXPECT_EQ(integer(GL_PROJECTION_STACK_DEPTH), 1);
}

}  // namespace
}  // namespace nevrik::graphics3d
