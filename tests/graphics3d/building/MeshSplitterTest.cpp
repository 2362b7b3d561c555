#include "nevrik/graphics3d/building/MeshSplitter.h"

#include "nevrik/graphics3d/building/UnsupportedPrimitiveException.h"
#include "nevrik/graphics3d/core/IndexMesh.h"

#include "graphics3d/GlFixture.h"
#include "graphics3d/MeshData.h"

namespace nevrik::graphics3d {
namespace {

using Pieces = container::Array<object::Pointer<Mesh>>;

// `count` positions whose x is the vertex number (exact in a float) and
// whose y alternates, so that neighbours make no degenerate triangle.
std::vector<float> numberedPositions(std::uint32_t count) {
    std::vector<float> xyz(3 * std::size_t{count});
    for (std::uint32_t vertex = 0; vertex < count; ++vertex) {
        xyz[3 * vertex] = static_cast<float>(vertex);
        xyz[3 * vertex + 1] = static_cast<float>(vertex % 2);
    }
    return xyz;
}

// The x, that is the original vertex number, of every index of the mesh's
// triangle soup.
std::vector<std::uint32_t> soup(const Mesh& mesh) {
    const auto made = mesh.createTriangleMesh();
    std::vector<std::uint32_t> numbers;
    if (made) {
        for (unsigned int index : made->getIndices()) {
            numbers.push_back(static_cast<std::uint32_t>(made->getVertices()[static_cast<int>(index)][0]));
        }
    }
    return numbers;
}

std::vector<std::uint32_t> soupOfAll(const Pieces& pieces) {
    std::vector<std::uint32_t> numbers;
    for (const auto& piece : pieces) {
        const std::vector<std::uint32_t> part = soup(*piece);
        numbers.insert(numbers.end(), part.begin(), part.end());
    }
    return numbers;
}

// The x of every vertex of slot 0.
std::vector<std::uint32_t> positionsOf(const Mesh& mesh) {
    VertexBuffer* buffer = dynamic_cast<const VertexMesh&>(mesh).getVertexBuffer(0);
    std::vector<std::uint32_t> numbers;
    EXPECT_TRUE(buffer->lock(VertexBuffer::kRead));
    const auto* xyz = reinterpret_cast<const float*>(buffer->getData());
    for (std::uint32_t vertex = 0; vertex < buffer->getVertexCount(); ++vertex) {
        numbers.push_back(static_cast<std::uint32_t>(xyz[3 * vertex]));
    }
    EXPECT_TRUE(buffer->unlock());
    return numbers;
}

std::vector<std::uint32_t> indicesOf(const Mesh& mesh) {
    IndexBuffer* buffer = dynamic_cast<const IndexMesh&>(mesh).getIndexBuffer();
    std::vector<std::uint32_t> indices;
    EXPECT_TRUE(buffer->lock(VertexBuffer::kRead));
    for (std::uint32_t i = 0; i < buffer->getIndexCount(); ++i) {
        indices.push_back(buffer->getIndex(i));
    }
    EXPECT_TRUE(buffer->unlock());
    return indices;
}

object::Pointer<IndexMesh> indexMesh(std::uint32_t primitive, std::uint32_t vertexCount,
                                     const std::vector<std::uint32_t>& indices, std::uint32_t indexSize = 4) {
    auto mesh = object::make<IndexMesh>();
    mesh->setVertexBuffer(makePositions(numberedPositions(vertexCount)).get(), 0);
    mesh->setIndexBuffer(makeIndices(indexSize, indices).get());
    mesh->setPrimitive(primitive);
    return mesh;
}

object::Pointer<VertexMesh> vertexMesh(std::uint32_t primitive, std::uint32_t vertexCount) {
    auto mesh = object::make<VertexMesh>();
    mesh->setVertexBuffer(makePositions(numberedPositions(vertexCount)).get(), 0);
    mesh->setPrimitive(primitive);
    return mesh;
}

using MeshSplitterTest = GlFixture;

TEST_F(MeshSplitterTest, TriangleListHalvesRenumberedInOrderOfFirstUse) {
    // 100000 triangles over a descending run of vertices: triangle t names
    // V-1-t, V-2-t, V-3-t, so each half names 50002 distinct vertices.
    constexpr std::uint32_t kVertices = 100002;
    std::vector<std::uint32_t> indices;
    for (std::uint32_t triangle = 0; triangle < 100000; ++triangle) {
        for (std::uint32_t corner = 0; corner < 3; ++corner) {
            indices.push_back(kVertices - 1 - triangle - corner);
        }
    }
    const auto mesh = indexMesh(GL_TRIANGLES, kVertices, indices, 4);
    auto appearance = object::make<Appearance>();
    mesh->setAppearance(appearance.get());

    const Pieces pieces = MeshSplitter().split(*mesh);
    ASSERT_EQ(pieces.getCount(), 2);
    for (int k = 0; k < 2; ++k) {
        const auto& piece = dynamic_cast<const IndexMesh&>(*pieces[k]);
        EXPECT_EQ(piece.getIndexBuffer()->getIndexCount(), 150000u);
        EXPECT_EQ(piece.getIndexBuffer()->getIndexSize(), 4u);
        EXPECT_EQ(piece.getVertexCount(), 50002u);
        EXPECT_EQ(piece.getAppearance(), appearance.get());
        EXPECT_EQ(piece.getPrimitive(), static_cast<std::uint32_t>(GL_TRIANGLES));
        EXPECT_EQ(piece.getVertexBuffer(0)->getUsageIndex(), VertexBuffer::kStatic);
        const std::vector<std::uint32_t> renumbered = indicesOf(piece);
        EXPECT_EQ(std::vector<std::uint32_t>(renumbered.begin(), renumbered.begin() + 6),
                  (std::vector<std::uint32_t>{0, 1, 2, 1, 2, 3}));
        EXPECT_EQ(positionsOf(piece).front(), kVertices - 1 - 50000 * static_cast<std::uint32_t>(k));
    }
    EXPECT_EQ(soupOfAll(pieces), soup(*mesh));
}

TEST_F(MeshSplitterTest, IndexPieceEndsAtATriangleBeforeTooManyVerticesAndKeepsTheRange) {
    // Every triangle brings three new vertices; at 16 vertices a piece holds
    // five triangles, since the sixth would need 18.
    std::vector<std::uint32_t> indices(90);
    for (std::uint32_t i = 0; i < 90; ++i) {
        indices[i] = (i * 37) % 90;
    }
    const auto mesh = indexMesh(GL_TRIANGLES, 90, indices, 1);
    mesh->setRange(15, 90);
    MeshSplitter splitter;
    ASSERT_TRUE(splitter.setMaxVertices(16));
    const Pieces pieces = splitter.split(*mesh);
    ASSERT_EQ(pieces.getCount(), 5);
    for (const auto& piece : pieces) {
        EXPECT_EQ(dynamic_cast<const IndexMesh&>(*piece).getIndexBuffer()->getIndexCount(), 15u);
        EXPECT_EQ(dynamic_cast<const IndexMesh&>(*piece).getIndexBuffer()->getIndexSize(), 1u);
        EXPECT_EQ(dynamic_cast<const IndexMesh&>(*piece).getVertexCount(), 15u);
    }
    EXPECT_EQ(soupOfAll(pieces), soup(*mesh));
}

TEST_F(MeshSplitterTest, StripPiecesRepeatTheVerticesTheirFirstPrimitiveNeeds) {
    const auto strip = vertexMesh(GL_TRIANGLE_STRIP, 70000);
    const Pieces pieces = MeshSplitter().split(*strip);
    ASSERT_EQ(pieces.getCount(), 2);
    const std::vector<std::uint32_t> first = positionsOf(*pieces[0]);
    const std::vector<std::uint32_t> second = positionsOf(*pieces[1]);
    ASSERT_EQ(first.size(), 35000u);
    ASSERT_EQ(second.size(), 35002u);
    EXPECT_EQ(first.front(), 0u);
    EXPECT_EQ(second.front(), 34998u);
    EXPECT_EQ(second.back(), 69999u);
    EXPECT_EQ(soup(*pieces[0]).size() + soup(*pieces[1]).size(), soup(*strip).size());

    // A line strip repeats one vertex; the limit of 16 leaves pieces of 8
    // (the overlap counts against the limit).
    const auto lines = vertexMesh(GL_LINE_STRIP, 40);
    MeshSplitter small;
    ASSERT_TRUE(small.setMaxVertices(16));
    const Pieces linePieces = small.split(*lines);
    std::vector<std::uint32_t> starts;
    for (const auto& piece : linePieces) {
        starts.push_back(positionsOf(*piece).front());
        EXPECT_LE(positionsOf(*piece).size(), 16u);
    }
    EXPECT_EQ(starts, (std::vector<std::uint32_t>{0, 7, 15, 23, 31}));
    EXPECT_EQ(positionsOf(*linePieces[linePieces.getCount() - 1]).back(), 39u);
}

TEST_F(MeshSplitterTest, UnsplittablePrimitivesThrowAndBadMeshesGiveNoPieces) {
    for (std::uint32_t primitive : {GL_POINTS, GL_LINE_LOOP, GL_TRIANGLE_FAN, GL_POLYGON}) {
        const auto mesh = vertexMesh(primitive, 70000);
        try {
            MeshSplitter().split(*mesh);
            ADD_FAILURE() << "no exception for " << primitive;
        } catch (const UnsupportedPrimitiveException& exception) {
            EXPECT_STREQ(exception.what(), "UnsupportedPrimitiveException");
        }
    }

    MeshSplitter splitter;
    EXPECT_FALSE(splitter.setMaxIndices(15));
    EXPECT_FALSE(splitter.setMaxVertices(0));
    EXPECT_EQ(splitter.getMaxIndices(), 0x40000u);
    EXPECT_EQ(splitter.getMaxVertices(), 0x10000u);

    // An index past the vertices, a missing index buffer, a range past the
    // indices: nothing to cut, and nothing read out of bounds.
    EXPECT_TRUE(splitter.split(*indexMesh(GL_TRIANGLES, 4, {0, 1, 4})).isEmpty());
    const auto bare = indexMesh(GL_TRIANGLES, 4, {0, 1, 2});
    bare->setRange(2, 5);
    EXPECT_TRUE(splitter.split(*bare).isEmpty());
    bare->setIndexBuffer(nullptr);
    EXPECT_TRUE(splitter.split(*bare).isEmpty());
}

}  // namespace
}  // namespace nevrik::graphics3d
