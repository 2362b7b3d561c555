#include "nevrik/object/AttachmentList.h"

#include <gtest/gtest.h>

namespace nevrik::object {
namespace {

class CountedAttachment : public AttachmentBase {
public:
    explicit CountedAttachment(int* live) : mLive(live) { ++*mLive; }
    ~CountedAttachment() override { --*mLive; }

private:
    int* mLive;
};

TEST(AttachmentListTest, RecordsAreDeletedOnceAndForeignOnesRefused) {
    int live = 0;
    {
        AttachmentList list;
        AttachmentList other;
        auto* attachment = new CountedAttachment(&live);
        ASSERT_TRUE(list.add(attachment));
        EXPECT_FALSE(other.add(attachment));
        EXPECT_FALSE(list.add(attachment));
        EXPECT_FALSE(list.add(nullptr));
        list.add(new CountedAttachment(&live));
        AttachmentList copy(list);  // Starts empty: records belong to one node.
        EXPECT_EQ(copy.getCount(), 0);
        copy.add(new CountedAttachment(&live));
        copy = list;
        EXPECT_EQ(copy.getCount(), 1);
        EXPECT_EQ(live, 3);
        list.clear();
        EXPECT_EQ(live, 1);
        EXPECT_STREQ(list.className().c_str(), "Object:AttachmentList");
    }
    EXPECT_EQ(live, 0);
}

}  // namespace
}  // namespace nevrik::object
