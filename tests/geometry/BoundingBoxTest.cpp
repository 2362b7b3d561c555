#include "nevrik/geometry/BoundingBox.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>

namespace nevrik::geometry {
namespace {

TEST(BoundingBoxTest, FitWithNoPointsGivesAllZeroBox) {
    BoundingBox<float> box(math::Vector3<float>(-5.0f, -5.0f, -5.0f), math::Vector3<float>(5.0f, 5.0f, 5.0f));
    const float point[3] = {1.0f, 2.0f, 3.0f};
    box.fit(point, sizeof point, 0);
    EXPECT_EQ(box.min, math::Vector3<float>());
    EXPECT_EQ(box.max, math::Vector3<float>());
}

TEST(BoundingBoxTest, FitOfOnePointIsThatPoint) {
    const double point[3] = {-1.5, 2.25, 1e300};
    BoundingBox<double> box;
    box.fit(point, 0, 1);
    EXPECT_EQ(box.min, (math::Vector<double, 3>(-1.5, 2.25, 1e300)));
    EXPECT_EQ(box.max, box.min);
}

TEST(BoundingBoxTest, FitSkipsTheBytesBetweenStridedPoints) {
    // Position, then a colour the fit must not read as coordinates.
    struct Vertex {
        float position[3];
        float colour[2];
    };
    const float junk = std::numeric_limits<float>::max();
    const Vertex vertices[3] = {
        {{1.0f, -2.0f, 3.0f}, {junk, -junk}},
        {{-4.0f, 5.0f, 0.5f}, {junk, -junk}},
        {{2.0f, 0.0f, -6.0f}, {junk, -junk}},
    };
    BoundingBox<float> box;
    box.fit(vertices[0].position, sizeof(Vertex), 3);
    EXPECT_EQ(box.min, math::Vector3<float>(-4.0f, -2.0f, -6.0f));
    EXPECT_EQ(box.max, math::Vector3<float>(2.0f, 5.0f, 3.0f));
}

TEST(BoundingBoxTest, FitKeepsIntegerElementTypesAndUnalignedStrides) {
    // Seven-byte records: every int16 point after the first is misaligned.
    unsigned char packed[3 * 7] = {};
    const std::int16_t points[3][3] = {{-300, 7, 0}, {32767, -32768, 5}, {12, 40, -1}};
    for (int i = 0; i < 3; ++i) {
        std::memcpy(packed + 7 * i, points[i], sizeof points[i]);
    }
    BoundingBox<std::int16_t> shorts;
    shorts.fit(reinterpret_cast<const std::int16_t*>(packed), 7, 3);
    EXPECT_EQ(shorts.min, (math::Vector<std::int16_t, 3>(-300, -32768, -1)));
    EXPECT_EQ(shorts.max, (math::Vector<std::int16_t, 3>(32767, 40, 5)));

    // Unsigned bytes above 127 must not read as negative.
    const std::uint8_t bytes[6] = {200, 0, 10, 255, 1, 9};
    BoundingBox<std::uint8_t> small;
    small.fit(bytes, 3, 2);
    EXPECT_EQ(small.min, (math::Vector<std::uint8_t, 3>(200, 0, 9)));
    EXPECT_EQ(small.max, (math::Vector<std::uint8_t, 3>(255, 1, 10)));
}

TEST(BoundingBoxTest, CentreDoesNotWrapForIntegerBoxes) {
    const BoundingBox<float> box(math::Vector3<float>(-1.0f, 0.0f, 2.0f),
                                 math::Vector3<float>(3.0f, 1.0f, 2.0f));
    EXPECT_EQ(box.centre(), math::Vector3<float>(1.0f, 0.5f, 2.0f));

    const BoundingBox<std::uint8_t> bytes(math::Vector<std::uint8_t, 3>(200, 0, 0),
                                          math::Vector<std::uint8_t, 3>(250, 255, 1));
    EXPECT_EQ(bytes.centre(), (math::Vector<std::uint8_t, 3>(225, 127, 0)));

    const std::int32_t top = std::numeric_limits<std::int32_t>::max();
    const BoundingBox<std::int32_t> wide(math::Vector<std::int32_t, 3>(top - 2, -top, 0),
                                         math::Vector<std::int32_t, 3>(top, top, 0));
    EXPECT_EQ(wide.centre(), (math::Vector<std::int32_t, 3>(top - 1, 0, 0)));
}

}  // namespace
}  // namespace nevrik::geometry
