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
struct Record : Chainable<Record> {
    int value = 0;
};

std::vector<int> idsOf(const Chain<Node>& chain) {
    std::vector<int> ids;
    for (Node* node : chain) {
        ids.push_back(node->id());
    }
    return ids;
}

class ChainTest : public ::testing::Test {
protected:
    void SetUp() override { test::CountedObject::sLive = 0; }
    void TearDown() override { EXPECT_EQ(test::CountedObject::sLive, 0); }
};

TEST_F(ChainTest, AddAppendsAndHoldsAReference) {
    Chain<Node> chain;
    Node* nodes[3] = {new Node(0), new Node(1), new Node(2)};
    for (Node* node : nodes) {
        EXPECT_TRUE(chain.add(node));
        EXPECT_EQ(node->getReferenceCount(), 2);
        node->release();
    }
    EXPECT_EQ(chain.getCount(), 3);
    EXPECT_EQ(idsOf(chain), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(chain.getFirst(), nodes[0]);
    EXPECT_EQ(chain.getLast(), nodes[2]);
    EXPECT_EQ(chain.getNext(nodes[1]), nodes[2]);
    EXPECT_EQ(chain.getNext(nodes[2]), nullptr);
    EXPECT_EQ(chain.getPrevious(nodes[0]), nullptr);
    EXPECT_EQ(test::CountedObject::sLive, 3);
}

TEST_F(ChainTest, RemoveDropsTheChainsReferenceOnce) {
    Chain<Node> chain;
    auto* kept = new Node(1);
    auto* dropped = new Node(2);
    chain.add(kept);
    chain.add(dropped);
    dropped->release();
    EXPECT_TRUE(chain.remove(kept));
    EXPECT_EQ(kept->getReferenceCount(), 1);
    EXPECT_EQ(kept->getChain(), nullptr);
    EXPECT_FALSE(chain.remove(kept));
    EXPECT_EQ(kept->getReferenceCount(), 1);
    EXPECT_TRUE(chain.remove(dropped));  // The last reference: destroyed.
    EXPECT_EQ(test::CountedObject::sLive, 1);
    EXPECT_TRUE(chain.isEmpty());
    kept->release();
}

TEST_F(ChainTest, ForeignElementsAreRefused) {
    Chain<Node> mine;
    Chain<Node> other;
    auto* node = new Node(7);
    ASSERT_TRUE(other.add(node));
    EXPECT_FALSE(mine.remove(node));
    EXPECT_FALSE(mine.add(node));
    EXPECT_FALSE(other.add(node));
    EXPECT_FALSE(mine.add(nullptr));
    EXPECT_FALSE(mine.remove(nullptr));
    EXPECT_EQ(mine.getCount(), 0);
    EXPECT_EQ(other.getCount(), 1);
    EXPECT_EQ(node->getChain(), &other);
    EXPECT_EQ(node->getReferenceCount(), 2);
    node->release();
}

TEST_F(ChainTest, BodyMayRemoveTheElementItIsGiven) {
    Chain<Node> chain;
    for (int i = 0; i < 6; ++i) {
        auto* node = new Node(i);
        chain.add(node);
        node->release();
    }
    std::vector<int> visited;
    for (Node* node : chain) {
        visited.push_back(node->id());
        if (node->id() % 2 == 0) {
            chain.remove(node);  // Destroys it.
        }
    }
    EXPECT_EQ(visited, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(idsOf(chain), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(test::CountedObject::sLive, 3);
}

TEST_F(ChainTest, ClearAndDestructionReleaseEveryElement) {
    auto* survivor = new Node(1);
    {
        Chain<Node> chain;
        chain.add(survivor);
        auto* owned = new Node(2);
        chain.add(owned);
        owned->release();
        chain.clear();
        EXPECT_EQ(chain.getCount(), 0);
        EXPECT_EQ(survivor->getReferenceCount(), 1);
        EXPECT_EQ(test::CountedObject::sLive, 1);
        chain.add(survivor);
    }
    EXPECT_EQ(survivor->getReferenceCount(), 1);
    EXPECT_EQ(survivor->getChain(), nullptr);
    survivor->release();
}

TEST_F(ChainTest, PlainRecordsAreLinkedWithoutOwnership) {
    Chain<Record> chain;
    Record a;
    Record b;
    {
        Record dying;
        chain.add(&a);
        chain.add(&dying);
        chain.add(&b);
    }  // A record that dies while linked unlinks itself.
    EXPECT_EQ(chain.getCount(), 2);
    EXPECT_EQ(chain.getNext(&a), &b);
    Record copy(a);
    EXPECT_EQ(copy.getChain(), nullptr);
    chain.clear();
    EXPECT_EQ(a.getChain(), nullptr);
}

TEST_F(ChainTest, ClassPathNamesChain) {
    EXPECT_STREQ(Chain<Record>().className().c_str(), "Object:Chain");
}

}  // namespace
}  // namespace nevrik::container
