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

TEST(TriangleMeshTest, SetTriangleGrowsOnlyWhenShortAndRefusesWhatCannotFit) {
    TriangleMesh3<float> mesh;
    EXPECT_EQ(mesh.className(), "Object:TriangleMesh");
    ASSERT_TRUE(mesh.setTriangle(2, 7, 8, 9));
    ASSERT_TRUE(mesh.setTriangle(0, 1, 2, 0xFFFFFFFFu));
    EXPECT_EQ(entries(mesh), (std::vector<unsigned int>{1, 2, 0xFFFFFFFFu, 0, 0, 0, 7, 8, 9}));
    // Past the count the array's rule applies: a count of 9 grows by 9.
    ASSERT_TRUE(mesh.setTriangle(3, 4, 5, 6));
    EXPECT_EQ(mesh.getIndices().getCapacity(), 18);

    EXPECT_FALSE(mesh.setTriangle(-1, 0, 0, 0));
    EXPECT_FALSE(mesh.setTriangle(std::numeric_limits<int>::max() / 3, 0, 0, 0)) << "3i + 3 overflows";
    EXPECT_EQ(mesh.getIndices().getCount(), 12);
}

TEST(TriangleMeshTest, SetIndicesWidensEveryByteAndReplacesOldEntries) {
    TriangleMesh3<float> mesh;
    ASSERT_TRUE(mesh.setTriangle(3, 100, 100, 100));
    const std::uint8_t bytes[] = {0, 255, 128, 3, 4, 5, 200, 1};
    ASSERT_TRUE(mesh.setIndices(bytes, 8));
    // The two bytes past the last whole triple are stored too, not left stale.
    EXPECT_EQ(entries(mesh), (std::vector<unsigned int>{0, 255, 128, 3, 4, 5, 200, 1}));
    EXPECT_FALSE(mesh.setIndices(bytes, -1));
    EXPECT_FALSE(mesh.setIndices(nullptr, 3));
    EXPECT_EQ(mesh.getIndices().getCount(), 8);
}

}  // namespace
}  // namespace nevrik::geometry
