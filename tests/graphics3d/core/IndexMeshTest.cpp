#include "nevrik/graphics3d/core/IndexMesh.h"

#include "nevrik/geometry/Ray.h"

#include "graphics3d/GlFixture.h"
#include "graphics3d/MeshData.h"

#include <algorithm>
#include <random>

namespace nevrik::graphics3d {
namespace {

using MeshPointer = object::Pointer<IndexMesh>;
using Triangles = object::Pointer<geometry::TriangleMesh3<float>>;

std::vector<unsigned int> listOf(const container::Array<unsigned int>& indices) {
    return {indices.begin(), indices.end()};
}

class IndexMeshTest : public GlFixture {
protected:
    void SetUp() override {
        GlFixture::SetUp();
        mContext->switchArrays(VertexFormat::kPositionArray);
        clearView();
    }

    // `indices` drawn as `primitive` over `vertexCount` vertices at x = 0, 1, 2, ...
    static MeshPointer make(std::uint32_t primitive, const std::vector<std::uint32_t>& indices,
                            std::uint32_t vertexCount = 16) {
        std::vector<float> xyz(3 * vertexCount);
        for (std::uint32_t vertex = 0; vertex < vertexCount; ++vertex) {
            xyz[3 * vertex] = static_cast<float>(vertex);
        }
        auto mesh = object::make<IndexMesh>();
        mesh->setVertexBuffer(makePositions(xyz).get(), 0);
        mesh->setIndexBuffer(makeIndices(4, indices).get());
        mesh->setPrimitive(primitive);
        return mesh;
    }

    // The four columns, indexed at `indexSize` bytes.
    static MeshPointer columns(std::uint32_t indexSize, std::uint32_t usage = VertexBuffer::kStatic) {
        auto mesh = object::make<IndexMesh>();
        mesh->setVertexBuffer(makePositions(columnCorners(), usage).get(), 0);
        mesh->setIndexBuffer(makeIndices(indexSize, columnIndices(), usage).get());
        return mesh;
    }

    static std::vector<unsigned int> triangles(const IndexMesh& mesh) {
        const Triangles made = mesh.createTriangleMesh();
        return made ? listOf(made->getIndices()) : std::vector<unsigned int>{99};
    }
};

TEST_F(IndexMeshTest, DrawsEveryIndexOrTheRangeAtAnyIndexSize) {
    for (std::uint32_t size : {1u, 2u, 4u}) {
        for (std::uint32_t usage : {VertexBuffer::kStatic, VertexBuffer::kSystemMemory}) {
            SCOPED_TRACE(testing::Message() << size << ' ' << usage);
            const MeshPointer mesh = columns(size, usage);
            clearView();
            ASSERT_TRUE(mesh->draw());
            EXPECT_EQ(litColumns(), "1111");
            // Indices 6 to 12: at two bytes each, 12 bytes into the data.
            mesh->setRange(6, 12);
            clearView();
            ASSERT_TRUE(mesh->draw());
            EXPECT_EQ(litColumns(), "0100");
        }
    }
}

TEST_F(IndexMeshTest, RangeAndIndexBufferAreCheckedBeforeDrawing) {
    const MeshPointer mesh = columns(2);
    for (auto [start, end] : {std::pair{18u, 25u}, std::pair{12u, 6u}}) {
        mesh->setRange(start, end);
        EXPECT_FALSE(mesh->draw()) << start << ".." << end;
        EXPECT_EQ(mesh->createTriangleMesh(), nullptr);
    }
    mesh->setRange(0, 0);
    mesh->setIndexBuffer(nullptr);
    EXPECT_FALSE(mesh->draw());
    EXPECT_EQ(litColumns(), "0000");
    EXPECT_EQ(mesh->createTriangleMesh(), nullptr);
}

TEST_F(IndexMeshTest, CompiledDrawLeavesTheStateAndPixelsOfADirectDraw) {
    for (std::uint32_t usage : {VertexBuffer::kStatic, VertexBuffer::kSystemMemory}) {
        SCOPED_TRACE(usage);
        const MeshPointer mesh = columns(2, usage);
        mesh->setRange(6, 18);
        expectCompiledDrawMatches(*mesh, "0110");
    }
}

TEST_F(IndexMeshTest, PrimitivesBecomeTriangles) {
    // The strip drops the two candidates that repeat an index.
    EXPECT_EQ(triangles(*make(GL_TRIANGLE_STRIP, {0, 1, 2, 2, 3, 4})),
              (std::vector<unsigned int>{0, 1, 2, 3, 2, 4}));
    EXPECT_EQ(triangles(*make(GL_TRIANGLE_STRIP, {0, 1, 2, 3})),
              (std::vector<unsigned int>{0, 1, 2, 2, 1, 3}));
    EXPECT_EQ(triangles(*make(GL_QUADS, {0, 1, 2, 3, 4, 5, 6, 7})),
              (std::vector<unsigned int>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}));
    EXPECT_EQ(triangles(*make(GL_TRIANGLE_FAN, {5, 6, 7, 8})), (std::vector<unsigned int>{5, 6, 7, 5, 7, 8}));
    EXPECT_EQ(triangles(*make(GL_TRIANGLES, {1, 2, 3, 4, 5})), (std::vector<unsigned int>{1, 2, 3}));
    EXPECT_TRUE(triangles(*make(GL_POINTS, {0, 1, 2, 3})).empty());
    EXPECT_TRUE(triangles(*make(GL_LINE_STRIP, {0, 1, 2, 3})).empty());

    // The range picks the indices; every vertex comes along; both locks go.
    const MeshPointer ranged = make(GL_TRIANGLES, {9, 9, 9, 1, 2, 3, 9});
    ranged->setRange(3, 6);
    const Triangles made = ranged->createTriangleMesh();
    EXPECT_EQ(listOf(made->getIndices()), (std::vector<unsigned int>{1, 2, 3}));
    EXPECT_EQ(made->getVertices().getCount(), 16);
    EXPECT_FALSE(ranged->getIndexBuffer()->isLocked());
    EXPECT_FALSE(ranged->getVertexBuffer(0)->isLocked());

    // Two-component positions: no vertices, the triangles all the same.
    ranged->setVertexBuffer(
        makeVertices(TypeWord::kFloat2, VertexFormat::kPositionArray, std::vector<float>(8)).get(), 0);
    EXPECT_EQ(triangles(*ranged), (std::vector<unsigned int>{1, 2, 3}));
    EXPECT_EQ(ranged->createTriangleMesh()->getVertices().getCount(), 0);
}

TEST_F(IndexMeshTest, BoundsAndColliderOfTheWholeBufferTakeEveryVertex) {
    const MeshPointer mesh = columns(1);
    ASSERT_TRUE(mesh->createCollider());
    const std::vector<std::uint32_t> indices = columnIndices();
    EXPECT_EQ(listOf(mesh->getCollider()->getIndices()),
              std::vector<unsigned int>(indices.begin(), indices.end()));
    EXPECT_EQ(mesh->getCollider()->getVertices().getCount(), 16);
    EXPECT_TRUE(mesh->getCollider()->intersectRay(geometry::Ray({0.9f, 0.5f, 1}, {0, 0, -1}), nullptr));

    mesh->setRange(6, 12);
    ASSERT_TRUE(mesh->updateBounds());
    EXPECT_EQ(mesh->getBounds().toBoundingBox().min, math::Vector3<float>(-1, -1, 0));
    EXPECT_EQ(mesh->getBounds().toBoundingBox().max, math::Vector3<float>(1, 1, 0));
}

TEST_F(IndexMeshTest, ColliderOfASubRangeRenumbersInOrderOfFirstUse) {
    // Index 40 names no vertex: it becomes one the collider skips.
    const MeshPointer mesh = make(GL_TRIANGLE_STRIP, {0, 1, 7, 5, 7, 3, 40, 9}, 10);
    mesh->setRange(2, 8);
    ASSERT_TRUE(mesh->createCollider());
    const geometry::MeshCollider3<float>* collider = mesh->getCollider();
    EXPECT_EQ(collider->getPrimitive(), geometry::Primitive::kTriangleStrip);
    EXPECT_EQ(listOf(collider->getIndices()), (std::vector<unsigned int>{0, 1, 0, 2, ~0u, 3}));
    ASSERT_EQ(collider->getVertices().getCount(), 4);
    EXPECT_EQ(collider->getVertices()[3].x, 9.0f);
    EXPECT_EQ(collider->getVertices()[1].x, 5.0f);

    mesh->setIndexBuffer(nullptr);
    EXPECT_FALSE(mesh->createCollider());
    EXPECT_EQ(mesh->getCollider(), collider) << "the old collider stays";
}

// Sub-ranges of random index buffers, from runs of nearby vertices to a few
// far apart in a large buffer, with indices past the end among them: each
// index is renumbered in order of first use and each vertex named is copied
// once, to its new number.
TEST_F(IndexMeshTest, ColliderRenumberingMatchesFirstUseOverRandomRanges) {
    std::mt19937 random(17);
    for (int round = 0; round < 60; ++round) {
        const std::uint32_t vertexCount = round % 3 == 0 ? 200000 : 64;
        const std::uint32_t spread = round % 2 == 0 ? vertexCount + 8 : 40;
        const std::uint32_t start = std::uniform_int_distribution<std::uint32_t>(0, vertexCount - 1)(random);
        // Drawn from a few values, so that most indices repeat.
        std::vector<std::uint32_t> values(std::uniform_int_distribution<std::size_t>(1, 12)(random));
        for (std::uint32_t& value : values) {
            value = start + std::uniform_int_distribution<std::uint32_t>(0, spread)(random);
        }
        std::vector<std::uint32_t> indices(3 * std::uniform_int_distribution<std::uint32_t>(1, 30)(random));
        for (std::uint32_t& index : indices) {
            index = values[std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(random)];
        }
        const auto first = std::uniform_int_distribution<std::uint32_t>(0, 2)(random);
        const auto end = static_cast<std::uint32_t>(indices.size());
        const MeshPointer mesh = make(GL_TRIANGLES, indices, vertexCount);
        mesh->setRange(first, end);
        ASSERT_TRUE(mesh->createCollider());

        std::vector<unsigned int> expected;
        std::vector<std::uint32_t> named;
        for (std::uint32_t k = first; k < end; ++k) {
            const auto known = std::find(named.begin(), named.end(), indices[k]);
            if (indices[k] >= vertexCount) {
                expected.push_back(~0u);
            } else if (known != named.end()) {
                expected.push_back(static_cast<unsigned int>(known - named.begin()));
            } else {
                expected.push_back(static_cast<unsigned int>(named.size()));
                named.push_back(indices[k]);
            }
        }
        const geometry::MeshCollider3<float>& collider = *mesh->getCollider();
        ASSERT_EQ(listOf(collider.getIndices()), expected) << "round " << round;
        ASSERT_EQ(collider.getVertices().getCount(), static_cast<int>(named.size()));
        for (std::size_t k = 0; k < named.size(); ++k) {
            EXPECT_EQ(collider.getVertices()[static_cast<int>(k)].x, static_cast<float>(named[k]));
        }
    }
}

}  // namespace
}  // namespace nevrik::graphics3d
