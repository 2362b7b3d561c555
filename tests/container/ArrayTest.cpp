#include "nevrik/container/Array.h"

#include "container/Tracked.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace nevrik::container {
namespace {

using test::CountedObject;
using test::Tracked;
using types::String;

std::vector<int> valuesOf(const Array<Tracked>& array) {
    std::vector<int> values;
    for (const Tracked& element : array) {
        values.push_back(element.value());
    }
    return values;
}

TEST(ArrayTest, GrowthFollowsStepRule) {
    Array<int> array;
    array.resize(3);
    EXPECT_EQ(array.getCapacity(), 3);
    array.resize(4);
    EXPECT_EQ(array.getCapacity(), 7);

    Array<int> ten(10);
    EXPECT_EQ(ten.getCapacity(), 10);
    ten.resize(11);
    EXPECT_EQ(ten.getCapacity(), 20);
    // A request beyond the step is met exactly.
    ten.resize(100);
    EXPECT_EQ(ten.getCapacity(), 100);

    Array<int> limited(10);
    ASSERT_TRUE(limited.setMaxGrowStep(2));
    limited.resize(11);
    EXPECT_EQ(limited.getCapacity(), 12);
    EXPECT_FALSE(limited.setMaxGrowStep(0));
    EXPECT_EQ(limited.getMaxGrowStep(), 2);
}

TEST(ArrayTest, AddGrowsByTheSameRule) {
    Array<int> array;
    std::vector<int> capacities;
    for (int i = 0; i < 12; ++i) {
        array.add(i);
        capacities.push_back(array.getCapacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{1, 5, 5, 5, 5, 10, 10, 10, 10, 10, 20, 20}));
}

TEST(ArrayTest, ResizeToZeroKeepsBufferAndDestroysElements) {
    Tracked::sLive = 0;
    {
        Array<Tracked> array(5);
        EXPECT_EQ(Tracked::sLive, 5);
        const Tracked* buffer = array.getData();
        array.resize(2);
        EXPECT_EQ(Tracked::sLive, 2);
        array.resize(0);
        EXPECT_EQ(Tracked::sLive, 0);
        EXPECT_EQ(array.getCapacity(), 5);
        EXPECT_EQ(array.getData(), buffer);
        array.resize(4);
        EXPECT_EQ(array.getData(), buffer);
        EXPECT_EQ(Tracked::sLive, 4);
    }
    EXPECT_EQ(Tracked::sLive, 0);
}

TEST(ArrayTest, ElementsSurviveReallocationAndDieOnce) {
    Tracked::sLive = 0;
    {
        Array<Tracked> array;
        for (int i = 0; i < 50; ++i) {
            array.add(Tracked(i));
        }
        EXPECT_EQ(Tracked::sLive, 50);
        EXPECT_EQ(array[49].value(), 49);
        EXPECT_EQ(array[0].value(), 0);
    }
    EXPECT_EQ(Tracked::sLive, 0);
}

TEST(ArrayTest, AddingOwnElementIsSafeWhenBufferMoves) {
    const char* text = "an element long enough to own a heap buffer of its own";
    Array<String> array;
    array.add(String(text));
    ASSERT_EQ(array.getCapacity(), 1);
    array.add(array[0]);  // Full: the buffer moves while element 0 is read.
    EXPECT_EQ(array.getCapacity(), 5);
    for (int i = 0; i < 3; ++i) {
        array.add(String("short"));
    }
    array.add(array[0]);  // Full again.
    EXPECT_EQ(array.getCapacity(), 10);
    EXPECT_EQ(array[1], text);
    EXPECT_EQ(array[5], text);
}

TEST(ArrayTest, AppendingItselfDoublesContent) {
    Tracked::sLive = 0;
    {
        Array<Tracked> array;
        for (int i = 0; i < 3; ++i) {
            array.add(Tracked(i));
        }
        array.append(array);
        EXPECT_EQ(valuesOf(array), (std::vector<int>{0, 1, 2, 0, 1, 2}));
        EXPECT_EQ(Tracked::sLive, 6);
    }
    EXPECT_EQ(Tracked::sLive, 0);
}

TEST(ArrayTest, InsertAndRemoveShiftElements) {
    Tracked::sLive = 0;
    {
        Array<Tracked> array;
        array.add(Tracked(1));
        array.add(Tracked(3));
        EXPECT_TRUE(array.insert(1, Tracked(2)));
        EXPECT_TRUE(array.insert(0, Tracked(0)));
        EXPECT_TRUE(array.insert(4, Tracked(4)));
        EXPECT_EQ(valuesOf(array), (std::vector<int>{0, 1, 2, 3, 4}));
        // Inserting a copy of an element that the shift moves.
        EXPECT_TRUE(array.insert(0, array[2]));
        EXPECT_EQ(valuesOf(array), (std::vector<int>{2, 0, 1, 2, 3, 4}));

        EXPECT_TRUE(array.remove(0));
        EXPECT_TRUE(array.remove(4));
        EXPECT_EQ(valuesOf(array), (std::vector<int>{0, 1, 2, 3}));
        EXPECT_EQ(Tracked::sLive, 4);
    }
    EXPECT_EQ(Tracked::sLive, 0);
}

TEST(ArrayTest, BadIndicesAreRefusedOrThrow) {
    Array<int> array;
    array.add(5);
    EXPECT_FALSE(array.insert(-1, 1));
    EXPECT_FALSE(array.insert(2, 1));
    EXPECT_FALSE(array.remove(1));
    EXPECT_FALSE(array.remove(-1));
    EXPECT_EQ(array.getCount(), 1);
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

TEST(ArrayTest, CopiesAreDeepAndIndependent) {
    Array<String> original;
    original.add(String("a"));
    original.add(String("b"));
    Array<String> copy(original);
    copy[0] = "changed";
    EXPECT_EQ(original[0], "a");
    EXPECT_NE(copy[1].c_str(), original[1].c_str());

    Array<String> assigned;
    assigned.add(String("x"));
    assigned = original;
    EXPECT_EQ(assigned.getCount(), 2);
    EXPECT_EQ(assigned[1], "b");
    const Array<String>& same = assigned;
    assigned = same;
    EXPECT_EQ(assigned[1], "b");

    Array<String> moved(std::move(copy));
    EXPECT_EQ(moved[0], "changed");
    EXPECT_EQ(copy.getCount(), 0);  // NOLINT(bugprone-use-after-move): the moved-from state is checked
    EXPECT_EQ(copy.getData(), nullptr);
}

TEST(ArrayTest, ArrayOfPointersKeepsObjectsAlive) {
    CountedObject::sLive = 0;
    auto* object = new CountedObject(1);
    {
        Array<object::Pointer<CountedObject>> array;
        array.add(object::Pointer<CountedObject>(object));
        object->release();
        for (int i = 0; i < 10; ++i) {
            array.add(array[0]);
        }
        EXPECT_EQ(object->getReferenceCount(), 11);
        array.resize(1);
        EXPECT_EQ(object->getReferenceCount(), 1);
    }
    EXPECT_EQ(CountedObject::sLive, 0);
}

TEST(ArrayTest, ClassPathNamesArray) {
    EXPECT_STREQ(Array<int>().className().c_str(), "Object:Array");
}

}  // namespace
}  // namespace nevrik::container
