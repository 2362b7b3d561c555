#include "nevrik/graphics3d/VertexFormat.h"

#include "nevrik/graphics3d/TypeWord.h"

#include <gtest/gtest.h>

#include <vector>

namespace nevrik::graphics3d {
namespace {

constexpr std::uint32_t kPosition = 0x1;
constexpr std::uint32_t kNormal = 0x4;
constexpr std::uint32_t kColour = 0x10;
constexpr std::uint32_t kAllTextureUnits = 0xFF000;

std::vector<std::uint32_t> offsets(const VertexFormat& format) {
    std::vector<std::uint32_t> result;
    for (int i = 0; i < format.getEntryCount(); ++i) {
        result.push_back(format.getEntry(i)->offset);
    }
    return result;
}

// Position, normal and one coordinate pair that every texture unit reads.
VertexFormat modelFormat() {
    VertexFormat format;
    format.add(TypeWord::kFloat3, kPosition);
    format.add(TypeWord::kFloat3, kNormal);
    format.add(TypeWord::kFloat2, kAllTextureUnits);
    return format;
}

TEST(VertexFormatTest, EntriesLieBackToBack) {
    const VertexFormat format = modelFormat();
    EXPECT_EQ(format.getStride(), 32u);
    EXPECT_EQ(format.getEntryCount(), 3);
    EXPECT_EQ(offsets(format), (std::vector<std::uint32_t>{0, 12, 24}));
    EXPECT_EQ(format.getEntry(2)->mask, kAllTextureUnits);
    EXPECT_EQ(format.getEntry(-1), nullptr);
    EXPECT_EQ(format.getEntry(VertexFormat::kMaxEntries), nullptr);
}

TEST(VertexFormatTest, AddOnAFullFormatIsRefusedAndChangesNothing) {
    VertexFormat format;
    for (int i = 0; i < VertexFormat::kMaxEntries; ++i) {
        ASSERT_EQ(format.add(TypeWord::make(TypeWord::kUChar, 4), kColour), i);
    }
    const VertexFormat before = format;
    EXPECT_EQ(format.add(TypeWord::kFloat3, kPosition), -1);
    EXPECT_EQ(format.getStride(), 64u);
    EXPECT_EQ(format.getEntryCount(), VertexFormat::kMaxEntries);
    EXPECT_EQ(format, before);
}

TEST(VertexFormatTest, SetInsideMovesLaterEntriesAndStrideBySizeChange) {
    VertexFormat format = modelFormat();
    ASSERT_TRUE(format.set(0, TypeWord::make(TypeWord::kDouble, 3), kPosition));
    EXPECT_EQ(offsets(format), (std::vector<std::uint32_t>{0, 24, 36}));
    EXPECT_EQ(format.getStride(), 44u);
    // Emptying an entry shrinks it to nothing and leaves a gap.
    ASSERT_TRUE(format.set(1, 0, 0));
    EXPECT_EQ(offsets(format), (std::vector<std::uint32_t>{0, 24, 24}));
    EXPECT_EQ(format.getStride(), 32u);
    EXPECT_EQ(format.getEntryCount(), 3);
}

TEST(VertexFormatTest, AddFillsTheFirstGapAndPushesLaterEntries) {
    VertexFormat format = modelFormat();
    ASSERT_TRUE(format.set(1, 0, 0));
    EXPECT_EQ(format.add(TypeWord::make(TypeWord::kUChar, 4), kColour), 1);
    EXPECT_EQ(offsets(format), (std::vector<std::uint32_t>{0, 12, 16}));
    EXPECT_EQ(format.getStride(), 24u);
    EXPECT_EQ(format.getEntryCount(), 3);

    // A gap that kept a type gives its size up to the entry that fills it,
    // so the stride stays the sum of the sizes.
    ASSERT_TRUE(format.set(1, TypeWord::kFloat4, 0));
    EXPECT_EQ(format.getStride(), 36u);
    EXPECT_EQ(format.add(TypeWord::kFloat2, kColour), 1);
    EXPECT_EQ(offsets(format), (std::vector<std::uint32_t>{0, 12, 20}));
    EXPECT_EQ(format.getStride(), 28u);
}

TEST(VertexFormatTest, SetBeyondTheEntriesBringsEmptyOnesIntoUse) {
    VertexFormat format;
    ASSERT_EQ(format.add(TypeWord::kFloat3, kPosition), 0);
    ASSERT_TRUE(format.set(4, TypeWord::kFloat2, kAllTextureUnits));
    EXPECT_EQ(format.getEntryCount(), 5);
    EXPECT_EQ(offsets(format), (std::vector<std::uint32_t>{0, 12, 12, 12, 12}));
    EXPECT_EQ(format.getEntry(2)->mask, 0u);
    EXPECT_EQ(format.getStride(), 20u);

    EXPECT_EQ(format.add(TypeWord::kFloat3, kNormal), 1);
    EXPECT_EQ(offsets(format), (std::vector<std::uint32_t>{0, 12, 24, 24, 24}));
    EXPECT_EQ(format.getStride(), 32u);

    const VertexFormat before = format;
    EXPECT_FALSE(format.set(-1, TypeWord::kFloat3, kColour));
    EXPECT_FALSE(format.set(VertexFormat::kMaxEntries, TypeWord::kFloat3, kColour));
    EXPECT_EQ(format, before);
    EXPECT_EQ(format.getStride(), 32u);
}

TEST(VertexFormatTest, AppendAddsTheUsedEntriesOfAnotherFormatOrItself) {
    VertexFormat colours;
    colours.add(TypeWord::make(TypeWord::kUChar, 4), kColour);
    colours.set(2, TypeWord::kFloat2, 0x1000);  // entry 1 stays an empty gap

    VertexFormat format = modelFormat();
    EXPECT_TRUE(format.append(colours));
    EXPECT_EQ(offsets(format), (std::vector<std::uint32_t>{0, 12, 24, 32, 36}));
    EXPECT_EQ(format.getEntry(3)->mask, kColour);
    EXPECT_EQ(format.getEntry(4)->mask, 0x1000u);

    // Appending a format to itself copies each entry once.
    EXPECT_TRUE(format.append(format));
    EXPECT_EQ(format.getEntryCount(), 10);
    EXPECT_EQ(format.getStride(), 88u);
    EXPECT_EQ(format.getEntry(9)->offset, 80u);

    // What no longer fits is left out and reported.
    EXPECT_FALSE(format.append(format));
    EXPECT_EQ(format.getEntryCount(), VertexFormat::kMaxEntries);
}

TEST(VertexFormatTest, EqualityLooksOnlyAtUsedEntries) {
    VertexFormat a = modelFormat();
    VertexFormat b = modelFormat();
    EXPECT_EQ(a, b);
    // An unused entry with a type on one side only does not count.
    a.set(5, TypeWord::kFloat4, 0);
    EXPECT_EQ(a, b);

    VertexFormat moved = modelFormat();
    moved.set(0, TypeWord::kFloat4, kPosition);
    moved.set(0, TypeWord::kFloat3, kPosition);
    EXPECT_EQ(moved, b) << "offsets went back";

    VertexFormat otherMask = modelFormat();
    otherMask.set(2, TypeWord::kFloat2, 0x1000);
    EXPECT_NE(otherMask, b);
    VertexFormat otherType = modelFormat();
    otherType.set(2, TypeWord::make(TypeWord::kShort, 2), kAllTextureUnits);
    EXPECT_NE(otherType, b);
    // Unused entries of different sizes in front: only the offsets differ.
    VertexFormat shortGap;
    shortGap.set(0, TypeWord::kFloat3, 0);
    shortGap.set(1, TypeWord::kFloat3, kPosition);
    VertexFormat longGap;
    longGap.set(0, TypeWord::kFloat4, 0);
    longGap.set(1, TypeWord::kFloat3, kPosition);
    EXPECT_NE(shortGap, longGap);
}

}  // namespace
}  // namespace nevrik::graphics3d
