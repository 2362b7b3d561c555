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

TEST_F(ListTest, AppendPrependAndRemoveWhileIterating) {
    List<Tracked> list;
    for (int i = 2; i < 6; ++i) {
        list.append(Tracked(i));
    }
    list.prepend(Tracked(1));
    list.prepend(list.getLast()->getValue());  // Its own element.
    EXPECT_EQ(valuesOf(list), (std::vector<int>{5, 1, 2, 3, 4, 5}));
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->value() % 2 != 0) {
            EXPECT_TRUE(list.remove(it.getItem()));
        }
    }
    EXPECT_EQ(valuesOf(list), (std::vector<int>{2, 4}));
    EXPECT_EQ(Tracked::sLive, 2);
    EXPECT_STREQ(list.className().c_str(), "Object:List");
}

TEST_F(ListTest, RemoveRefusesItemsOfOtherLists) {
    List<Tracked> list;
    List<Tracked> other;
    ListItem<Tracked>* theirs = other.append(Tracked(2));
    list.append(Tracked(1));
    EXPECT_FALSE(list.remove(theirs));
    EXPECT_FALSE(list.remove(nullptr));
    EXPECT_EQ(list.getCount(), 1);
    EXPECT_EQ(other.getCount(), 1);
}

TEST_F(ListTest, ClearRecyclesItemsAndCopiesAreDeep) {
    List<Tracked, ListAllocator<Tracked, 8>> list;
    for (int i = 0; i < 8; ++i) {
        list.append(Tracked(i));
    }
    list.clear();
    EXPECT_EQ(Tracked::sLive, 0);
    for (int i = 0; i < 8; ++i) {
        list.append(Tracked(i));
    }
    EXPECT_EQ(list.getAllocator().getBlockCount(), 1);
    List<Tracked, ListAllocator<Tracked, 8>> copy(list);
    copy.getFirst()->getValue() = Tracked(9);
    EXPECT_EQ(list.getFirst()->getValue().value(), 0);
    EXPECT_EQ(Tracked::sLive, 16);
}

}  // namespace
}  // namespace nevrik::container
