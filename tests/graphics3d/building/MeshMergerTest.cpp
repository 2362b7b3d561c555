#include "nevrik/graphics3d/building/MeshMerger.h"

#include "nevrik/graphics3d/building/Compiler.h"
#include "nevrik/graphics3d/building/MemoryException.h"
#include "nevrik/graphics3d/core/BufferLock.h"
#include "nevrik/graphics3d/core/PlainShader.h"

#include "graphics3d/GlFixture.h"
#include "graphics3d/MeshData.h"

#include <cstring>
#include <utility>
#include <vector>

namespace nevrik::graphics3d {
namespace {

using Tuple = MeshMerger::Tuple;

Tuple tupleOf(std::initializer_list<VertexBuffer*> buffers) {
    Tuple tuple;
    for (VertexBuffer* buffer : buffers) {
        EXPECT_TRUE(MeshMerger::addToTuple(tuple, buffer));
    }
    return tuple;
}

// `count` positions whose x counts up from `start`.
object::Pointer<VertexBuffer> positionsFrom(float start, std::uint32_t count) {
    std::vector<float> xyz;
    for (std::uint32_t i = 0; i < count; ++i) {
        xyz.insert(xyz.end(), {start + static_cast<float>(i), 0.5f, -0.5f});
    }
    return makePositions(xyz);
}

template <class T, class Buffer>
std::vector<T> contentOf(Buffer& buffer, std::uint32_t bytes) {
    BufferLock<Buffer> lock(buffer, VertexBuffer::kRead);
    EXPECT_TRUE(lock.isLocked());
    std::vector<T> values(bytes / sizeof(T));
    std::memcpy(values.data(), buffer.getData(), bytes);
    return values;
}

std::vector<float> floatsOf(VertexBuffer& buffer) {
    return contentOf<float>(buffer, buffer.getVertexCount() * buffer.getStride());
}

std::vector<std::uint16_t> shortsOf(IndexBuffer& buffer) {
    EXPECT_EQ(buffer.getIndexSize(), 2u);
    return contentOf<std::uint16_t>(buffer, buffer.getIndexCount() * 2);
}

class MeshMergerTest : public GlFixture {
protected:
    MeshMerger mMerger;
};

TEST_F(MeshMergerTest, TupleHoldsEachDistinctBufferOnceInSlotOrder) {
    const auto a = positionsFrom(0, 1);
    const auto b = positionsFrom(0, 1);
    object::Pointer<VertexBuffer> slots[VertexBuffer::kComponentBits];
    slots[0] = b;
    slots[2] = a;
    slots[12] = b;
    EXPECT_TRUE(MeshMerger::makeTuple(slots) == tupleOf({b.get(), a.get()}));
    Tuple full;
    for (auto& slot : slots) {
        slot = positionsFrom(0, 1);
        MeshMerger::addToTuple(full, slot.get());
    }
    const Tuple before = full;
    EXPECT_FALSE(MeshMerger::addToTuple(full, a.get())) << "seventeenth buffer";
    EXPECT_TRUE(full == before);
}

TEST_F(MeshMergerTest, EqualFormatsShareABufferUpToTheVertexLimit) {
    ASSERT_TRUE(mMerger.setMaxVertices(10));
    const auto four = positionsFrom(0, 4);
    const auto six = positionsFrom(10, 6);
    const auto one = positionsFrom(20, 1);
    const auto colours = makeVertices(TypeWord::kFloat4, VertexFormat::kColourArray, std::vector<float>(8));
    const std::pair<VertexBuffer*, std::uint32_t> cases[] = {
        {four.get(), 0}, {six.get(), 4}, {one.get(), 0}, {colours.get(), 0}, {six.get(), 4}};
    for (const auto& [buffer, first] : cases) {
        const auto mapping = mMerger.registerVertices(tupleOf({buffer}));
        ASSERT_TRUE(mapping);
        EXPECT_EQ(mapping->first, first) << "4 + 6 fill the limit; then a new buffer, and one per format";
        EXPECT_EQ(mapping->count, buffer->getVertexCount());
    }
    ASSERT_TRUE(mMerger.build());
    VertexBuffer* shared = mMerger.getVertexMapping(tupleOf({six.get()}))->buffer;
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(mMerger.getVertexMapping(tupleOf({four.get()}))->buffer, shared);
    EXPECT_NE(mMerger.getVertexMapping(tupleOf({one.get()}))->buffer, shared);
    EXPECT_EQ(shared->getUsageIndex(), VertexBuffer::kStatic);
    const std::vector<float> floats = floatsOf(*shared);
    ASSERT_EQ(floats.size(), 30u);
    EXPECT_EQ(floats[9], 3.0f);
    EXPECT_EQ(floats[12], 10.0f) << "the second tuple follows the first";
}

TEST_F(MeshMergerTest, InterleavesInTupleOrderKeepingGapsAndPaddingShortBuffers) {
    VertexFormat padded;
    padded.add(TypeWord::kFloat3, VertexFormat::kPositionArray);
    padded.set(1, TypeWord::make(TypeWord::kFloat, 1), 0);  // four bytes nothing reads
    const auto positions = VertexBuffer::create(padded, 3, VertexBuffer::kStatic);
    ASSERT_TRUE(positions->lock(VertexBuffer::kReplace));
    const float values[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    std::memcpy(positions->getData(), values, sizeof values);
    ASSERT_TRUE(positions->unlock());
    const auto coordinates =
        makeVertices(TypeWord::kFloat2, VertexFormat::kTextureArray, std::vector<float>{7, 8, 9, 0});
    const Tuple tuple = tupleOf({positions.get(), coordinates.get()});
    EXPECT_EQ(mMerger.registerVertices(tuple)->count, 3u) << "the longest buffer counts";
    ASSERT_TRUE(mMerger.build());
    VertexBuffer& merged = *mMerger.getVertexMapping(tuple)->buffer;
    EXPECT_EQ(merged.getStride(), 24u);
    EXPECT_EQ(merged.getComponent(12).offset, 16u) << "coordinates after the gap";
    EXPECT_EQ(floatsOf(merged),
              (std::vector<float>{1, 2, 3, 4, 7, 8, 5, 6, 7, 8, 9, 0, 9, 10, 11, 12, 0, 0}));
    EXPECT_FALSE(mMerger.registerVertices(tupleOf({coordinates.get()}))) << "a new tuple after build";
    EXPECT_FALSE(mMerger.build()) << "built already";
}

TEST_F(MeshMergerTest, NothingToMergeRegistersNothing) {
    VertexFormat format;
    format.add(TypeWord::kFloat3, VertexFormat::kPositionArray);
    const auto none = VertexBuffer::create(format, 0, VertexBuffer::kStatic);
    const auto empty = IndexBuffer::create(2, 0, VertexBuffer::kStatic);
    const auto three = positionsFrom(0, 3);
    const auto indices = makeIndices(2, {0, 1, 2});
    EXPECT_FALSE(mMerger.registerVertices(tupleOf({none.get()})));
    EXPECT_FALSE(mMerger.registerVertices(Tuple()));
    EXPECT_FALSE(mMerger.registerIndices(indices.get(), tupleOf({none.get()})));
    EXPECT_FALSE(mMerger.registerIndices(empty.get(), tupleOf({three.get()})));
    EXPECT_FALSE(mMerger.registerIndices(nullptr, tupleOf({three.get()})));
    EXPECT_FALSE(mMerger.getIndexMapping(indices.get()));
    EXPECT_FALSE(mMerger.getVertexMapping(tupleOf({three.get()})))
        << "a refused index buffer leaves its tuple out";
    EXPECT_EQ(none->getReferenceCount(), 1);
    EXPECT_EQ(indices->getReferenceCount(), 1);
}

TEST_F(MeshMergerTest, IndicesAreRebasedAndKeepTheirFirstMapping) {
    ASSERT_TRUE(mMerger.setMaxIndices(6));
    const auto four = positionsFrom(0, 4);
    const auto six = positionsFrom(10, 6);
    const auto first = makeIndices(2, {0, 1, 2});
    const auto second = makeIndices(2, {0, 5, 3});
    const auto third = makeIndices(2, {3, 2, 1, 0});
    ASSERT_TRUE(mMerger.registerIndices(first.get(), tupleOf({four.get()})));
    const auto rebased = mMerger.registerIndices(second.get(), tupleOf({six.get()}));
    EXPECT_EQ(rebased->first, 3u);
    EXPECT_EQ(rebased->firstVertex, 4u);
    EXPECT_EQ(mMerger.registerIndices(third.get(), tupleOf({four.get()}))->first, 0u) << "over the limit";
    EXPECT_EQ(mMerger.registerIndices(second.get(), tupleOf({four.get()}))->firstVertex, 4u)
        << "the first stands";
    ASSERT_TRUE(mMerger.build());
    IndexBuffer& shared = *mMerger.getIndexMapping(first.get())->buffer;
    EXPECT_EQ(mMerger.getIndexMapping(second.get())->buffer, &shared);
    EXPECT_EQ(shortsOf(shared), (std::vector<std::uint16_t>{0, 1, 2, 4, 9, 7}));

    // Byte indices of a tuple placed past vertex 255 need a wider merged size.
    MeshMerger wide;
    const auto bytes = makeIndices(1, {0, 2, 1});
    ASSERT_TRUE(wide.registerVertices(tupleOf({positionsFrom(0, 300).get()})));
    EXPECT_EQ(wide.registerIndices(bytes.get(), tupleOf({four.get()}))->firstVertex, 300u);
    ASSERT_TRUE(wide.build());
    EXPECT_EQ(shortsOf(*wide.getIndexMapping(bytes.get())->buffer),
              (std::vector<std::uint16_t>{300, 302, 301}));

    mMerger.clear();
    EXPECT_EQ(first->getReferenceCount(), 1) << "clear lets go of the sources";
    EXPECT_FALSE(mMerger.getIndexMapping(first.get()));
}

TEST_F(MeshMergerTest, UnreadableSourceThrowsAndLeavesNothingBuilt) {
    const auto positions = positionsFrom(0, 3);
    const Tuple tuple = tupleOf({positions.get()});
    ASSERT_TRUE(mMerger.registerVertices(tuple));
    ASSERT_TRUE(positions->lock(VertexBuffer::kWrite));
    try {
        mMerger.build();
        ADD_FAILURE() << "a locked source cannot be read";
    } catch (const MemoryException& exception) {
        EXPECT_STREQ(exception.what(), "MemoryException");
    }
    EXPECT_EQ(mMerger.getVertexMapping(tuple)->buffer, nullptr);
    ASSERT_TRUE(positions->unlock());
    ASSERT_TRUE(mMerger.build());
    EXPECT_NE(mMerger.getVertexMapping(tuple)->buffer, nullptr);
}

// Drawn through a compiled program at their mapped places, the merged
// buffers light the columns the sources' indices name.
TEST_F(MeshMergerTest, MergedBuffersDrawWhatTheirSourcesDrew) {
    const std::vector<float> corners = columnCorners();
    const auto left = makePositions({corners.begin(), corners.begin() + 24});  // columns 0 and 1
    const auto right = makePositions({corners.begin() + 24, corners.end()});   // columns 2 and 3
    const auto leftIndices = makeIndices(2, {4, 5, 6, 4, 6, 7});               // column 1
    const auto rightIndices = makeIndices(1, {4, 5, 6, 4, 6, 7});              // column 3
    ASSERT_TRUE(mMerger.registerIndices(leftIndices.get(), tupleOf({left.get()})));
    ASSERT_TRUE(mMerger.registerIndices(rightIndices.get(), tupleOf({right.get()})));
    ASSERT_TRUE(mMerger.build());

    const auto shader = object::make<PlainShader>(VertexFormat::kPositionArray);
    Compiler compiler;
    compiler.setShader(shader.get());
    const auto vertices = mMerger.getVertexMapping(tupleOf({right.get()}));
    EXPECT_EQ(vertices->first, 8u);
    ASSERT_TRUE(compiler.setVertexBuffer(vertices->buffer, VertexFormat::kPositionArray));
    for (const IndexBuffer* source : {leftIndices.get(), rightIndices.get()}) {
        const auto mapping = mMerger.getIndexMapping(source);
        ASSERT_TRUE(compiler.setIndexBuffer(mapping->buffer));
        ASSERT_TRUE(compiler.drawElements(GL_TRIANGLES, mapping->first, mapping->count));
    }
    compiler.setShader(nullptr);
    clearView();
    ASSERT_TRUE(compiler.finish()->draw());
    EXPECT_EQ(litColumns(), "0101");
}

}  // namespace
}  // namespace nevrik::graphics3d
