#include "nevrik/object/Property.h"

#include <gtest/gtest.h>

namespace nevrik::object {
namespace {

TEST(PropertyTest, TextIsOwnedAndCopiedDeeply) {
    char source[] = "textures/";
    Property original(Property::TableRecord{Property::kText, "path", "texture folder", source, nullptr, {}});
    source[0] = 'X';  // The table's text may change or die.
    EXPECT_STREQ(original.getValue().text.c_str(), "textures/");
    Property copy(original);
    ASSERT_TRUE(copy.setText("other/"));
    EXPECT_STREQ(original.getValue().text.c_str(), "textures/");
    copy.reset();
    EXPECT_STREQ(copy.getValue().text.c_str(), "textures/");
    EXPECT_STREQ(copy.getName().c_str(), "path");
    EXPECT_STREQ(copy.className().c_str(), "Object:Property");
}

TEST(PropertyTest, SettersRefuseOtherKindsAndObjectsAreBorrowed) {
    Object target;
    Property text(Property::kText, "name");
    Property object(Property::kObject, "manager");
    Property words(2, "size");
    EXPECT_FALSE(text.setObject(&target));
    EXPECT_FALSE(text.setWords(1, 2));
    EXPECT_FALSE(object.setText("x"));
    EXPECT_FALSE(words.setObject(&target));
    EXPECT_EQ(text.getValue().object, nullptr);
    EXPECT_TRUE(object.setObject(&target));
    EXPECT_EQ(target.getReferenceCount(), 1);
    EXPECT_TRUE(words.setWords(640, 480));
    EXPECT_EQ(words.getValue().words[1], 480u);
    EXPECT_EQ(words.getDefaultValue().words[1], 0u);
}

}  // namespace
}  // namespace nevrik::object
