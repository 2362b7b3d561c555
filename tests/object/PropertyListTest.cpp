#include "nevrik/object/PropertyList.h"

#include <gtest/gtest.h>

namespace nevrik::object {
namespace {

const Property::TableRecord kOnlyEnd[] = {{Property::kTableEnd, nullptr, nullptr, nullptr, nullptr, {}}};

TEST(PropertyListTest, TableWithOnlyTheEndRecordGivesEmptyList) {
    EXPECT_EQ(PropertyList(kOnlyEnd).getCount(), 0);
    EXPECT_EQ(PropertyList(nullptr).getCount(), 0);
}

TEST(PropertyListTest, TableRecordsBecomePropertiesInOrderWithValueAtDefault) {
    Object manager;
    const Property::TableRecord table[] = {
        {Property::kText, "prefix", "name prefix", "tex_", nullptr, {}},
        {Property::kObject, "texturemanager", "texture cache", nullptr, &manager, {}},
        {3, "limits", nullptr, nullptr, nullptr, {7, 9}},
        {Property::kTableEnd, nullptr, nullptr, nullptr, nullptr, {}},
    };
    PropertyList list(table);
    ASSERT_EQ(list.getCount(), 3);
    const Property* property = list.begin();
    EXPECT_STREQ(property[0].getName().c_str(), "prefix");
    EXPECT_EQ(property[0].getKind(), Property::kText);
    EXPECT_STREQ(property[0].getValue().text.c_str(), "tex_");
    EXPECT_NE(property[0].getValue().text.c_str(), table[0].text);
    EXPECT_STREQ(property[1].getDescription().c_str(), "texture cache");
    EXPECT_EQ(property[1].getValue().object, &manager);
    EXPECT_EQ(property[1].getDefaultValue().object, &manager);
    EXPECT_EQ(property[2].getValue().words[0], 7u);
    EXPECT_EQ(property[2].getValue().words[1], 9u);
}

TEST(PropertyListTest, FindMatchesWholeNamesOnly) {
    PropertyList list;
    list.add(Property(Property::kObject, "texturemanager"));
    list.add(Property(Property::kObject, "shadermanager"));
    list.add(Property(Property::kObject, "shadermanager"));  // Shadowed by the first.
    list.add(Property(2, ""));

    EXPECT_EQ(list.find("shadermanager"), list.begin() + 1);
    EXPECT_EQ(list.find("shadermanagers"), list.end());
    EXPECT_EQ(list.find("shader"), list.end());
    EXPECT_EQ(list.find("Shadermanager"), list.end());
    EXPECT_EQ(list.find(""), list.begin() + 3);
    EXPECT_EQ(list.find(nullptr), list.end());
    PropertyList empty;
    EXPECT_EQ(empty.find(""), empty.end());

    const PropertyList& view = list;
    EXPECT_EQ(view.find("texturemanager"), view.begin());
}

TEST(PropertyListTest, AddingOwnPropertyAndCopyingAreSafe) {
    PropertyList list;
    list.add(Property(Property::kText, "a-name-long-enough-to-own-a-heap-buffer-of-its-own-and-then-some"));
    list.begin()->setText("value");
    for (int i = 0; i < 5; ++i) {
        list.add(*list.begin());  // The array grows while reading element 0.
    }
    PropertyList copy(list);
    copy.begin()->setText("changed");
    EXPECT_EQ(copy.getCount(), 6);
    EXPECT_STREQ(list.begin()->getValue().text.c_str(), "value");
    EXPECT_STREQ((list.end() - 1)->getValue().text.c_str(), "value");
    EXPECT_STREQ(list.className().c_str(), "Object:PropertyList");
}

}  // namespace
}  // namespace nevrik::object
