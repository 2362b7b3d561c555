#include "nevrik/graphics3d/VertexMesh.h"

#include "nevrik/geometry/Ray.h"

#include "GlFixture.h"
#include "MeshData.h"

namespace nevrik::graphics3d {
namespace {

using MeshPointer = object::Pointer<VertexMesh>;
using Triangles = object::Pointer<geometry::TriangleMesh3<float>>;

std::vector<unsigned int> indicesOf(const geometry::TriangleMesh3<float>& mesh) {
    return {mesh.getIndices().begin(), mesh.getIndices().end()};
}

class VertexMeshTest : public GlFixture {
protected:
    void SetUp() override {
        GlFixture::SetUp();
        mContext->switchArrays(Context::kPositionArray);
        clearView();
    }

    MeshPointer mMesh = MeshPointer::adopt(new VertexMesh());
};

TEST_F(VertexMeshTest, SlotsSumUpTheirBuffers) {
    const VertexBufferPointer five = makePositions(std::vector<float>(15, 0.0f));
    const VertexBufferPointer four =
        makeVertices(TypeWord::kFloat2, Context::kTextureArray, std::vector<float>(8, 0.0f));
    EXPECT_TRUE(mMesh->setVertexBuffer(five.get(), 3));
    EXPECT_TRUE(mMesh->setVertexBuffer(four.get(), 1));
    EXPECT_EQ(mMesh->getBufferCount(), 4);
    EXPECT_EQ(mMesh->getVertexCount(), 4u);
    EXPECT_EQ(mMesh->getComponentMask(), Context::kPositionArray | Context::kTextureArray);
    EXPECT_EQ(five->getReferenceCount(), 2);

    EXPECT_FALSE(mMesh->setVertexBuffer(four.get(), VertexMesh::kSlots));
    EXPECT_FALSE(mMesh->setVertexBuffer(four.get(), -1));
    EXPECT_EQ(four->getReferenceCount(), 2);

    EXPECT_TRUE(mMesh->clearVertexBuffer(3));
    EXPECT_EQ(five->getReferenceCount(), 1);
    EXPECT_EQ(mMesh->getBufferCount(), 2);
    EXPECT_EQ(mMesh->getComponentMask(), Context::kTextureArray);
    // Putting a slot's own buffer back keeps it alive throughout.
    EXPECT_TRUE(mMesh->setVertexBuffer(mMesh->getVertexBuffer(1), 1));
    EXPECT_EQ(four->getReferenceCount(), 2);
    EXPECT_TRUE(mMesh->clearVertexBuffer(1));
    EXPECT_EQ(mMesh->getBufferCount(), 0);
    EXPECT_EQ(mMesh->getVertexCount(), 0u);
}

TEST_F(VertexMeshTest, EmptyRangeDrawsEveryVertexOfALaterSlot) {
    mMesh->setVertexBuffer(makePositions(columnTriangles()).get(), 3);
    ASSERT_TRUE(mMesh->draw());
    EXPECT_EQ(litColumns(), "1111");
}

TEST_F(VertexMeshTest, RangeDrawsItsVerticesOnlyAndMustLieInsideTheBuffers) {
    mMesh->setVertexBuffer(makePositions(columnTriangles()).get(), 0);
    mMesh->setRange(6, 12);
    ASSERT_TRUE(mMesh->draw());
    EXPECT_EQ(litColumns(), "0100");

    // A second buffer with fewer vertices limits what may be drawn.
    mMesh->setVertexBuffer(makePositions(std::vector<float>(3 * 18, 0.0f)).get(), 1);
    clearView();
    for (auto range : {std::pair{18u, 24u}, std::pair{12u, 6u}, std::pair{0u, 19u}}) {
        mMesh->setRange(range.first, range.second);
        EXPECT_FALSE(mMesh->draw()) << range.first << ".." << range.second;
    }
    EXPECT_EQ(litColumns(), "0000");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(VertexMeshTest, CompiledDrawLeavesTheStateAndPixelsOfADirectDraw) {
    for (std::uint32_t usage : {VertexBuffer::kStatic, VertexBuffer::kSystemMemory}) {
        const MeshPointer mesh = MeshPointer::adopt(new VertexMesh());
        mesh->setVertexBuffer(makePositions(columnTriangles(), usage).get(), 2);
        mesh->setRange(12, 24);
        SCOPED_TRACE(usage);
        expectCompiledDrawMatches(*mesh, "0011");
    }
    mMesh->setRange(1, 0);
    system::Assembler assembler;
    EXPECT_FALSE(mMesh->compile(assembler));
    EXPECT_TRUE(assembler.getCommands().isEmpty());
}

TEST_F(VertexMeshTest, TrianglesOfTheRangeUseImplicitIndices) {
    mMesh->setVertexBuffer(makePositions(columnTriangles()).get(), 0);
    mMesh->setRange(6, 12);
    const Triangles triangles = Triangles::adopt(mMesh->createTriangleMesh());
    ASSERT_TRUE(triangles);
    ASSERT_EQ(triangles->getVertices().getCount(), 6);
    EXPECT_EQ(triangles->getVertices()[0], math::Vector3<float>(-0.5f, -1.0f, 0.0f));
    EXPECT_EQ(indicesOf(*triangles), (std::vector<unsigned int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(triangles->getPrimitive(), geometry::Primitive::kTriangles);

    mMesh->setPrimitive(GL_TRIANGLE_FAN);
    mMesh->setRange(0, 5);
    const Triangles fan = Triangles::adopt(mMesh->createTriangleMesh());
    EXPECT_EQ(indicesOf(*fan), (std::vector<unsigned int>{0, 1, 2, 0, 2, 3, 0, 3, 4}));
    EXPECT_EQ(fan->getPrimitive(), geometry::Primitive::kTriangles);

    mMesh->setRange(20, 25);
    EXPECT_EQ(mMesh->createTriangleMesh(), nullptr);
    EXPECT_FALSE(mMesh->getVertexBuffer(0)->isLocked());
}

TEST_F(VertexMeshTest, EveryPositionTypeConvertsItsFirstThreeComponents) {
    const std::uint32_t scalars[] = {TypeWord::kChar, TypeWord::kUChar, TypeWord::kShort, TypeWord::kUShort,
                                     TypeWord::kInt,  TypeWord::kUInt,  TypeWord::kFloat, TypeWord::kDouble};
    for (std::uint32_t scalar : scalars) {
        for (std::uint32_t count : {3u, 4u}) {
            const std::uint32_t type = TypeWord::make(scalar, count);
            // Two vertices; the fourth component must be ignored.
            std::vector<std::uint8_t> bytes(2 * TypeWord::getSize(type));
            const double values[2][4] = {{1, 2, 3, 99}, {7, 100, 5, 99}};
            for (int vertex = 0; vertex < 2; ++vertex) {
                for (std::uint32_t c = 0; c < count; ++c) {
                    std::uint8_t* at = bytes.data() + vertex * TypeWord::getSize(type) + c * (scalar & 0xF);
                    const double value = values[vertex][c];
                    switch (scalar) {
                        case TypeWord::kFloat: {
                            const auto f = static_cast<float>(value);
                            std::memcpy(at, &f, sizeof f);
                            break;
                        }
                        case TypeWord::kDouble:
                            std::memcpy(at, &value, sizeof value);
                            break;
                        default: {
                            const auto n = static_cast<std::uint32_t>(value);
                            std::memcpy(at, &n, scalar & 0xF);  // little-endian low bytes
                        }
                    }
                }
            }
            const MeshPointer mesh = MeshPointer::adopt(new VertexMesh());
            mesh->setVertexBuffer(makeVertices(type, Context::kPositionArray, bytes).get(), 0);
            ASSERT_EQ(mesh->getVertexCount(), 2u) << std::hex << type;
            const Triangles triangles = Triangles::adopt(mesh->createTriangleMesh());
            ASSERT_TRUE(triangles);
            ASSERT_EQ(triangles->getVertices().getCount(), 2) << std::hex << type;
            EXPECT_EQ(triangles->getVertices()[1], math::Vector3<float>(7, 100, 5)) << std::hex << type;
        }
    }
    // Negative values keep their sign in the signed types.
    const MeshPointer mesh = MeshPointer::adopt(new VertexMesh());
    mesh->setVertexBuffer(makeVertices(TypeWord::make(TypeWord::kShort, 3), Context::kPositionArray,
                                       std::vector<std::int16_t>{-3, 4, -32768})
                              .get(),
                          0);
    const Triangles triangles = Triangles::adopt(mesh->createTriangleMesh());
    EXPECT_EQ(triangles->getVertices()[0], math::Vector3<float>(-3, 4, -32768));
}

TEST_F(VertexMeshTest, TwoComponentPositionsGiveNoVerticesButStillTriangles) {
    mMesh->setVertexBuffer(
        makeVertices(TypeWord::kFloat2, Context::kPositionArray, std::vector<float>(12)).get(), 0);
    const Triangles triangles = Triangles::adopt(mMesh->createTriangleMesh());
    ASSERT_TRUE(triangles);
    EXPECT_EQ(triangles->getVertices().getCount(), 0);
    EXPECT_EQ(indicesOf(*triangles), (std::vector<unsigned int>{0, 1, 2, 3, 4, 5}));
    EXPECT_FALSE(mMesh->updateBounds());
    EXPECT_FALSE(mMesh->createCollider());
    EXPECT_FALSE(mMesh->getVertexBuffer(0)->isLocked());

    // Without positions at all there is nothing to read.
    const MeshPointer normals = MeshPointer::adopt(new VertexMesh());
    normals->setVertexBuffer(
        makeVertices(TypeWord::kFloat3, Context::kNormalArray, std::vector<float>(9)).get(), 0);
    EXPECT_EQ(normals->createTriangleMesh(), nullptr);
    EXPECT_FALSE(normals->updateBounds());
}

TEST_F(VertexMeshTest, BoundsAndColliderCoverTheRange) {
    mMesh->setVertexBuffer(makePositions(columnTriangles()).get(), 0);
    mMesh->setRange(6, 12);
    ASSERT_TRUE(mMesh->updateBounds());
    const geometry::BoundingBox<float> box = mMesh->getBounds().toBoundingBox();
    EXPECT_EQ(box.min, math::Vector3<float>(-0.5f, -1.0f, 0.0f));
    EXPECT_EQ(box.max, math::Vector3<float>(0.0f, 1.0f, 0.0f));

    ASSERT_TRUE(mMesh->createCollider());
    const geometry::MeshCollider3<float>* collider = mMesh->getCollider();
    ASSERT_NE(collider, nullptr);
    EXPECT_EQ(collider->getVertices().getCount(), 6);
    EXPECT_TRUE(collider->getIndices().isEmpty());
    EXPECT_EQ(collider->getPrimitive(), geometry::Primitive::kTriangles);
    // Column 1 is hit, column 0 (outside the range) is not.
    EXPECT_TRUE(collider->intersectRay(geometry::Ray({-0.25f, 0.0f, 1.0f}, {0.0f, 0.0f, -1.0f}), nullptr));
    EXPECT_FALSE(collider->intersectRay(geometry::Ray({-0.75f, 0.0f, 1.0f}, {0.0f, 0.0f, -1.0f}), nullptr));

    // A failed build keeps the collider it had.
    mMesh->setRange(6, 99);
    EXPECT_FALSE(mMesh->createCollider());
    EXPECT_EQ(mMesh->getCollider(), collider);
}

}  // namespace
}  // namespace nevrik::graphics3d
