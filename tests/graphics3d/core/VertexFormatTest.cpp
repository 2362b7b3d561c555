#include "nevrik/graphics3d/core/VertexFormat.h"

#include "nevrik/graphics3d/core/TypeWord.h"

#include <gtest/gtest.h>

#include <vector>

namespace nevrik::graphics3d {
namespace {

constexpr std::uint32_t kUChar4 = TypeWord::make(TypeWord::kUChar, 4);

std::vector<std::uint32_t> offsets(const VertexFormat& format) {
    std::vector<std::uint32_t> result;
    for (int i = 0; i < format.getEntryCount(); ++i) {
        result.push_back(format.getEntry(i)->offset);
    }
    return result;
}

// Position, normal, and one coordinate pair that all eight texture units read.
VertexFormat modelFormat() {
    VertexFormat format;
    format.add(TypeWord::kFloat3, 0x1);
    format.add(TypeWord::kFloat3, 0x4);
    format.add(TypeWord::kFloat2, 0xFF000);
    return format;
}

TEST(VertexFormatTest, EntriesLieBackToBackAndAFullFormatTakesNoMore) {
    VertexFormat format = modelFormat();
    EXPECT_EQ(format.getStride(), 32u);
    EXPECT_EQ(offsets(format), (std::vector<std::uint32_t>{0, 12, 24}));
    EXPECT_EQ(format.getEntry(VertexFormat::kMaxEntries), nullptr);

    while (format.getEntryCount() < VertexFormat::kMaxEntries) {
        format.add(kUChar4, 0x10);
    }
    const VertexFormat full = format;
    EXPECT_EQ(format.add(TypeWord::kFloat3, 0x1), -1);
    EXPECT_EQ(format.getStride(), 84u);
    EXPECT_EQ(format, full);
    EXPECT_FALSE(format.set(VertexFormat::kMaxEntries, TypeWord::kFloat3, 0x1));
    EXPECT_FALSE(format.set(-1, TypeWord::kFloat3, 0x1));
}

TEST(VertexFormatTest, SetMovesLaterEntriesAndAddFillsTheGapItLeaves) {
    VertexFormat format = modelFormat();
    ASSERT_TRUE(format.set(0, TypeWord::make(TypeWord::kDouble, 3), 0x1));
    EXPECT_EQ(offsets(format), (std::vector<std::uint32_t>{0, 24, 36}));
    EXPECT_EQ(format.getStride(), 44u);
    ASSERT_TRUE(format.set(1, 0, 0));
    EXPECT_EQ(offsets(format), (std::vector<std::uint32_t>{0, 24, 24}));
    EXPECT_EQ(format.add(kUChar4, 0x10), 1);
    EXPECT_EQ(offsets(format), (std::vector<std::uint32_t>{0, 24, 28}));
    EXPECT_EQ(format.getStride(), 36u);

    // A gap that kept its type hands its size over to the entry filling it,
    // so the stride stays the sum of the sizes.
    ASSERT_TRUE(format.set(1, TypeWord::kFloat4, 0));
    EXPECT_EQ(format.add(TypeWord::kFloat2, 0x10), 1);
    EXPECT_EQ(offsets(format), (std::vector<std::uint32_t>{0, 24, 32}));
    EXPECT_EQ(format.getStride(), 40u);

    // Beyond the entries, empty ones come into use at the end of the vertex.
    ASSERT_TRUE(format.set(5, TypeWord::kFloat2, 0x1000));
    EXPECT_EQ(offsets(format), (std::vector<std::uint32_t>{0, 24, 32, 40, 40, 40}));
    EXPECT_EQ(format.getStride(), 48u);
}

TEST(VertexFormatTest, AppendTakesTheUsedEntriesOfAnotherFormatOrItself) {
    VertexFormat colours;
    colours.add(kUChar4, 0x10);
    colours.set(2, TypeWord::kFloat2, 0x1000);  // entry 1 stays an empty gap
    VertexFormat format = modelFormat();
    EXPECT_TRUE(format.append(colours));
    EXPECT_EQ(offsets(format), (std::vector<std::uint32_t>{0, 12, 24, 32, 36}));
    EXPECT_TRUE(format.append(format));
    EXPECT_EQ(format.getEntryCount(), 10);
    EXPECT_EQ(format.getStride(), 88u);
    EXPECT_FALSE(format.append(format)) << "six did not fit";
    EXPECT_EQ(format.getEntryCount(), VertexFormat::kMaxEntries);
}

TEST(VertexFormatTest, EqualityIgnoresUnusedEntriesButNotOffsets) {
    VertexFormat a = modelFormat();
    a.set(5, TypeWord::kFloat4, 0);
    EXPECT_EQ(a, modelFormat());
    VertexFormat shortGap;
    shortGap.set(1, TypeWord::kFloat3, 0x1);
    VertexFormat longGap = shortGap;
    longGap.set(0, TypeWord::kFloat4, 0);
    EXPECT_NE(shortGap, longGap);
}

}  // namespace
}  // namespace nevrik::graphics3d
