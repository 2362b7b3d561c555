#include "nevrik/graphics3d/ConstantList.h"

#include <gtest/gtest.h>

namespace nevrik::graphics3d {
namespace {

// Counts its live instances, so that a release too many or too few shows.
class Constant : public object::Object {
public:
    Constant() noexcept { ++sAlive; }
    ~Constant() override { --sAlive; }

    static inline int sAlive = 0;
};

TEST(ConstantListTest, HoldsEachConstantUntilClearedOrDestroyed) {
    auto* first = new Constant();
    auto* second = new Constant();
    {
        ConstantList list;
        EXPECT_FALSE(list.add(nullptr));
        EXPECT_TRUE(list.add(first));
        EXPECT_TRUE(list.add(second));
        EXPECT_TRUE(list.add(first));
        first->release();
        second->release();
        EXPECT_EQ(Constant::sAlive, 2);
        EXPECT_EQ(list.getCount(), 3);
        EXPECT_EQ(list.getConstant(2), first);
        EXPECT_EQ(list.getConstant(3), nullptr);
        EXPECT_EQ(list.getConstant(-1), nullptr);
        EXPECT_EQ(first->getReferenceCount(), 2);

        ConstantList copy = list;
        list.clear();
        EXPECT_EQ(Constant::sAlive, 2) << "the copy holds its own references";
        EXPECT_EQ(copy.getConstant(1), second);
    }
    EXPECT_EQ(Constant::sAlive, 0);
}

}  // namespace
}  // namespace nevrik::graphics3d
