#include "nevrik/object/Property.h"

#include <gtest/gtest.h>

namespace nevrik::object {
namespace {

TEST(PropertyTest, TextIsOwnedAndCopiesAreDeep) {
    char source[] = "textures/";
    const Property::TableRecord record{Property::kText, "path", "where textures live", source, nullptr, {}};
    Property original(record);
    source[0] = 'X';  // The table's text may change or die; the copy stays.
    EXPECT_STREQ(original.getDefaultValue().text.c_str(), "textures/");
    EXPECT_STREQ(original.getValue().text.c_str(), "textures/");

    Property copy(original);
    ASSERT_TRUE(copy.setText("other/"));
    EXPECT_STREQ(original.getValue().text.c_str(), "textures/");
    EXPECT_NE(copy.getDefaultValue().text.c_str(), original.getDefaultValue().text.c_str());
    copy.reset();
    EXPECT_STREQ(copy.getValue().text.c_str(), "textures/");
}

TEST(PropertyTest, SettersRefuseOtherKinds) {
    Object target;
    Property text(Property::kText, "name");
    Property object(Property::kObject, "manager");
    Property words(2, "size");
    EXPECT_FALSE(text.setObject(&target));
    EXPECT_FALSE(text.setWords(1, 2));
    EXPECT_FALSE(object.setText("x"));
    EXPECT_FALSE(words.setText("x"));
    EXPECT_FALSE(words.setObject(&target));
    EXPECT_EQ(text.getValue().object, nullptr);
    EXPECT_TRUE(text.getValue().text.isEmpty());

    EXPECT_TRUE(object.setObject(&target));
    EXPECT_EQ(object.getValue().object, &target);
    EXPECT_EQ(target.getReferenceCount(), 1);  // Borrowed, not held.
    EXPECT_TRUE(words.setWords(640, 480));
    EXPECT_EQ(words.getValue().words[1], 480u);
    EXPECT_EQ(words.getDefaultValue().words[1], 0u);
}

TEST(PropertyTest, NameAndClassPath) {
    const Property property(Property::kObject, "texturemanager", nullptr);
    EXPECT_STREQ(property.getName().c_str(), "texturemanager");
    EXPECT_TRUE(property.getDescription().isEmpty());
    EXPECT_STREQ(property.className().c_str(), "Object:Property");
}

}  // namespace
}  // namespace nevrik::object
