#include "nevrik/graphics3d/IndexMesh.h"

#include "nevrik/geometry/Ray.h"

#include "GlFixture.h"
#include "MeshData.h"

namespace nevrik::graphics3d {
namespace {

using MeshPointer = object::Pointer<IndexMesh>;
using Triangles = object::Pointer<geometry::TriangleMesh3<float>>;

std::vector<unsigned int> indicesOf(const container::Array<unsigned int>& indices) {
    return {indices.begin(), indices.end()};
}

class IndexMeshTest : public GlFixture {
protected:
    void SetUp() override {
        GlFixture::SetUp();
        mContext->switchArrays(Context::kPositionArray);
        clearView();
    }

    // The four columns, indexed at `indexSize` bytes.
    static MeshPointer columns(std::uint32_t indexSize, std::uint32_t usage = VertexBuffer::kStatic) {
        auto mesh = MeshPointer::adopt(new IndexMesh());
        mesh->setVertexBuffer(makePositions(columnCorners(), usage).get(), 0);
        mesh->setIndexBuffer(makeIndices(indexSize, columnIndices(), usage).get());
        return mesh;
    }

    // A mesh over `vertexCount` vertices with `indices` drawn as `primitive`.
    static MeshPointer soup(std::uint32_t primitive, const std::vector<std::uint32_t>& indices,
                            std::uint32_t vertexCount = 16) {
        auto mesh = MeshPointer::adopt(new IndexMesh());
        std::vector<float> xyz(3 * vertexCount);
        for (std::uint32_t vertex = 0; vertex < vertexCount; ++vertex) {
            xyz[3 * vertex] = static_cast<float>(vertex);
        }
        mesh->setVertexBuffer(makePositions(xyz).get(), 0);
        mesh->setIndexBuffer(makeIndices(4, indices).get());
        mesh->setPrimitive(primitive);
        return mesh;
    }

    static std::vector<unsigned int> triangles(const IndexMesh& mesh) {
        const Triangles made = Triangles::adopt(mesh.createTriangleMesh());
        EXPECT_TRUE(made);
        return made ? indicesOf(made->getIndices()) : std::vector<unsigned int>{};
    }
};

TEST_F(IndexMeshTest, DrawsEveryIndexOrTheRangeAtAnyIndexSize) {
    for (std::uint32_t size : {1u, 2u, 4u}) {
        for (std::uint32_t usage : {VertexBuffer::kStatic, VertexBuffer::kSystemMemory}) {
            const MeshPointer mesh = columns(size, usage);
            clearView();
            ASSERT_TRUE(mesh->draw());
            EXPECT_EQ(litColumns(), "1111") << size << ' ' << usage;
            const IndexBuffer& indices = *mesh->getIndexBuffer();
            EXPECT_EQ(mContext->getIndexData(), indices.getBufferName() != 0 ? nullptr : indices.getData());
            EXPECT_EQ(mContext->getIndexSize(), size);

            mesh->setRange(6, 12);
            clearView();
            ASSERT_TRUE(mesh->draw());
            EXPECT_EQ(litColumns(), "0100") << size << ' ' << usage;
        }
    }
}

TEST_F(IndexMeshTest, RangeAndIndexBufferAreCheckedBeforeDrawing) {
    const MeshPointer mesh = columns(2);
    for (auto range : {std::pair{18u, 25u}, std::pair{12u, 6u}}) {
        mesh->setRange(range.first, range.second);
        EXPECT_FALSE(mesh->draw()) << range.first << ".." << range.second;
    }
    mesh->setRange(0, 0);
    mesh->setIndexBuffer(nullptr);
    EXPECT_FALSE(mesh->draw());
    EXPECT_EQ(litColumns(), "0000");
    EXPECT_EQ(mesh->createTriangleMesh(), nullptr);
    EXPECT_FALSE(mesh->createCollider());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(IndexMeshTest, CompiledDrawLeavesTheStateAndPixelsOfADirectDraw) {
    for (std::uint32_t usage : {VertexBuffer::kStatic, VertexBuffer::kSystemMemory}) {
        const MeshPointer mesh = columns(2, usage);
        mesh->setRange(6, 18);
        SCOPED_TRACE(usage);
        expectCompiledDrawMatches(*mesh, "0110");
    }
}

TEST_F(IndexMeshTest, PrimitivesBecomeTriangles) {
    // The strip drops the two candidates that repeat an index.
    EXPECT_EQ(triangles(*soup(GL_TRIANGLE_STRIP, {0, 1, 2, 2, 3, 4})),
              (std::vector<unsigned int>{0, 1, 2, 3, 2, 4}));
    EXPECT_EQ(triangles(*soup(GL_TRIANGLE_STRIP, {0, 1, 2, 3, 4})),
              (std::vector<unsigned int>{0, 1, 2, 2, 1, 3, 2, 3, 4}));
    EXPECT_EQ(triangles(*soup(GL_QUADS, {0, 1, 2, 3, 4, 5, 6, 7})),
              (std::vector<unsigned int>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}));
    EXPECT_EQ(triangles(*soup(GL_TRIANGLE_FAN, {5, 6, 7, 8})), (std::vector<unsigned int>{5, 6, 7, 5, 7, 8}));
    EXPECT_EQ(triangles(*soup(GL_TRIANGLES, {1, 2, 3, 4, 5})), (std::vector<unsigned int>{1, 2, 3}));
    for (GLenum primitive : {GL_POINTS, GL_LINES, GL_LINE_STRIP}) {
        EXPECT_TRUE(triangles(*soup(primitive, {0, 1, 2, 3})).empty()) << primitive;
    }
    // Only the range's indices count, and every vertex comes along.
    const MeshPointer ranged = soup(GL_TRIANGLES, {9, 9, 9, 1, 2, 3, 9, 9, 9});
    ranged->setRange(3, 6);
    const Triangles made = Triangles::adopt(ranged->createTriangleMesh());
    EXPECT_EQ(indicesOf(made->getIndices()), (std::vector<unsigned int>{1, 2, 3}));
    EXPECT_EQ(made->getVertices().getCount(), 16);
    EXPECT_FALSE(ranged->getIndexBuffer()->isLocked());
    EXPECT_FALSE(ranged->getVertexBuffer(0)->isLocked());
}

TEST_F(IndexMeshTest, TwoComponentPositionsStillGiveTheirTriangles) {
    const MeshPointer mesh = MeshPointer::adopt(new IndexMesh());
    mesh->setVertexBuffer(
        makeVertices(TypeWord::kFloat2, Context::kPositionArray, std::vector<float>(8)).get(), 0);
    mesh->setIndexBuffer(makeIndices(2, {0, 1, 2, 2, 1, 3}).get());
    const Triangles made = Triangles::adopt(mesh->createTriangleMesh());
    ASSERT_TRUE(made);
    EXPECT_EQ(made->getVertices().getCount(), 0);
    EXPECT_EQ(indicesOf(made->getIndices()), (std::vector<unsigned int>{0, 1, 2, 2, 1, 3}));
}

TEST_F(IndexMeshTest, BoundsCoverTheWholeVertexBuffer) {
    const MeshPointer mesh = columns(2);
    mesh->setRange(6, 12);
    ASSERT_TRUE(mesh->updateBounds());
    const geometry::BoundingBox<float> box = mesh->getBounds().toBoundingBox();
    EXPECT_EQ(box.min, math::Vector3<float>(-1.0f, -1.0f, 0.0f));
    EXPECT_EQ(box.max, math::Vector3<float>(1.0f, 1.0f, 0.0f));
}

TEST_F(IndexMeshTest, ColliderCopiesAWholeIndexBufferAsItIs) {
    const MeshPointer mesh = columns(1);
    ASSERT_TRUE(mesh->createCollider());
    const geometry::MeshCollider3<float>& collider = *mesh->getCollider();
    EXPECT_EQ(collider.getVertices().getCount(), 16);
    const std::vector<std::uint32_t> indices = columnIndices();
    EXPECT_EQ(indicesOf(collider.getIndices()), std::vector<unsigned int>(indices.begin(), indices.end()));
    EXPECT_TRUE(collider.intersectRay(geometry::Ray({0.9f, 0.5f, 1.0f}, {0.0f, 0.0f, -1.0f}), nullptr));
}

TEST_F(IndexMeshTest, ColliderOfASubRangeRenumbersInOrderOfFirstUse) {
    // Index 40 names no vertex: its triangle is kept but can never be hit.
    const MeshPointer mesh = soup(GL_TRIANGLE_STRIP, {0, 1, 7, 5, 7, 3, 40, 9}, 10);
    mesh->setRange(2, 8);
    ASSERT_TRUE(mesh->createCollider());
    const geometry::MeshCollider3<float>& collider = *mesh->getCollider();
    EXPECT_EQ(collider.getPrimitive(), geometry::Primitive::kTriangleStrip);
    EXPECT_EQ(indicesOf(collider.getIndices()), (std::vector<unsigned int>{0, 1, 0, 2, ~0u, 3}));
    ASSERT_EQ(collider.getVertices().getCount(), 4);
    const float expectedX[] = {7, 5, 3, 9};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(collider.getVertices()[i].x, expectedX[i]) << i;
    }

    // Losing the index buffer fails the next build and keeps this collider.
    mesh->setIndexBuffer(nullptr);
    EXPECT_FALSE(mesh->createCollider());
    EXPECT_EQ(mesh->getCollider(), &collider);
}

}  // namespace
}  // namespace nevrik::graphics3d
