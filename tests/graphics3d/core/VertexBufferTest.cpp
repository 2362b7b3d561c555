#include "nevrik/graphics3d/core/VertexBuffer.h"

#include "nevrik/graphics3d/core/TypeWord.h"

#include "graphics3d/BufferState.h"
#include "graphics3d/GlFixture.h"

#include <cstring>
#include <vector>

namespace nevrik::graphics3d {
namespace {

using Buffer = object::Pointer<VertexBuffer>;

// Position, normal, one coordinate pair for all texture units, and the
// entries named in `extra`.
Buffer make(std::uint32_t usage, std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> extra = {}) {
    VertexFormat format;
    format.add(TypeWord::kFloat3, VertexFormat::kPositionArray);
    format.add(TypeWord::kFloat3, VertexFormat::kNormalArray);
    format.add(TypeWord::kFloat2, 0xFF000);
    for (const auto& [type, mask] : extra) {
        format.add(type, mask);
    }
    return VertexBuffer::create(format, 4, usage);
}

const void* pointerOf(GLenum query, int unit = 0) {
    glClientActiveTexture(GL_TEXTURE0 + unit);
    void* value = nullptr;
    glGetPointerv(query, &value);
    return value;
}

const void* at(std::uintptr_t offset) {
    return reinterpret_cast<const void*>(offset);
}

using VertexBufferTest = GlFixture;

TEST_F(VertexBufferTest, BindSetsThePointersOfPresentComponentsAtTheirOffsets) {
    // Neither of the last two feeds anything: an unknown scalar, five components.
    const Buffer buffer = make(VertexBuffer::kStatic, {{TypeWord::make(TypeWord::kUChar, 1), 0x100},
                                                       {TypeWord::make(24, 1), VertexFormat::kColourArray},
                                                       {TypeWord::make(TypeWord::kFloat, 5), 0x80}});
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->getComponentMask(), 0xFF105u);
    EXPECT_EQ(buffer->getComponent(19).offset, 24u);
    EXPECT_EQ(buffer->getFormat().getEntry(3)->glType, static_cast<std::uint32_t>(GL_UNSIGNED_BYTE));

    scrambleArrayState();
    const void* colour = pointerOf(GL_COLOR_ARRAY_POINTER);
    ASSERT_TRUE(buffer->bind(~0u));
    EXPECT_EQ(integer(GL_ARRAY_BUFFER_BINDING), static_cast<GLint>(buffer->getBufferName()));
    EXPECT_EQ(pointerOf(GL_VERTEX_ARRAY_POINTER), at(0));
    EXPECT_EQ(integer(GL_VERTEX_ARRAY_STRIDE), 61);
    EXPECT_EQ(pointerOf(GL_NORMAL_ARRAY_POINTER), at(12));
    EXPECT_EQ(pointerOf(GL_EDGE_FLAG_ARRAY_POINTER), at(32)) << "its own offset";
    EXPECT_EQ(pointerOf(GL_TEXTURE_COORD_ARRAY_POINTER, 5), at(24));
    EXPECT_EQ(integer(GL_TEXTURE_COORD_ARRAY_SIZE), 2);
    EXPECT_EQ(pointerOf(GL_COLOR_ARRAY_POINTER), colour) << "no colour in the buffer";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(VertexBufferTest, WithoutBufferObjectsClientMemoryTakesOver) {
    scrambleArrayState();
    HiddenBufferObjects hidden;
    const Buffer buffer = make(VertexBuffer::kStatic);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->getBufferName(), 0u);
    EXPECT_EQ(buffer->getUsageIndex(), VertexBuffer::kSystemMemory);
    std::uint8_t* const data = buffer->getData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::vector<std::uint8_t>(data, data + 128), std::vector<std::uint8_t>(128, 0));
    EXPECT_FALSE(buffer->lock(4)) << "no such mode";
    ASSERT_TRUE(buffer->lock(VertexBuffer::kRead));
    EXPECT_FALSE(buffer->lock(VertexBuffer::kWrite)) << "locked already";
    EXPECT_EQ(buffer->getData(), data);
    EXPECT_TRUE(buffer->unlock());
    EXPECT_FALSE(buffer->unlock()) << "not locked";
    ASSERT_TRUE(buffer->bind(~0u));
    EXPECT_EQ(pointerOf(GL_NORMAL_ARRAY_POINTER), data + 12);
}

TEST_F(VertexBufferTest, UsageThatTheDriverRefusesEndsInClientMemory) {
    EXPECT_EQ(make(VertexBuffer::kSystemMemory)->getBufferName(), 0u);
    const Buffer refused = make(VertexBuffer::kNoUsage);
    EXPECT_EQ(refused->getUsageIndex(), VertexBuffer::kSystemMemory);
    EXPECT_NE(refused->getData(), nullptr);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "no error left behind";
    EXPECT_FALSE(make(5));
}

TEST_F(VertexBufferTest, CompiledBindLeavesTheStateOfADirectBind) {
    for (std::uint32_t usage : {VertexBuffer::kStatic, VertexBuffer::kSystemMemory}) {
        SCOPED_TRACE(usage);
        const Buffer buffer =
            make(usage, {{TypeWord::kFloat4, VertexFormat::kColourArray},
                         {TypeWord::make(TypeWord::kFloat, 1), VertexFormat::kFogArray},
                         {TypeWord::make(TypeWord::kUChar, 1), VertexFormat::kEdgeFlagArray}});
        expectCompiledMatches(
            [&] { ASSERT_TRUE(buffer->bind(~0u)); },
            [&](system::Assembler& assembler) { ASSERT_TRUE(buffer->compileBind(assembler, ~0u)); });
    }
}

TEST_F(VertexBufferTest, MakingAndDroppingBuffersLeavesNoGlNames) {
    std::vector<GLuint> names;
    for (int i = 0; i < 10000; ++i) {
        const Buffer buffer = make(VertexBuffer::kStatic);
        ASSERT_EQ(glIsBuffer(buffer->getBufferName()), GL_TRUE);
        names.push_back(buffer->getBufferName());
    }
    int alive = 0;
    for (GLuint name : names) {
        alive += glIsBuffer(name) == GL_TRUE ? 1 : 0;
    }
    EXPECT_EQ(alive, 0);
}

}  // namespace
}  // namespace nevrik::graphics3d
