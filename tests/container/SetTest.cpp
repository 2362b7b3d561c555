#include "nevrik/container/Set.h"

#include "container/Tracked.h"
#include "nevrik/object/Pointer.h"

#include <gtest/gtest.h>

#include <vector>

namespace nevrik::container {
namespace {

using test::CountedObject;

TEST(SetTest, InsertRefusesDuplicatesAndIteratesInOrder) {
    Set<int> set;
    for (int key : {5, 1, 9, 1, 5, 3}) {
        set.insert(key);
    }
    EXPECT_EQ(set.getCount(), 4);
    EXPECT_FALSE(set.insert(9));
    std::vector<int> keys;
    for (const auto& node : set) {
        keys.push_back(node.getKey());
    }
    EXPECT_EQ(keys, (std::vector<int>{1, 3, 5, 9}));
    EXPECT_TRUE(set.remove(3));
    EXPECT_FALSE(set.remove(3));
    EXPECT_FALSE(set.contains(3));
    EXPECT_TRUE(set.check());
}

TEST(SetTest, SetOfPointersHoldsOneReferencePerObject) {
    CountedObject::sLive = 0;
    auto* first = new CountedObject(1);
    auto* second = new CountedObject(2);
    {
        Set<object::Pointer<CountedObject>> set;
        set.insert(object::Pointer<CountedObject>(first));
        set.insert(object::Pointer<CountedObject>(second));
        set.insert(object::Pointer<CountedObject>(first));
        first->release();
        second->release();
        EXPECT_EQ(first->getReferenceCount(), 1);
        EXPECT_EQ(CountedObject::sLive, 2);
        set.remove(object::Pointer<CountedObject>(second));
        EXPECT_EQ(CountedObject::sLive, 1);
        Set<object::Pointer<CountedObject>> copy(set);
        EXPECT_EQ(first->getReferenceCount(), 2);
    }
    EXPECT_EQ(CountedObject::sLive, 0);
}

TEST(SetTest, ClassPathNamesSet) {
    EXPECT_STREQ(Set<int>().className().c_str(), "Object:Set");
}

}  // namespace
}  // namespace nevrik::container
