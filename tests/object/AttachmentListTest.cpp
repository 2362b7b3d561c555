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

TEST(AttachmentListTest, DestructionDeletesEveryRecordOnce) {
    int live = 0;
    {
        AttachmentList list;
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(list.add(new CountedAttachment(&live)));
        }
        EXPECT_EQ(list.getCount(), 3);
        EXPECT_EQ(live, 3);
    }
    EXPECT_EQ(live, 0);
}

TEST(AttachmentListTest, RecordsOnAnotherListAreRefused) {
    int live = 0;
    AttachmentList first;
    AttachmentList second;
    auto* attachment = new CountedAttachment(&live);
    ASSERT_TRUE(first.add(attachment));
    EXPECT_FALSE(second.add(attachment));
    EXPECT_FALSE(first.add(attachment));
    EXPECT_FALSE(first.add(nullptr));
    first.clear();
    EXPECT_EQ(live, 0);
    EXPECT_EQ(first.getCount(), 0);
    EXPECT_EQ(second.getCount(), 0);
}

TEST(AttachmentListTest, CopyStartsEmptyAndAssignmentKeepsOwnRecords) {
    int live = 0;
    AttachmentList list;
    list.add(new CountedAttachment(&live));
    AttachmentList copy(list);
    EXPECT_EQ(copy.getCount(), 0);
    copy.add(new CountedAttachment(&live));
    copy = list;
    EXPECT_EQ(copy.getCount(), 1);
    EXPECT_NE(*copy.begin(), *list.begin());
    EXPECT_STREQ(list.className().c_str(), "Object:AttachmentList");
}

}  // namespace
}  // namespace nevrik::object
