#include "nevrik/geometry/TriangleMesh.h"
#include "nevrik/geometry/TriangleMesh3.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace nevrik::geometry {
namespace {

std::vector<unsigned int> entries(const TriangleMesh<float, 3>& mesh) {
    return std::vector<unsigned int>(mesh.getIndices().begin(), mesh.getIndices().end());
}

TEST(TriangleMeshTest, NamesAndDefaults) {
    const TriangleMesh3<float> mesh;
    EXPECT_EQ(mesh.className(), "Object:TriangleMesh");
    EXPECT_EQ(mesh.getPrimitive(), Primitive::kTriangles);
    EXPECT_TRUE(mesh.getVertices().isEmpty());
    EXPECT_TRUE(mesh.getIndices().isEmpty());
}

TEST(TriangleMeshTest, SetTriangleGrowsOnlyWhenShortAndZeroFillsTheGap) {
    TriangleMesh3<float> mesh;
    ASSERT_TRUE(mesh.setTriangle(2, 7, 8, 9));
    EXPECT_EQ(entries(mesh), (std::vector<unsigned int>{0, 0, 0, 0, 0, 0, 7, 8, 9}));

    ASSERT_TRUE(mesh.setTriangle(0, 1, 2, 0xFFFFFFFFu));
    EXPECT_EQ(entries(mesh), (std::vector<unsigned int>{1, 2, 0xFFFFFFFFu, 0, 0, 0, 7, 8, 9}));

    // Growth past the count follows the array's rule (count 9 grows by 9).
    ASSERT_TRUE(mesh.setTriangle(3, 4, 5, 6));
    EXPECT_EQ(mesh.getIndices().getCount(), 12);
    EXPECT_EQ(mesh.getIndices().getCapacity(), 18);
}

TEST(TriangleMeshTest, SetTriangleRefusesIndicesThatCannotFit) {
    TriangleMesh3<float> mesh;
    ASSERT_TRUE(mesh.setTriangle(0, 1, 2, 3));
    EXPECT_FALSE(mesh.setTriangle(-1, 4, 5, 6));
    // 3·index + 3 would overflow an int.
    EXPECT_FALSE(mesh.setTriangle(std::numeric_limits<int>::max() / 3, 4, 5, 6));
    EXPECT_EQ(entries(mesh), (std::vector<unsigned int>{1, 2, 3}));
}

TEST(TriangleMeshTest, SetIndicesWidensEveryByteAndReplacesOldEntries) {
    TriangleMesh3<float> mesh;
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(mesh.setTriangle(i, 100, 100, 100));
    }
    const std::uint8_t bytes[] = {0, 255, 128, 3, 4, 5, 200, 1};
    ASSERT_TRUE(mesh.setIndices(bytes, 8));
    // The two bytes past the last whole triple are stored too, not left stale.
    EXPECT_EQ(entries(mesh), (std::vector<unsigned int>{0, 255, 128, 3, 4, 5, 200, 1}));

    EXPECT_FALSE(mesh.setIndices(bytes, -1));
    EXPECT_FALSE(mesh.setIndices(nullptr, 3));
    EXPECT_EQ(mesh.getIndices().getCount(), 8);
    ASSERT_TRUE(mesh.setIndices(nullptr, 0));
    EXPECT_TRUE(mesh.getIndices().isEmpty());
}

}  // namespace
}  // namespace nevrik::geometry
