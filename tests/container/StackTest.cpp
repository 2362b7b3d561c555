#include "nevrik/container/Stack.h"

#include "container/Tracked.h"

#include <gtest/gtest.h>

namespace nevrik::container {
namespace {

using test::Tracked;

TEST(StackTest, PopsInReverseOrderAcrossChunks) {
    Tracked::sLive = 0;
    {
        Stack<Tracked, 3> stack;
        EXPECT_EQ(stack.getTop(), nullptr);
        EXPECT_FALSE(stack.pop());
        for (int i = 0; i < 10; ++i) {
            stack.push(Tracked(i));
        }
        EXPECT_EQ(stack.getCount(), 10);
        for (int i = 9; i >= 4; --i) {
            ASSERT_NE(stack.getTop(), nullptr);
            EXPECT_EQ(stack.getTop()->value(), i);
            EXPECT_TRUE(stack.pop());
        }
        EXPECT_EQ(Tracked::sLive, 4);
        // Back up across the boundary the spare chunk sits on.
        stack.push(Tracked(40));
        stack.push(Tracked(50));
        EXPECT_EQ(stack.getTop()->value(), 50);
        stack.pop();
        EXPECT_EQ(stack.getTop()->value(), 40);
    }  // Destruction pops the rest.
    EXPECT_EQ(Tracked::sLive, 0);
}

TEST(StackTest, ElementsStayInPlaceAndOwnTopMayBePushed) {
    Tracked::sLive = 0;
    {
        Stack<Tracked, 2> stack;
        Tracked* bottom = &stack.push(Tracked(1));
        for (int i = 0; i < 7; ++i) {
            stack.push(*stack.getTop());  // Every other push opens a chunk.
        }
        EXPECT_EQ(Tracked::sLive, 8);
        while (stack.getCount() > 1) {
            EXPECT_EQ(stack.getTop()->value(), 1);
            stack.pop();
        }
        EXPECT_EQ(stack.getTop(), bottom);
        stack.clear();
        EXPECT_TRUE(stack.isEmpty());
        EXPECT_EQ(Tracked::sLive, 0);
        stack.push(Tracked(3));
    }
    EXPECT_EQ(Tracked::sLive, 0);
}

TEST(StackTest, ClassPathNamesStack) {
    EXPECT_STREQ((Stack<int, 4>().className().c_str()), "Object:Stack");
}

}  // namespace
}  // namespace nevrik::container
