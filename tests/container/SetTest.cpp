#include "nevrik/container/Set.h"

#include "container/Tracked.h"
#include "nevrik/object/Pointer.h"

#include <gtest/gtest.h>

namespace nevrik::container {
namespace {

using Held = object::Pointer<test::CountedObject>;

TEST(SetTest, SetOfPointersKeepsOneReferencePerDistinctObject) {
    test::CountedObject::sLive = 0;
    {
        Set<Held> set;
        test::CountedObject* first = nullptr;
        test::CountedObject* second = nullptr;
        {
            const Held made[] = {object::make<test::CountedObject>(1), object::make<test::CountedObject>(2)};
            first = made[0].get();
            second = made[1].get();
            EXPECT_TRUE(set.insert(made[0]));
            EXPECT_TRUE(set.insert(made[1]));
        }
        EXPECT_FALSE(set.insert(Held(first)));
        EXPECT_EQ(set.getCount(), 2);
        EXPECT_EQ(first->getReferenceCount(), 1);
        EXPECT_TRUE(set.remove(Held(second)));  // Drops the last reference.
        EXPECT_TRUE(set.contains(Held(first)));
        EXPECT_EQ(test::CountedObject::sLive, 1);
        Set<Held> copy(set);
        EXPECT_EQ(first->getReferenceCount(), 2);
        EXPECT_EQ(copy.begin()->getKey().get(), first);
        EXPECT_TRUE(copy.check());
        EXPECT_STREQ(set.className().c_str(), "Object:Set");
    }
    EXPECT_EQ(test::CountedObject::sLive, 0);
}

}  // namespace
}  // namespace nevrik::container
