#pragma once

#include "nevrik/graphics3d/Context.h"
#include "nevrik/graphics3d/detail/BufferStorage.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/system/Assembler.h"
#include "nevrik/system/Program.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>

namespace nevrik::graphics3d {

// Hides the buffer-object entry points, core and extension, for as long as
// it lives, as a driver without them would.
class HiddenBufferObjects {
public:
    HiddenBufferObjects() noexcept { swapAll(); }
    ~HiddenBufferObjects() { swapAll(); }
    HiddenBufferObjects(const HiddenBufferObjects&) = delete;
    HiddenBufferObjects& operator=(const HiddenBufferObjects&) = delete;

private:
    // Trades GLEW's entry points for the saved ones (none at first).
    void swapAll() noexcept {
        swapFamily(__glewGenBuffers, __glewBindBuffer, __glewBufferData, __glewDeleteBuffers, __glewMapBuffer,
                   __glewUnmapBuffer, mCore);
        swapFamily(__glewGenBuffersARB, __glewBindBufferARB, __glewBufferDataARB, __glewDeleteBuffersARB,
                   __glewMapBufferARB, __glewUnmapBufferARB, mArb);
    }

    static void swapFamily(PFNGLGENBUFFERSPROC& generate, PFNGLBINDBUFFERPROC& bind,
                           PFNGLBUFFERDATAPROC& data, PFNGLDELETEBUFFERSPROC& erase, PFNGLMAPBUFFERPROC& map,
                           PFNGLUNMAPBUFFERPROC& unmap, detail::BufferCalls& saved) noexcept {
        std::swap(generate, saved.generate);
        std::swap(bind, saved.bind);
        std::swap(data, saved.data);
        std::swap(erase, saved.erase);
        std::swap(map, saved.map);
        std::swap(unmap, saved.unmap);
    }

    detail::BufferCalls mCore;
    detail::BufferCalls mArb;
};

// The client-array pointer state of the current GL context and the index
// binding of the current Context, as text that names every value.
inline std::string captureArrayState() {
    std::ostringstream text;
    auto integers = [&text](const char* name, std::initializer_list<GLenum> queries) {
        text << name << '(';
        for (GLenum query : queries) {
            GLint value = -1;
            glGetIntegerv(query, &value);
            text << value << ' ';
        }
        text << ") ";
    };
    auto pointer = [&text](GLenum query) {
        void* value = nullptr;
        glGetPointerv(query, &value);
        text << "@" << value << ' ';
    };
    GLint activeUnit = GL_TEXTURE0;
    glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE, &activeUnit);
    integers("buffers", {GL_ARRAY_BUFFER_BINDING, GL_ELEMENT_ARRAY_BUFFER_BINDING, GL_CLIENT_ACTIVE_TEXTURE});
    integers("vertex", {GL_VERTEX_ARRAY_SIZE, GL_VERTEX_ARRAY_TYPE, GL_VERTEX_ARRAY_STRIDE,
                        GL_VERTEX_ARRAY_BUFFER_BINDING});
    pointer(GL_VERTEX_ARRAY_POINTER);
    integers("normal", {GL_NORMAL_ARRAY_TYPE, GL_NORMAL_ARRAY_STRIDE, GL_NORMAL_ARRAY_BUFFER_BINDING});
    pointer(GL_NORMAL_ARRAY_POINTER);
    integers("colour", {GL_COLOR_ARRAY_SIZE, GL_COLOR_ARRAY_TYPE, GL_COLOR_ARRAY_STRIDE,
                        GL_COLOR_ARRAY_BUFFER_BINDING});
    pointer(GL_COLOR_ARRAY_POINTER);
    integers("fog", {GL_FOG_COORD_ARRAY_TYPE, GL_FOG_COORD_ARRAY_STRIDE});
    pointer(GL_FOG_COORD_ARRAY_POINTER);
    integers("edge", {GL_EDGE_FLAG_ARRAY_STRIDE, GL_EDGE_FLAG_ARRAY_BUFFER_BINDING});
    pointer(GL_EDGE_FLAG_ARRAY_POINTER);
    for (int unit = 0; unit < Context::kTextureUnits; ++unit) {
        glClientActiveTexture(GL_TEXTURE0 + unit);
        integers("texture", {GL_TEXTURE_COORD_ARRAY_SIZE, GL_TEXTURE_COORD_ARRAY_TYPE,
                             GL_TEXTURE_COORD_ARRAY_STRIDE, GL_TEXTURE_COORD_ARRAY_BUFFER_BINDING});
        pointer(GL_TEXTURE_COORD_ARRAY_POINTER);
    }
    glClientActiveTexture(activeUnit);
    if (const Context* context = Context::peek()) {
        text << "index(" << context->getIndexData() << ' ' << context->getIndexType() << ' '
             << context->getIndexSize() << ')';
    }
    text << " error " << glGetError();
    return text.str();
}

// Puts every client pointer and binding captureArrayState() reads back to
// values no test binds, and forgets the Context's index binding.
inline void scrambleArrayState() {
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    static const char kElsewhere[64] = {};
    glVertexPointer(2, GL_SHORT, 6, kElsewhere);
    glNormalPointer(GL_BYTE, 5, kElsewhere);
    glColorPointer(3, GL_UNSIGNED_BYTE, 7, kElsewhere);
    glFogCoordPointer(GL_DOUBLE, 9, kElsewhere);
    glEdgeFlagPointer(11, kElsewhere);
    for (int unit = Context::kTextureUnits - 1; unit >= 0; --unit) {
        glClientActiveTexture(GL_TEXTURE0 + unit);
        glTexCoordPointer(1, GL_INT, 13, kElsewhere);
    }
    if (Context* context = Context::peek()) {
        context->setIndexBinding(nullptr, 0, 0);
    }
}

// Assembles `body` between the render programs' prologue (the current
// Context into ESI) and epilogue, and runs it with the native backend when
// the host has one, else with the interpreter.
inline void runCompiled(const std::function<void(system::Assembler&)>& body) {
    using system::Command;
    system::Assembler assembler;
    assembler.push(Command::kEsi);
    assembler.callC(&Context::peek);
    assembler.move(Command::kEsi, Command::kEax);
    body(assembler);
    assembler.pop(Command::kEsi);
    assembler.ret();
    auto program = object::Pointer<system::Program>::adopt(assembler.assemble());
    ASSERT_TRUE(program->run());
}

}  // namespace nevrik::graphics3d
