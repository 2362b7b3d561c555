#pragma once

#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/system/Assembler.h"

#include "BufferState.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <sstream>
#include <string>
#include <utility>

namespace nevrik::graphics3d {

inline GLint integerOf(GLenum query) {
    GLint value = 0;
    glGetIntegerv(query, &value);
    return value;
}

// Every piece of fixed-function state the state objects, shaders and
// textures send, and the current Context's records of them, as text.
inline std::string captureRenderState() {
    std::ostringstream text;
    for (GLenum capability : {GL_BLEND, GL_ALPHA_TEST, GL_DEPTH_TEST, GL_STENCIL_TEST, GL_CULL_FACE,
                              GL_LIGHTING, GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_COLOR_ARRAY}) {
        text << (glIsEnabled(capability) == GL_TRUE ? '+' : '-');
    }
    auto floats = [&text](const GLfloat* values, int count) {
        for (int i = 0; i < count; ++i) {
            text << ' ' << values[i];
        }
    };
    // Each query with the number of values it gives.
    const std::pair<GLenum, int> queries[] = {
        {GL_BLEND_SRC, 1},
        {GL_BLEND_DST, 1},
        {GL_BLEND_EQUATION, 1},
        {GL_BLEND_COLOR, 4},
        {GL_ALPHA_TEST_FUNC, 1},
        {GL_ALPHA_TEST_REF, 1},
        {GL_DEPTH_FUNC, 1},
        {GL_DEPTH_WRITEMASK, 1},
        {GL_DEPTH_RANGE, 2},
        {GL_STENCIL_FUNC, 1},
        {GL_STENCIL_REF, 1},
        {GL_STENCIL_VALUE_MASK, 1},
        {GL_STENCIL_WRITEMASK, 1},
        {GL_STENCIL_FAIL, 1},
        {GL_STENCIL_PASS_DEPTH_FAIL, 1},
        {GL_STENCIL_PASS_DEPTH_PASS, 1},
        {GL_POLYGON_MODE, 2},
        {GL_POLYGON_OFFSET_FACTOR, 1},
        {GL_POLYGON_OFFSET_UNITS, 1},
        {GL_CULL_FACE_MODE, 1},
        {GL_LIGHT_MODEL_LOCAL_VIEWER, 1},
        {GL_LIGHT_MODEL_TWO_SIDE, 1},
        {GL_CURRENT_COLOR, 4},
        {GL_ACTIVE_TEXTURE, 1},
    };
    for (const auto& [query, count] : queries) {
        GLfloat values[4] = {};
        glGetFloatv(query, values);
        floats(values, count);
    }
    for (GLenum face : {GL_FRONT, GL_BACK}) {
        for (GLenum colour : {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_EMISSION, GL_SHININESS}) {
            GLfloat values[4] = {};
            glGetMaterialfv(face, colour, values);
            floats(values, colour == GL_SHININESS ? 1 : 4);
        }
    }
    const GLint active = integerOf(GL_ACTIVE_TEXTURE);
    const GLint clientActive = integerOf(GL_CLIENT_ACTIVE_TEXTURE);
    for (int unit = 0; unit < Context::kTextureUnits; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glClientActiveTexture(GL_TEXTURE0 + unit);
        GLint mode = 0;
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
        text << " unit " << glIsEnabled(GL_TEXTURE_2D) << glIsEnabled(GL_TEXTURE_COORD_ARRAY) << ' ' << mode
             << ' ' << integerOf(GL_TEXTURE_BINDING_2D);
    }
    glActiveTexture(static_cast<GLenum>(active));
    glClientActiveTexture(static_cast<GLenum>(clientActive));
    if (const Context* context = Context::peek()) {
        text << " records " << context->getCurrentMaterial() << ' ' << context->getCurrentBlendMode() << ' '
             << context->getCurrentStencilMode() << ' ' << context->getCurrentDepthMode() << ' '
             << context->getCurrentPolygonMode() << ' ' << context->getCurrentShader() << ' '
             << context->getEnabledArrays();
        for (int unit = 0; unit < Context::kTextureUnits; ++unit) {
            text << ' ' << context->getBoundTexture(unit) << ':' << context->getBoundTarget(unit);
        }
    }
    text << " error " << glGetError();
    return text.str();
}

// Puts every value captureRenderState() reads to one that no state object
// of the tests sends, and empties the current Context's records.
inline void scrambleRenderState() {
    Context* context = Context::peek();
    ASSERT_NE(context, nullptr);
    context->releaseShaderAndArrays();
    context->forgetStates();
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_COLOR, GL_SRC_COLOR);
    glBlendEquation(GL_FUNC_SUBTRACT);
    glBlendColor(0.125f, 0.25f, 0.375f, 0.5f);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_NEVER, 0.875f);
    glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
    glDepthMask(GL_FALSE);
    glDepthRange(0.25, 0.75);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_NEVER, 3, 0x0F);
    glStencilMask(0xF0);
    glStencilOp(GL_ZERO, GL_INCR, GL_DECR);
    glPolygonMode(GL_FRONT, GL_POINT);
    glPolygonMode(GL_BACK, GL_LINE);
    glPolygonOffset(3.0f, 4.0f);
    glDisable(GL_CULL_FACE);
    glCullFace(GL_FRONT_AND_BACK);
    const GLfloat odd[4] = {0.375f, 0.625f, 0.125f, 0.875f};
    for (GLenum colour : {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_EMISSION}) {
        glMaterialfv(GL_FRONT_AND_BACK, colour, odd);
    }
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 7.0f);
    glColor4f(0.5f, 0.25f, 0.75f, 0.125f);
    glEnable(GL_LIGHTING);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    for (int unit = Context::kTextureUnits - 1; unit >= 0; --unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glBindTexture(GL_TEXTURE_2D, 0);
        context->setBoundTexture(unit, nullptr, GL_TEXTURE_2D);
    }
    glActiveTexture(GL_TEXTURE3);
}

// Expects that `compile`, run as a render program, leaves the same state as `apply` does from the same start.
inline void expectCompiledLikeApplied(const std::function<void()>& apply,
                                      const std::function<void(system::Assembler&)>& compile) {
    scrambleRenderState();
    apply();
    const std::string applied = captureRenderState();
    scrambleRenderState();
    runCompiled(compile);
    EXPECT_EQ(captureRenderState(), applied);
}

// The colour of window pixel (x, y), counted from the bottom left, in the
// back buffer the tests draw into.
inline std::array<int, 3> pixelAt(int x, int y) {
    glFinish();
    GLubyte rgba[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

// Whether two colours differ by at most `tolerance` in every channel.
inline bool near(const std::array<int, 3>& actual, const std::array<int, 3>& expected, int tolerance = 2) {
    for (int i = 0; i < 3; ++i) {
        if (actual[i] < expected[i] - tolerance || actual[i] > expected[i] + tolerance) {
            return false;
        }
    }
    return true;
}

// Identity matrices, the whole window as viewport, and a cleared black back
// buffer: a vertex's x and y are then its place in the window, -1 to 1.
inline void prepareDrawing(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDrawBuffer(GL_BACK);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// A quad from (x0, y0) to (x1, y1) in window units (-1 to 1) at depth z,
// facing the viewer, with texture coordinates 0 to 1 over it.
inline void drawQuad(float x0, float y0, float x1, float y1, float z = 0.0f) {
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(x0, y0, z);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(x1, y0, z);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(x1, y1, z);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(x0, y1, z);
    glEnd();
}

}  // namespace nevrik::graphics3d
