#pragma once

#include "nevrik/graphics3d/core/Context.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/system/Assembler.h"
#include "nevrik/system/Program.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <utility>

namespace nevrik::graphics3d {

// Hides the buffer-object bind entry points, core and extension, for as long
// as it lives: without them the engine sees no buffer objects at all.
class HiddenBufferObjects {
public:
    HiddenBufferObjects() noexcept { swapAll(); }
    ~HiddenBufferObjects() { swapAll(); }
    HiddenBufferObjects(const HiddenBufferObjects&) = delete;
    HiddenBufferObjects& operator=(const HiddenBufferObjects&) = delete;

private:
    void swapAll() noexcept {
        std::swap(__glewBindBuffer, mCore);
        std::swap(__glewBindBufferARB, mArb);
    }

    PFNGLBINDBUFFERPROC mCore = nullptr;
    PFNGLBINDBUFFERARBPROC mArb = nullptr;
};

// The client-array pointers and buffer bindings of the current GL context and
// the index binding of the current Context, as text naming every value.
inline std::string captureArrayState() {
    std::ostringstream text;
    auto get = [&text](std::initializer_list<GLenum> integers, GLenum pointer) {
        for (GLenum query : integers) {
            GLint value = -1;
            glGetIntegerv(query, &value);
            text << value << ' ';
        }
        void* address = nullptr;
        glGetPointerv(pointer, &address);
        text << '@' << address << "; ";
    };
    GLint activeUnit = GL_TEXTURE0;
    glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE, &activeUnit);
    get({GL_ARRAY_BUFFER_BINDING, GL_ELEMENT_ARRAY_BUFFER_BINDING, GL_CLIENT_ACTIVE_TEXTURE,
         GL_VERTEX_ARRAY_SIZE, GL_VERTEX_ARRAY_TYPE, GL_VERTEX_ARRAY_STRIDE, GL_VERTEX_ARRAY_BUFFER_BINDING},
        GL_VERTEX_ARRAY_POINTER);
    get({GL_NORMAL_ARRAY_TYPE, GL_NORMAL_ARRAY_STRIDE, GL_NORMAL_ARRAY_BUFFER_BINDING},
        GL_NORMAL_ARRAY_POINTER);
    get({GL_COLOR_ARRAY_SIZE, GL_COLOR_ARRAY_TYPE, GL_COLOR_ARRAY_STRIDE}, GL_COLOR_ARRAY_POINTER);
    get({GL_FOG_COORD_ARRAY_TYPE, GL_FOG_COORD_ARRAY_STRIDE}, GL_FOG_COORD_ARRAY_POINTER);
    get({GL_EDGE_FLAG_ARRAY_STRIDE}, GL_EDGE_FLAG_ARRAY_POINTER);
    for (int unit = 0; unit < Context::kTextureUnits; ++unit) {
        glClientActiveTexture(GL_TEXTURE0 + unit);
        get({GL_TEXTURE_COORD_ARRAY_SIZE, GL_TEXTURE_COORD_ARRAY_TYPE, GL_TEXTURE_COORD_ARRAY_STRIDE},
            GL_TEXTURE_COORD_ARRAY_POINTER);
    }
    glClientActiveTexture(activeUnit);
    const Context& context = *Context::peek();
    text << "index " << context.getIndexData() << ' ' << context.getIndexType() << ' '
         << context.getIndexSize() << " error " << glGetError();
    return text.str();
}

// Puts every value captureArrayState() reads to one no test binds.
inline void scrambleArrayState() {
    static const char kElsewhere[64] = {};
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glVertexPointer(2, GL_SHORT, 6, kElsewhere);
    glNormalPointer(GL_BYTE, 5, kElsewhere);
    glColorPointer(3, GL_UNSIGNED_BYTE, 7, kElsewhere);
    glFogCoordPointer(GL_DOUBLE, 9, kElsewhere);
    glEdgeFlagPointer(11, kElsewhere);
    for (int unit = Context::kTextureUnits - 1; unit >= 0; --unit) {
        glClientActiveTexture(GL_TEXTURE0 + unit);
        glTexCoordPointer(1, GL_INT, 13, kElsewhere);
    }
    Context::peek()->setIndexBinding(nullptr, 0, 0);
}

// Runs `body` as a render program does: between the prologue that puts the
// current Context into ESI and the epilogue, with the host's backend.
inline void runCompiled(const std::function<void(system::Assembler&)>& body) {
    using system::Command;
    system::Assembler assembler;
    assembler.push(Command::kEsi);
    assembler.callC(&Context::peek);
    assembler.move(Command::kEsi, Command::kEax);
    body(assembler);
    assembler.pop(Command::kEsi);
    assembler.ret();
    auto program = assembler.assemble();
    ASSERT_TRUE(program->run());
}

// Draws through `draw` and then through the program `compile` builds, each
// time from scrambled state, and expects the same array state both times;
// returns it.
inline std::string expectCompiledMatches(const std::function<void()>& draw,
                                         const std::function<void(system::Assembler&)>& compile) {
    scrambleArrayState();
    const std::string scrambled = captureArrayState();
    draw();
    const std::string direct = captureArrayState();
    EXPECT_NE(direct, scrambled);
    scrambleArrayState();
    runCompiled(compile);
    EXPECT_EQ(captureArrayState(), direct);
    return direct;
}

}  // namespace nevrik::graphics3d
