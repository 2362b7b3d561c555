#include "nevrik/container/List.h"

#include "container/Tracked.h"

#include <gtest/gtest.h>

#include <vector>

namespace nevrik::container {
namespace {

using test::Tracked;

template <class L>
std::vector<int> valuesOf(const L& list) {
    std::vector<int> values;
    for (const Tracked& value : list) {
        values.push_back(value.value());
    }
    return values;
}

class ListTest : public ::testing::Test {
protected:
    void SetUp() override { Tracked::sLive = 0; }
    void TearDown() override { EXPECT_EQ(Tracked::sLive, 0); }
};

TEST_F(ListTest, AppendAndPrependKeepOrder) {
    List<Tracked> list;
    list.append(Tracked(2));
    list.prepend(Tracked(1));
    list.append(Tracked(3));
    list.prepend(Tracked(0));
    EXPECT_EQ(valuesOf(list), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(list.getCount(), 4);
    EXPECT_EQ(list.getFirst()->getValue().value(), 0);
    EXPECT_EQ(list.getLast()->getValue().value(), 3);
    EXPECT_EQ(Tracked::sLive, 4);
}

TEST_F(ListTest, RemoveRefusesItemsOfOtherLists) {
    List<Tracked> list;
    List<Tracked> other;
    ListItem<Tracked>* mine = list.append(Tracked(1));
    ListItem<Tracked>* theirs = other.append(Tracked(2));
    EXPECT_FALSE(list.remove(theirs));
    EXPECT_FALSE(list.remove(nullptr));
    EXPECT_EQ(other.getCount(), 1);
    EXPECT_TRUE(list.remove(mine));
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(Tracked::sLive, 1);
}

TEST_F(ListTest, LoopMayRemoveTheItemItStandsOn) {
    List<Tracked> list;
    for (int i = 0; i < 6; ++i) {
        list.append(Tracked(i));
    }
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->value() % 3 != 0) {
            EXPECT_TRUE(list.remove(it.getItem()));
        }
    }
    EXPECT_EQ(valuesOf(list), (std::vector<int>{0, 3}));
    EXPECT_EQ(Tracked::sLive, 2);
}

TEST_F(ListTest, ClearRecyclesItemsWithoutNewBlocks) {
    List<Tracked, ListAllocator<Tracked, 8>> list;
    for (int i = 0; i < 8; ++i) {
        list.append(Tracked(i));
    }
    list.clear();
    EXPECT_EQ(Tracked::sLive, 0);
    for (int i = 0; i < 8; ++i) {
        list.append(list.getCount() > 0 ? list.getFirst()->getValue() : Tracked(i));
    }
    EXPECT_EQ(list.getAllocator().getBlockCount(), 1);
    list.append(Tracked(8));
    EXPECT_EQ(list.getAllocator().getBlockCount(), 2);
}

TEST_F(ListTest, CopiesAreDeep) {
    List<Tracked> list;
    list.append(Tracked(1));
    list.append(Tracked(2));
    List<Tracked> copy(list);
    copy.getFirst()->getValue() = Tracked(9);
    EXPECT_EQ(valuesOf(list), (std::vector<int>{1, 2}));
    EXPECT_EQ(valuesOf(copy), (std::vector<int>{9, 2}));
    EXPECT_EQ(Tracked::sLive, 4);
}

TEST_F(ListTest, ClassPathNamesList) {
    EXPECT_STREQ(List<int>().className().c_str(), "Object:List");
}

}  // namespace
}  // namespace nevrik::container
