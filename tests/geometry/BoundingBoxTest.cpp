#include "nevrik/geometry/BoundingBox.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>

namespace nevrik::geometry {
namespace {

using Vec = math::Vector3<float>;

TEST(BoundingBoxTest, FitOfNoPointsIsAllZeroAndOfOnePointIsThatPoint) {
    BoundingBox<float> box(Vec(-5.0f, -5.0f, -5.0f), Vec(5.0f, 5.0f, 5.0f));
    const float point[3] = {1.0f, 2.0f, 3.0f};
    box.fit(point, sizeof point, 0);
    EXPECT_EQ(box.min, Vec());
    EXPECT_EQ(box.max, Vec());
    const double far[3] = {1e300, -2.0, 0.5};
    BoundingBox<double> one;
    one.fit(far, 0, 1);
    EXPECT_EQ(one.min, (math::Vector<double, 3>(1e300, -2.0, 0.5)));
    EXPECT_EQ(one.max, one.min);
}

TEST(BoundingBoxTest, FitSkipsBytesBetweenPointsAndKeepsTheElementType) {
    // Seven-byte records of six-byte points: the odd byte is skipped and
    // every point after the first is misaligned.
    unsigned char packed[3 * 7] = {};
    const std::int16_t points[3][3] = {{-300, 7, 0}, {32767, -32768, 5}, {12, 40, -1}};
    for (int i = 0; i < 3; ++i) {
        std::memcpy(packed + 7 * i, points[i], sizeof points[i]);
        packed[7 * i + 6] = 0xFF;  // junk in the skipped byte
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

TEST(BoundingBoxTest, CentreOfIntegerBoxesDoesNotWrap) {
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
