#include "nevrik/object/PropertyList.h"

#include <gtest/gtest.h>

namespace nevrik::object {
namespace {

TEST(PropertyListTest, TableRecordsBecomePropertiesInOrderWithValueAtDefault) {
    const Property::TableRecord onlyEnd[] = {{Property::kTableEnd, nullptr, nullptr, nullptr, nullptr, {}}};
    EXPECT_EQ(PropertyList(onlyEnd).getCount(), 0);
    EXPECT_EQ(PropertyList(nullptr).getCount(), 0);

    Object manager;
    const Property::TableRecord table[] = {
        {Property::kText, "prefix", "name prefix", "tex_", nullptr, {}},
        {Property::kObject, "texturemanager", "texture cache", nullptr, &manager, {}},
        {Property::kTableEnd, nullptr, nullptr, nullptr, nullptr, {}},
    };
    const PropertyList list(table);
    ASSERT_EQ(list.getCount(), 2);
    const Property* properties = list.begin();
    EXPECT_STREQ(properties[0].getName().c_str(), "prefix");
    EXPECT_STREQ(properties[0].getValue().text.c_str(), "tex_");
    EXPECT_STREQ(properties[1].getDescription().c_str(), "texture cache");
    EXPECT_EQ(properties[1].getKind(), Property::kObject);
    EXPECT_EQ(properties[1].getValue().object, &manager);
    EXPECT_STREQ(list.className().c_str(), "Object:PropertyList");
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
    EXPECT_EQ(list.find(""), list.begin() + 3);
    EXPECT_EQ(list.find(nullptr), list.end());
    PropertyList empty;
    EXPECT_EQ(empty.find(""), empty.end());
}

TEST(PropertyListTest, AddingOwnPropertyWhileGrowingAndCopyingAreSafe) {
    PropertyList list;
    list.add(Property(Property::kText, "a-name-long-enough-to-own-a-heap-buffer-of-its-own-and-then-some"));
    list.begin()->setText("value");
    for (int i = 0; i < 5; ++i) {
        list.add(*list.begin());
    }
    PropertyList copy(list);
    copy.begin()->setText("changed");
    EXPECT_EQ(copy.getCount(), 6);
    EXPECT_STREQ(list.begin()->getValue().text.c_str(), "value");
    EXPECT_STREQ((list.end() - 1)->getValue().text.c_str(), "value");
}

}  // namespace
}  // namespace nevrik::object
