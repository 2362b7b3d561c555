#include "nevrik/graphics3d/ParameterFormat.h"

#include "nevrik/graphics3d/TypeWord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace nevrik::graphics3d {
namespace {

TEST(ParameterFormatTest, ComponentsFollowEachOtherInTheBlock) {
    ParameterFormat format;
    EXPECT_EQ(format.add("modelview", TypeWord::kMatrix4), 0);
    EXPECT_EQ(format.add("model", TypeWord::kMatrix4), 1);
    EXPECT_EQ(format.add("tint", TypeWord::kFloat4), 2);
    EXPECT_EQ(format.add(nullptr, TypeWord::make(TypeWord::kDouble, 1)), 3);
    EXPECT_EQ(format.getTotal(), 64u + 64u + 16u + 8u);
    ASSERT_NE(format.find("tint"), nullptr);
    EXPECT_EQ(format.find("tint")->offset, 128u);
    EXPECT_EQ(format.find("tint")->type, TypeWord::kFloat4);
    // Whole names only: "model" is not the prefix match of "modelview".
    EXPECT_EQ(format.find("model")->offset, 64u);
    EXPECT_EQ(format.find("mode"), nullptr);
    EXPECT_EQ(format.find("")->offset, 144u);
    EXPECT_EQ(format.find(nullptr)->offset, 144u);

    format.clear();
    EXPECT_EQ(format.getTotal(), 0u);
    EXPECT_EQ(format.find("model"), nullptr);
}

TEST(ParameterFormatTest, NamesCountForTheirFirstSixtyFourCharacters) {
    const std::string base(ParameterFormat::kNameLength, 'n');
    ParameterFormat format;
    format.add((base + "first").c_str(), TypeWord::kFloat3);
    format.add((base + "second").c_str(), TypeWord::kFloat2);
    const ParameterFormat::Component& stored = format.getComponents()[0];
    EXPECT_EQ(std::strlen(stored.name), static_cast<std::size_t>(ParameterFormat::kNameLength));
    // Both names cut to the same 64 characters: the first one wins.
    EXPECT_EQ(format.find((base + "second").c_str()), &stored);
    EXPECT_EQ(format.find(base.c_str()), &stored);
    EXPECT_EQ(format.find(base.substr(1).c_str()), nullptr);
}

}  // namespace
}  // namespace nevrik::graphics3d
