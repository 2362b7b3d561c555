#include "nevrik/graphics3d/core/IndexBuffer.h"

#include "nevrik/graphics3d/core/VertexBuffer.h"

#include "graphics3d/BufferState.h"
#include "graphics3d/GlFixture.h"

namespace nevrik::graphics3d {
namespace {

using Buffer = object::Pointer<IndexBuffer>;

Buffer make(std::uint32_t indexSize, std::uint32_t usage = VertexBuffer::kStatic) {
    return IndexBuffer::create(indexSize, 6, usage);
}

using IndexBufferTest = GlFixture;

TEST_F(IndexBufferTest, WithoutBufferObjectsBindRecordsTheClientMemory) {
    for (std::uint32_t size : {0u, 3u, 8u}) {
        EXPECT_FALSE(make(size)) << size;
    }
    EXPECT_FALSE(make(2, 5)) << "no such usage index";
    HiddenBufferObjects hidden;
    const Buffer buffer = make(2);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->getBufferName(), 0u);
    EXPECT_EQ(buffer->getUsageIndex(), VertexBuffer::kSystemMemory);
    ASSERT_TRUE(buffer->bind(*mContext));
    EXPECT_EQ(mContext->getIndexData(), buffer->getData());
    EXPECT_EQ(mContext->getIndexType(), static_cast<std::uint32_t>(GL_UNSIGNED_SHORT));
    EXPECT_EQ(mContext->getIndexSize(), 2u);
}

TEST_F(IndexBufferTest, CompiledBindLeavesTheStateOfADirectBind) {
    // Another element array bound first, which client memory must unbind.
    const Buffer other = make(1);
    for (std::uint32_t usage : {VertexBuffer::kStatic, VertexBuffer::kSystemMemory}) {
        SCOPED_TRACE(usage);
        const Buffer buffer = make(4, usage);
        const auto bindOther = [&] { glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, other->getBufferName()); };
        expectCompiledMatches(
            [&] {
                bindOther();
                ASSERT_TRUE(buffer->bind(*mContext));
            },
            [&](system::Assembler& assembler) {
                bindOther();
                ASSERT_TRUE(buffer->compileBind(assembler));
            });
        EXPECT_EQ(integer(GL_ELEMENT_ARRAY_BUFFER_BINDING), static_cast<GLint>(buffer->getBufferName()));
        EXPECT_EQ(mContext->getIndexData(), usage == VertexBuffer::kStatic ? nullptr : buffer->getData());
        EXPECT_EQ(mContext->getIndexSize(), 4u);
    }
}

}  // namespace
}  // namespace nevrik::graphics3d
