#include "nevrik/container/Stack.h"

#include "container/Tracked.h"

#include <gtest/gtest.h>

namespace nevrik::container {
namespace {

using test::Tracked;

TEST(StackTest, PopsInReverseAcrossChunksAndElementsNeverMove) {
    Tracked::sLive = 0;
    {
        Stack<Tracked, 3> stack;
        EXPECT_EQ(stack.getTop(), nullptr);
        EXPECT_FALSE(stack.pop());
        Tracked* bottom = &stack.push(Tracked(0));
        for (int i = 1; i < 9; ++i) {
            stack.push(Tracked(i));
        }
        stack.push(*stack.getTop());  // Its own top, opening a chunk.
        EXPECT_EQ(stack.getCount(), 10);
        EXPECT_EQ(stack.getTop()->value(), 8);
        stack.pop();
        for (int i = 8; i >= 1; --i) {
            ASSERT_EQ(stack.getTop()->value(), i);
            stack.pop();
            if (i == 4) {
                stack.push(Tracked(40));  // Back over the spare chunk's boundary.
                EXPECT_EQ(stack.getTop()->value(), 40);
                stack.pop();
            }
        }
        EXPECT_EQ(stack.getTop(), bottom);
        stack.push(Tracked(1));
        EXPECT_STREQ(stack.className().c_str(), "Object:Stack");
    }  // Destruction destroys the rest.
    EXPECT_EQ(Tracked::sLive, 0);
}

}  // namespace
}  // namespace nevrik::container
