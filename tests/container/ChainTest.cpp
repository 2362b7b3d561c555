#include "nevrik/container/Chain.h"

#include "container/Tracked.h"

#include <gtest/gtest.h>

#include <vector>

namespace nevrik::container {
namespace {

class Node : public test::CountedObject, public Chainable<Node> {
public:
    using CountedObject::CountedObject;
};

// A plain record with no Object base: the chain links it and nothing more.
struct Record : Chainable<Record> {};

class ChainTest : public ::testing::Test {
protected:
    void SetUp() override { test::CountedObject::sLive = 0; }
    void TearDown() override {
        mChain.clear();
        EXPECT_EQ(test::CountedObject::sLive, 0);
    }

    // Adds n nodes and hands their only reference to the chain.
    void fill(int n) {
        for (int i = 0; i < n; ++i) {
            auto* node = new Node(i);
            EXPECT_TRUE(mChain.add(node));
            node->release();
        }
    }
    std::vector<int> ids() const {
        std::vector<int> ids;
        for (Node* node : mChain) {
            ids.push_back(node->id());
        }
        return ids;
    }

    Chain<Node> mChain;
};

TEST_F(ChainTest, RemoveDropsTheChainsReferenceOnce) {
    auto* kept = new Node(9);
    mChain.add(kept);
    fill(2);
    EXPECT_EQ(kept->getReferenceCount(), 2);
    EXPECT_EQ(mChain.getNext(kept)->id(), 0);
    EXPECT_EQ(mChain.getPrevious(kept), nullptr);
    EXPECT_TRUE(mChain.remove(kept));
    EXPECT_FALSE(mChain.remove(kept));
    EXPECT_EQ(kept->getReferenceCount(), 1);
    EXPECT_EQ(kept->getChain(), nullptr);
    EXPECT_TRUE(mChain.remove(mChain.getLast()));  // Its last reference.
    EXPECT_EQ(test::CountedObject::sLive, 2);
    kept->release();
    EXPECT_STREQ(mChain.className().c_str(), "Object:Chain");
}

TEST_F(ChainTest, ForeignElementsAreRefusedAndNothingChanges) {
    Chain<Node> other;
    auto* node = new Node(7);
    ASSERT_TRUE(other.add(node));
    EXPECT_FALSE(mChain.remove(node));
    EXPECT_FALSE(mChain.add(node));
    EXPECT_FALSE(other.add(node));
    EXPECT_FALSE(mChain.add(nullptr));
    EXPECT_EQ(mChain.getCount(), 0);
    EXPECT_EQ(other.getCount(), 1);
    EXPECT_EQ(node->getChain(), &other);
    EXPECT_EQ(node->getReferenceCount(), 2);
    node->release();
}

TEST_F(ChainTest, LoopBodyMayRemoveTheElementItIsGiven) {
    fill(6);
    std::vector<int> visited;
    for (Node* node : mChain) {
        visited.push_back(node->id());
        if (node->id() % 2 == 0) {
            mChain.remove(node);  // Destroys it.
        }
    }
    EXPECT_EQ(visited, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(ids(), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(test::CountedObject::sLive, 3);
    mChain.clear();
    EXPECT_EQ(test::CountedObject::sLive, 0);
}

TEST_F(ChainTest, DestructionReleasesAndUnlinksSurvivors) {
    auto* survivor = new Node(1);
    {
        Chain<Node> chain;
        chain.add(survivor);
    }
    EXPECT_EQ(survivor->getReferenceCount(), 1);
    EXPECT_EQ(survivor->getChain(), nullptr);
    survivor->release();
}

TEST_F(ChainTest, PlainRecordsDyingWhileLinkedUnlinkThemselves) {
    Chain<Record> chain;
    Record a;
    Record b;
    {
        Record dying;
        chain.add(&a);
        chain.add(&dying);
        chain.add(&b);
    }
    EXPECT_EQ(chain.getCount(), 2);
    EXPECT_EQ(chain.getNext(&a), &b);
    EXPECT_EQ(Record(a).getChain(), nullptr);  // A copy starts unlinked.
}

}  // namespace
}  // namespace nevrik::container
