#include "nevrik/graphics3d/core/ParameterFormat.h"

#include "nevrik/graphics3d/core/TypeWord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace nevrik::graphics3d {
namespace {

TEST(ParameterFormatTest, ComponentsFollowEachOtherAndNamesCountForSixtyFourCharacters) {
    const std::string stem(ParameterFormat::kNameLength, 'n');
    ParameterFormat format;
    format.add("modelview", TypeWord::kMatrix4);
    format.add((stem + "first").c_str(), TypeWord::kFloat4);
    format.add((stem + "second").c_str(), TypeWord::kFloat2);
    EXPECT_EQ(format.getTotal(), 88u);
    EXPECT_EQ(format.find("model"), nullptr);
    const ParameterFormat::Component* first = format.find((stem + "second").c_str());
    ASSERT_EQ(first, &format.getComponents()[1]) << "cut to the same name: the first one wins";
    EXPECT_EQ(first->offset, 64u);
    EXPECT_EQ(std::strlen(first->name), std::size_t{ParameterFormat::kNameLength});
}

}  // namespace
}  // namespace nevrik::graphics3d
