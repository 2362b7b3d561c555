#include "nevrik/graphics3d/core/VertexMesh.h"

#include "nevrik/geometry/Ray.h"

#include "graphics3d/GlFixture.h"
#include "graphics3d/MeshData.h"

namespace nevrik::graphics3d {
namespace {

using Triangles = object::Pointer<geometry::TriangleMesh3<float>>;

std::vector<unsigned int> indicesOf(const geometry::TriangleMesh3<float>& mesh) {
    return {mesh.getIndices().begin(), mesh.getIndices().end()};
}

class VertexMeshTest : public GlFixture {
protected:
    void SetUp() override {
        GlFixture::SetUp();
        mContext->switchArrays(VertexFormat::kPositionArray);
        clearView();
    }

    object::Pointer<VertexMesh> mMesh = object::make<VertexMesh>();
};

TEST_F(VertexMeshTest, SlotsSumUpTheirBuffersAndHoldThem) {
    const auto five = makePositions(std::vector<float>(15));
    const auto four = makeVertices(TypeWord::kFloat2, VertexFormat::kTextureArray, std::vector<float>(8));
    EXPECT_TRUE(mMesh->setVertexBuffer(five.get(), 3));
    EXPECT_TRUE(mMesh->setVertexBuffer(four.get(), 1));
    EXPECT_FALSE(mMesh->setVertexBuffer(four.get(), VertexMesh::kSlots));
    EXPECT_EQ(mMesh->getBufferCount(), 4);
    EXPECT_EQ(mMesh->getVertexCount(), 4u);
    EXPECT_EQ(mMesh->getComponentMask(), VertexFormat::kPositionArray | VertexFormat::kTextureArray);
    EXPECT_TRUE(mMesh->clearVertexBuffer(3));
    EXPECT_EQ(five->getReferenceCount(), 1);
    EXPECT_EQ(mMesh->getBufferCount(), 2);
    EXPECT_TRUE(mMesh->setVertexBuffer(mMesh->getVertexBuffer(1), 1)) << "its own buffer again";
    EXPECT_EQ(four->getReferenceCount(), 2);
}

TEST_F(VertexMeshTest, DrawsTheWholeBufferOfALaterSlotOrTheRangeWithinIt) {
    mMesh->setVertexBuffer(makePositions(columnTriangles()).get(), 3);
    ASSERT_TRUE(mMesh->draw());
    EXPECT_EQ(litColumns(), "1111");
    mMesh->setRange(6, 12);
    clearView();
    ASSERT_TRUE(mMesh->draw());
    EXPECT_EQ(litColumns(), "0100");

    // A shorter buffer in another slot limits what may be drawn.
    mMesh->setVertexBuffer(makePositions(std::vector<float>(3 * 18)).get(), 0);
    clearView();
    for (auto [start, end] : {std::pair{18u, 24u}, std::pair{12u, 6u}, std::pair{0u, 19u}}) {
        mMesh->setRange(start, end);
        EXPECT_FALSE(mMesh->draw()) << start << ".." << end;
        system::Assembler assembler;
        EXPECT_FALSE(mMesh->compile(assembler));
        EXPECT_TRUE(assembler.getCommands().isEmpty());
    }
    EXPECT_EQ(litColumns(), "0000");
}

TEST_F(VertexMeshTest, CompiledDrawLeavesTheStateAndPixelsOfADirectDraw) {
    for (std::uint32_t usage : {VertexBuffer::kStatic, VertexBuffer::kSystemMemory}) {
        SCOPED_TRACE(usage);
        mMesh->setVertexBuffer(makePositions(columnTriangles(), usage).get(), 2);
        mMesh->setRange(12, 24);
        expectCompiledDrawMatches(*mMesh, "0011");
    }
}

TEST_F(VertexMeshTest, TrianglesBoundsAndColliderCoverTheRange) {
    mMesh->setVertexBuffer(makePositions(columnTriangles()).get(), 0);
    mMesh->setRange(6, 12);
    const Triangles triangles = mMesh->createTriangleMesh();
    ASSERT_EQ(triangles->getVertices().getCount(), 6);
    EXPECT_EQ(triangles->getVertices()[0], math::Vector3<float>(-0.5f, -1.0f, 0.0f));
    EXPECT_EQ(indicesOf(*triangles), (std::vector<unsigned int>{0, 1, 2, 3, 4, 5}));

    ASSERT_TRUE(mMesh->updateBounds());
    EXPECT_EQ(mMesh->getBounds().toBoundingBox().min, math::Vector3<float>(-0.5f, -1.0f, 0.0f));
    EXPECT_EQ(mMesh->getBounds().toBoundingBox().max, math::Vector3<float>(0.0f, 1.0f, 0.0f));

    ASSERT_TRUE(mMesh->createCollider());
    const geometry::MeshCollider3<float>* collider = mMesh->getCollider();
    EXPECT_EQ(collider->getVertices().getCount(), 6);
    EXPECT_TRUE(collider->getIndices().isEmpty());
    EXPECT_TRUE(collider->intersectRay(geometry::Ray({-0.25f, 0, 1}, {0, 0, -1}), nullptr));
    EXPECT_FALSE(collider->intersectRay(geometry::Ray({-0.75f, 0, 1}, {0, 0, -1}), nullptr));

    // A range beyond the buffer fails everything and keeps the old collider.
    mMesh->setRange(6, 99);
    EXPECT_EQ(mMesh->createTriangleMesh(), nullptr);
    EXPECT_FALSE(mMesh->createCollider());
    EXPECT_EQ(mMesh->getCollider(), collider);
    EXPECT_FALSE(mMesh->getVertexBuffer(0)->isLocked());
}

TEST_F(VertexMeshTest, EveryPositionTypeConvertsItsFirstThreeComponents) {
    for (std::uint32_t scalar : {1u, 17u, 2u, 18u, 4u, 20u, 36u, 40u}) {
        for (std::uint32_t count : {3u, 4u}) {
            const std::uint32_t type = TypeWord::make(scalar, count);
            const std::uint32_t size = scalar & 0xF;
            // Negative where the type has a sign: a sign lost shows.
            const bool isUnsigned = (scalar & 0x10) != 0;
            const double values[4] = {isUnsigned ? 3.0 : -3.0, 100, 5, 99};
            std::vector<std::uint8_t> bytes(TypeWord::getSize(type));
            for (std::uint32_t c = 0; c < count; ++c) {
                const auto asFloat = static_cast<float>(values[c]);
                const auto asInteger = static_cast<std::int32_t>(values[c]);
                // The float or double itself, or an integer's low bytes (little-endian).
                std::memcpy(&bytes[c * size],
                            scalar == TypeWord::kDouble  ? static_cast<const void*>(&values[c])
                            : scalar == TypeWord::kFloat ? static_cast<const void*>(&asFloat)
                                                         : static_cast<const void*>(&asInteger),
                            size);
            }
            mMesh->setVertexBuffer(makeVertices(type, VertexFormat::kPositionArray, bytes).get(), 0);
            const Triangles triangles = mMesh->createTriangleMesh();
            ASSERT_EQ(triangles->getVertices().getCount(), 1) << std::hex << type;
            EXPECT_EQ(triangles->getVertices()[0],
                      math::Vector3<float>(static_cast<float>(values[0]), 100, 5))
                << std::hex << type;
        }
    }
}

TEST_F(VertexMeshTest, TwoComponentPositionsGiveNoVerticesButStillTriangles) {
    mMesh->setVertexBuffer(
        makeVertices(TypeWord::kFloat2, VertexFormat::kPositionArray, std::vector<float>(12)).get(), 0);
    const Triangles triangles = mMesh->createTriangleMesh();
    EXPECT_EQ(triangles->getVertices().getCount(), 0);
    EXPECT_EQ(indicesOf(*triangles), (std::vector<unsigned int>{0, 1, 2, 3, 4, 5}));
    EXPECT_FALSE(mMesh->updateBounds());
    EXPECT_FALSE(mMesh->createCollider());

    mMesh->setVertexBuffer(
        makeVertices(TypeWord::kFloat3, VertexFormat::kNormalArray, std::vector<float>(9)).get(), 0);
    EXPECT_EQ(mMesh->createTriangleMesh(), nullptr) << "no positions at all";
}

}  // namespace
}  // namespace nevrik::graphics3d
