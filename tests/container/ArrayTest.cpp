#include "nevrik/container/Array.h"

#include "container/Tracked.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace nevrik::container {
namespace {

using test::Tracked;
using types::String;

std::vector<int> valuesOf(const Array<Tracked>& array) {
    std::vector<int> values;
    for (const Tracked& element : array) {
        values.push_back(element.value());
    }
    return values;
}

class ArrayTest : public ::testing::Test {
protected:
    void SetUp() override { Tracked::sLive = 0; }
    void TearDown() override { EXPECT_EQ(Tracked::sLive, 0); }
};

TEST_F(ArrayTest, GrowthFollowsStepRule) {
    Array<int> array;
    array.resize(3);
    EXPECT_EQ(array.getCapacity(), 3);
    array.resize(4);
    EXPECT_EQ(array.getCapacity(), 7);
    Array<int> ten(10);
    ten.resize(11);
    EXPECT_EQ(ten.getCapacity(), 20);
    ten.resize(100);  // Beyond the step: met exactly.
    EXPECT_EQ(ten.getCapacity(), 100);
    Array<int> limited(10);
    EXPECT_FALSE(limited.setMaxGrowStep(0));
    ASSERT_TRUE(limited.setMaxGrowStep(2));
    limited.resize(11);
    EXPECT_EQ(limited.getCapacity(), 12);

    Array<int> added;
    std::vector<int> capacities;
    for (int i = 0; i < 12; ++i) {
        added.add(i);
        capacities.push_back(added.getCapacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{1, 5, 5, 5, 5, 10, 10, 10, 10, 10, 20, 20}));
    EXPECT_STREQ(added.className().c_str(), "Object:Array");
}

TEST_F(ArrayTest, ResizeConstructsAndDestroysExactlyAndZeroKeepsBuffer) {
    Array<Tracked> array(5);
    const Tracked* buffer = array.getData();
    array.resize(2);
    EXPECT_EQ(Tracked::sLive, 2);
    array.resize(0);
    EXPECT_EQ(Tracked::sLive, 0);
    EXPECT_EQ(array.getCapacity(), 5);
    array.resize(4);
    EXPECT_EQ(array.getData(), buffer);
    for (int i = 0; i < 50; ++i) {
        array.add(Tracked(i));
    }
    EXPECT_EQ(Tracked::sLive, 54);
    EXPECT_EQ(array[53].value(), 49);
}

TEST_F(ArrayTest, OwnElementsMayBeAddedInsertedAndAppended) {
    const char* text = "an element long enough to own a heap buffer of its own";
    Array<String> strings;
    strings.add(String(text));
    strings.add(strings[0]);  // Full: the buffer moves while element 0 is read.
    EXPECT_EQ(strings[1], text);

    Array<Tracked> array;
    for (int i = 0; i < 3; ++i) {
        array.add(Tracked(i));
    }
    array.append(array);
    EXPECT_EQ(valuesOf(array), (std::vector<int>{0, 1, 2, 0, 1, 2}));
    EXPECT_TRUE(array.insert(0, array[2]));  // The shift moves the source.
    EXPECT_TRUE(array.insert(7, Tracked(9)));
    EXPECT_TRUE(array.remove(1));
    EXPECT_EQ(valuesOf(array), (std::vector<int>{2, 1, 2, 0, 1, 2, 9}));
    EXPECT_EQ(Tracked::sLive, 7);
}

TEST_F(ArrayTest, BadIndicesAreRefusedOrThrow) {
    Array<int> array;
    array.add(5);
    EXPECT_FALSE(array.insert(-1, 1));
    EXPECT_FALSE(array.insert(2, 1));
    EXPECT_FALSE(array.remove(1));
    EXPECT_FALSE(array.remove(-1));
    try {
        (void)array[1];
        FAIL() << "no exception";
    } catch (const object::Exception& e) {
        EXPECT_STREQ(e.what(), "Array: index out of range");
    }
    EXPECT_THROW((void)array[-1], object::Exception);
    EXPECT_THROW(array.resize(-1), object::Exception);
    EXPECT_EQ(array.getCount(), 1);
}

TEST_F(ArrayTest, CopiesAreDeepAndMovesEmptyTheSource) {
    Array<String> original;
    original.add(String("a"));
    original.add(String("b"));
    Array<String> copy(original);
    copy[0] = "changed";
    EXPECT_EQ(original[0], "a");
    Array<String> assigned;
    assigned.add(String("x"));
    assigned = original;
    const Array<String>& same = assigned;
    assigned = same;
    EXPECT_EQ(assigned.getCount(), 2);
    EXPECT_EQ(assigned[1], "b");
    Array<String> moved(std::move(copy));
    EXPECT_EQ(moved[0], "changed");
    EXPECT_EQ(copy.getData(), nullptr);  // NOLINT(bugprone-use-after-move): checks the moved-from state
}

TEST_F(ArrayTest, ArrayOfPointersHoldsOneReferencePerElement) {
    test::CountedObject::sLive = 0;
    {
        Array<object::Pointer<test::CountedObject>> array;
        array.add(object::make<test::CountedObject>(1));
        test::CountedObject* object = array[0].get();
        for (int i = 0; i < 10; ++i) {
            array.add(array[0]);
        }
        EXPECT_EQ(object->getReferenceCount(), 11);
        array.resize(1);
        EXPECT_EQ(object->getReferenceCount(), 1);
    }
    EXPECT_EQ(test::CountedObject::sLive, 0);
}

}  // namespace
}  // namespace nevrik::container
