#include "nevrik/container/Map.h"

#include "container/Tracked.h"
#include "nevrik/types/String.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace nevrik::container {
namespace {

using test::Tracked;
using types::String;

template <class K, class V>
std::vector<std::pair<K, V>> entriesOf(const Map<K, V>& map) {
    std::vector<std::pair<K, V>> entries;
    for (const auto& node : map) {
        entries.emplace_back(node.getKey(), node.getValue());
    }
    return entries;
}

TEST(MapTest, StringKeysInsertOrAssignAndOrderByBytes) {
    Map<String, int> map;
    for (const char* key : {"b", "ab", "a", "", "abc", "\xff", "B"}) {
        EXPECT_TRUE(map.insert(String(key), 1));
    }
    EXPECT_FALSE(map.insert(String("ab"), 2));  // Assigns; the count stays.
    EXPECT_EQ(map.getCount(), 7);
    EXPECT_EQ(*map.find(String("ab")), 2);
    EXPECT_EQ(map.find(String("abcd")), nullptr);
    std::vector<std::string> keys;
    for (const auto& node : map) {
        keys.emplace_back(node.getKey().c_str());
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"", "B", "a", "ab", "abc", "b", "\xff"}));
    EXPECT_STREQ(map.className().c_str(), "Object:Map");
}

TEST(MapTest, RandomInsertsAndRemovesMatchStdMapAndKeepHeapOrder) {
    std::mt19937 random(20240601u);
    std::uniform_int_distribution<int> keys(0, 499);
    Map<int, int> map;
    std::map<int, int> expected;
    for (int step = 1; step <= 20000; ++step) {
        const int key = keys(random);
        if (random() % 3 == 0) {
            ASSERT_EQ(map.remove(key), expected.erase(key) == 1);
        } else {
            ASSERT_EQ(map.insert(key, step), expected.count(key) == 0);
            expected[key] = step;
        }
        if (step % 500 == 0) {
            ASSERT_TRUE(map.check()) << "at step " << step;
            ASSERT_EQ(entriesOf(map), (std::vector<std::pair<int, int>>(expected.begin(), expected.end())));
        }
    }
}

TEST(MapTest, KeysAndValuesAreDestroyedExactlyOnce) {
    Tracked::sLive = 0;
    {
        Map<Tracked, Tracked> map;
        for (int i = 0; i < 100; ++i) {
            map.insert(Tracked(i), Tracked(-i));
        }
        map.insert(Tracked(5), Tracked(55));
        EXPECT_EQ(Tracked::sLive, 200);
        for (int i = 0; i < 100; i += 2) {
            EXPECT_TRUE(map.remove(Tracked(i)));
        }
        EXPECT_FALSE(map.remove(Tracked(0)));
        EXPECT_EQ(Tracked::sLive, 100);
        map.clear();
        EXPECT_EQ(Tracked::sLive, 0);
        map.insert(Tracked(1), Tracked(1));
    }
    EXPECT_EQ(Tracked::sLive, 0);
}

TEST(MapTest, ValuesTakenFromTheMapItselfAreSafe) {
    Map<int, String> map;
    map.insert(0, String("a value long enough to need more than the smallest buffer of sixty-four"));
    for (int i = 1; i < 200; ++i) {
        map.insert(i, *map.find(i - 1));  // New nodes open new blocks.
    }
    map.insert(7, *map.find(7));
    EXPECT_EQ(*map.find(199), *map.find(0));
    EXPECT_EQ(*map.find(7), *map.find(0));
}

TEST(MapTest, NodesAreRecycledWithoutNewBlocks) {
    Map<int, int> map;
    for (int i = 0; i < 64; ++i) {
        map.insert(i, i);
    }
    map.clear();
    for (int i = 0; i < 96; ++i) {
        map.insert(100 + i, i);
        if (i >= 32) {
            map.remove(100 + i - 32);
        }
    }
    EXPECT_EQ(map.getAllocator().getBlockCount(), 1);
}

TEST(MapTest, PointerKeysAndDeepCopies) {
    int objects[3] = {};
    Map<const int*, int> map;
    map.insert(&objects[2], 2);
    map.insert(&objects[0], 0);
    map.insert(&objects[1], 1);
    Map<const int*, int> copy(map);
    ASSERT_TRUE(copy.check());
    *copy.find(&objects[1]) = 10;
    copy.remove(&objects[0]);
    EXPECT_EQ(*map.find(&objects[1]), 1);
    EXPECT_EQ(map.getCount(), 3);
    EXPECT_EQ(entriesOf(copy),
              (std::vector<std::pair<const int*, int>>{{&objects[1], 10}, {&objects[2], 2}}));
}

}  // namespace
}  // namespace nevrik::container
