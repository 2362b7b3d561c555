#include "nevrik/graphics3d/IndexBuffer.h"

#include "nevrik/graphics3d/VertexBuffer.h"
#include "nevrik/object/Pointer.h"

#include "BufferState.h"
#include "GlFixture.h"

#include <cstring>

namespace nevrik::graphics3d {
namespace {

using Buffer = object::Pointer<IndexBuffer>;

Buffer make(std::uint32_t indexSize, std::uint32_t indexCount, std::uint32_t usageIndex) {
    return Buffer::adopt(IndexBuffer::create(indexSize, indexCount, usageIndex));
}

using IndexBufferTest = GlFixture;

TEST_F(IndexBufferTest, IndexSizeMustBeOneTwoOrFourBytes) {
    EXPECT_FALSE(make(3, 6, VertexBuffer::kStatic));
    EXPECT_FALSE(make(0, 6, VertexBuffer::kStatic));
    EXPECT_FALSE(make(8, 6, VertexBuffer::kStatic));
    EXPECT_FALSE(make(2, 6, 5)) << "no such usage index";
    const struct {
        std::uint32_t size;
        GLenum type;
    } sizes[] = {{1, GL_UNSIGNED_BYTE}, {2, GL_UNSIGNED_SHORT}, {4, GL_UNSIGNED_INT}};
    for (const auto& size : sizes) {
        const Buffer buffer = make(size.size, 6, VertexBuffer::kStatic);
        ASSERT_TRUE(buffer);
        EXPECT_EQ(buffer->getGlType(), static_cast<std::uint32_t>(size.type));
        EXPECT_EQ(buffer->getIndexCount(), 6u);
        ASSERT_NE(buffer->getBufferName(), 0u);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer->getBufferName());
        GLint bytes = 0;
        glGetBufferParameteriv(GL_ELEMENT_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
        EXPECT_EQ(bytes, static_cast<GLint>(6 * size.size));
    }
}

TEST_F(IndexBufferTest, IndicesReadBackAtTheirOwnWidth) {
    const std::uint32_t written[] = {0, 1, 0xFE, 0xFFFF, 0x10000, 0xFFFFFFFF};
    for (std::uint32_t size : {1u, 2u, 4u}) {
        const Buffer buffer = make(size, 6, VertexBuffer::kStatic);
        ASSERT_TRUE(buffer);
        ASSERT_TRUE(buffer->lock(VertexBuffer::kWrite));
        for (int i = 0; i < 6; ++i) {
            // Little-endian: the low bytes of each value at its own width.
            std::memcpy(buffer->getData() + i * size, &written[i], size);
        }
        ASSERT_TRUE(buffer->unlock());
        ASSERT_TRUE(buffer->lock(VertexBuffer::kRead));
        const std::uint32_t mask = size == 4 ? 0xFFFFFFFFu : (1u << (8 * size)) - 1;
        for (std::uint32_t i = 0; i < 6; ++i) {
            EXPECT_EQ(buffer->getIndex(i), written[i] & mask) << size << ' ' << i;
        }
        EXPECT_TRUE(buffer->unlock());
    }
}

TEST_F(IndexBufferTest, WithoutBufferObjectsClientMemoryTakesOver) {
    HiddenBufferObjects hidden;
    const Buffer buffer = make(2, 9, VertexBuffer::kStatic);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->getBufferName(), 0u);
    EXPECT_EQ(buffer->getUsageIndex(), VertexBuffer::kSystemMemory);
    std::uint8_t* const data = buffer->getData();
    ASSERT_NE(data, nullptr);
    ASSERT_TRUE(buffer->lock(VertexBuffer::kReadWrite));
    EXPECT_EQ(buffer->getData(), data);
    EXPECT_TRUE(buffer->unlock());

    ASSERT_TRUE(buffer->bind(*mContext));
    EXPECT_EQ(mContext->getIndexData(), data);
    EXPECT_EQ(mContext->getIndexType(), static_cast<std::uint32_t>(GL_UNSIGNED_SHORT));
    EXPECT_EQ(mContext->getIndexSize(), 2u);
}

TEST_F(IndexBufferTest, BindRecordsTheIndexBaseAndCompiledBindDoesTheSame) {
    for (std::uint32_t usage : {VertexBuffer::kStatic, VertexBuffer::kSystemMemory}) {
        const Buffer buffer = make(4, 12, usage);
        ASSERT_TRUE(buffer);
        scrambleArrayState();
        const std::string scrambled = captureArrayState();
        ASSERT_TRUE(buffer->bind(*mContext));
        EXPECT_EQ(integer(GL_ELEMENT_ARRAY_BUFFER_BINDING), static_cast<GLint>(buffer->getBufferName()));
        EXPECT_EQ(mContext->getIndexData(), buffer->getBufferName() != 0 ? nullptr : buffer->getData());
        EXPECT_EQ(mContext->getIndexType(), static_cast<std::uint32_t>(GL_UNSIGNED_INT));
        EXPECT_EQ(mContext->getIndexSize(), 4u);
        const std::string direct = captureArrayState();

        scrambleArrayState();
        // Another element array bound, so that the client-memory case must unbind it.
        const Buffer other = make(1, 1, VertexBuffer::kStatic);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, other->getBufferName());
        runCompiled([&](system::Assembler& assembler) { ASSERT_TRUE(buffer->compileBind(assembler)); });
        EXPECT_EQ(captureArrayState(), direct) << "usage index " << usage;
        EXPECT_NE(direct, scrambled);
    }
}

}  // namespace
}  // namespace nevrik::graphics3d
