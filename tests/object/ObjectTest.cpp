#include "nevrik/object/Class.h"
#include "nevrik/object/Exception.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <random>
#include <thread>
#include <type_traits>
#include <vector>

namespace nevrik::object {
namespace {

// Counts live instances, so a test sees exactly when the last release destroys.
class Counted : public Object {
public:
    explicit Counted(int* live) : mLive(live) { ++*mLive; }
    Counted(const Counted& other) : Object(other), mLive(other.mLive) { ++*mLive; }
    ~Counted() override { --*mLive; }
    NEVRIK_CLASS_NAME(Object, ":Counted")

private:
    int* mLive;
};

class Derived : public Counted {
public:
    using Counted::Counted;
    NEVRIK_CLASS_NAME(Counted, ":Derived")
};

// No name string of its own: reports its base's path.
class Unnamed : public Derived {
public:
    using Derived::Derived;
};

TEST(ObjectTest, NewObjectHasOneReferenceAndOneReleaseDestroysIt) {
    int live = 0;
    auto* object = new Counted(&live);
    EXPECT_EQ(object->getReferenceCount(), 1);
    object->release();
    EXPECT_EQ(live, 0);
}

TEST(ObjectTest, AddedReferenceDelaysDestructionToSecondRelease) {
    int live = 0;
    auto* object = new Counted(&live);
    object->addReference();
    object->release();
    EXPECT_EQ(live, 1);
    EXPECT_EQ(object->getReferenceCount(), 1);
    object->release();
    EXPECT_EQ(live, 0);
}

TEST(ObjectTest, ConcurrentReleasesDestroyExactlyOnce) {
    for (int round = 0; round < 200; ++round) {
        int live = 0;
        auto* object = new Counted(&live);
        object->addReference();
        std::atomic<bool> go{false};
        auto releaser = [&] {
            while (!go.load()) {
            }
            object->release();
        };
        std::thread a(releaser), b(releaser);
        go = true;
        a.join();
        b.join();
        ASSERT_EQ(live, 0);
    }
}

TEST(ObjectTest, ClassPathsFollowNameStringsDownTheHierarchy) {
    int live = 0;
    Object plain;
    Derived derived(&live);
    Unnamed unnamed(&live);
    EXPECT_EQ(plain.className(), "Object");
    EXPECT_EQ(derived.className(), "Object:Counted:Derived");
    EXPECT_EQ(unnamed.className(), derived.className());
    EXPECT_EQ(derived.getClass().getName(), "Object:Counted:Derived");
    EXPECT_EQ(derived.getClass().className(), "Object:Class");
}

TEST(ObjectTest, PlainObjectNameAndTextAreItsClassPath) {
    int live = 0;
    Derived derived(&live);
    EXPECT_EQ(derived.getName(), "Object:Counted:Derived");
    EXPECT_EQ(derived.toString(), "Object:Counted:Derived");
    EXPECT_TRUE(derived.check());
}

TEST(ObjectTest, CopyIsANewObjectWithItsOwnReference) {
    int live = 0;
    auto* original = new Counted(&live);
    original->addReference();
    Counted copy(*original);
    EXPECT_EQ(copy.getReferenceCount(), 1);
    original->release();
    original->release();
    EXPECT_EQ(live, 1);
}

TEST(ObjectTest, DeathClearsWatchersAndFreesOwnedBlocks) {
    Object::Watcher first;
    Object::Watcher second;
    {
        Object object;
        object.addWatcher(&first);
        object.addWatcher(&second);
        object.adoptBlock(new Object::OwnedBlock);
        object.adoptBlock(new Object::OwnedBlock);
        EXPECT_EQ(first.watched, &object);
        EXPECT_EQ(second.next, &first);
    }
    EXPECT_EQ(first.watched, nullptr);
    EXPECT_EQ(second.watched, nullptr);
    EXPECT_EQ(second.next, nullptr);
    EXPECT_EQ(first.previous, nullptr);
}

TEST(PointerTest, HoldsOneReferenceAndReleasesItOnce) {
    int live = 0;
    auto* object = new Counted(&live);
    {
        Pointer<Counted> a(object);
        EXPECT_EQ(object->getReferenceCount(), 2);
        Pointer<Counted> b = a;
        Pointer<Counted> c = std::move(b);
        EXPECT_FALSE(b);
        EXPECT_EQ(object->getReferenceCount(), 3);
        object->release();
    }
    EXPECT_EQ(live, 0);
}

TEST(PointerTest, SelfAssignmentOfTheLastReferenceKeepsTheObject) {
    int live = 0;
    auto pointer = object::make<Counted>(&live);
    auto& alias = pointer;
    pointer = alias;
    EXPECT_EQ(live, 1);
    EXPECT_EQ(pointer->getReferenceCount(), 1);
    pointer = nullptr;
    EXPECT_EQ(live, 0);
}

TEST(PointerTest, AssigningAnObjectOwnedOnlyByTheOldTargetKeepsItAlive) {
    int live = 0;
    // The inner object's only other reference is released by the outer's death.
    struct Outer : Counted {
        Outer(int* count, Counted* held) : Counted(count), inner(held) {}
        Pointer<Counted> inner;
    };
    auto* inner = new Counted(&live);
    auto outer = object::make<Outer>(&live, inner);
    inner->release();
    Pointer<Counted> pointer = outer;
    outer = nullptr;
    pointer = static_cast<Outer*>(pointer.get())->inner;
    EXPECT_EQ(live, 1);
    EXPECT_EQ(pointer.get(), inner);
}

TEST(ExceptionTest, WithoutMessageTheTextIsTheClassName) {
    Exception plain;
    EXPECT_EQ(plain.toString(), "Exception");
    EXPECT_EQ(plain.getName(), "Exception");
    EXPECT_EQ(plain.className(), "Object:Exception");
    EXPECT_STREQ(plain.what(), "Exception");
}

NEVRIK_EXCEPTION(SampleException, Exception);
NEVRIK_EXCEPTION(DeeperException, SampleException);

TEST(ExceptionTest, SubclassesNameThemselvesAndKeepTheirMessage) {
    DeeperException unnamed;
    EXPECT_EQ(unnamed.toString(), "DeeperException");
    EXPECT_EQ(unnamed.getName(), "DeeperException");
    EXPECT_EQ(unnamed.className(), "Object:Exception:SampleException:DeeperException");
    try {
        throw DeeperException("disk on fire");
    } catch (const SampleException& caught) {
        EXPECT_EQ(caught.toString(), "disk on fire");
        EXPECT_EQ(caught.getName(), "DeeperException");
    }
}

// A raw pointer only becomes a Pointer on purpose: `Pointer<T> p = new T;`
// would leak the creator's reference.
static_assert(!std::is_convertible_v<Counted*, Pointer<Counted>>);
static_assert(std::is_constructible_v<Pointer<Counted>, Counted*>);
// Nor `p = new T;`: a raw pointer is held through reset(raw) or Pointer(raw).
static_assert(!std::is_assignable_v<Pointer<Counted>&, Counted*>);
static_assert(!std::is_assignable_v<Pointer<Counted>&, Derived*>);
static_assert(std::is_assignable_v<Pointer<Counted>&, std::nullptr_t>);

TEST(ObjectTest, ObjectsMadeAndDroppedThroughPointersLiveExactlyAsLongAsTheyAreHeld) {
    // Random makes, copies, moves, raw re-wraps and resets over a few slots;
    // the oracle: every object held lives, its count is the number of slots
    // holding it, and nothing else lives.
    int live = 0;
    std::mt19937 random(16);
    {
        std::vector<Pointer<Counted>> slots(8);
        for (int step = 0; step < 4000; ++step) {
            auto& to = slots[random() % slots.size()];
            auto& from = slots[random() % slots.size()];
            switch (random() % 7) {
                case 0:
                    to = make<Counted>(&live);
                    break;
                case 1:
                    to = make<Derived>(&live);
                    break;
                case 2:
                    to = from;
                    break;
                case 3:
                    to = std::move(from);
                    break;
                case 4:
                    to = Pointer<Counted>(from.get());
                    break;
                case 5:
                    // With `from` the same slot as `to`, its object must survive.
                    to.reset(from.get());
                    break;
                default:
                    to.reset();
                    break;
            }
            std::map<Counted*, int> held;
            for (const auto& slot : slots) {
                if (slot) {
                    ++held[slot.get()];
                }
            }
            ASSERT_EQ(live, static_cast<int>(held.size())) << "step " << step;
            for (const auto& [object, count] : held) {
                ASSERT_EQ(object->getReferenceCount(), count) << "step " << step;
            }
        }
    }
    EXPECT_EQ(live, 0);
}

}  // namespace
}  // namespace nevrik::object
