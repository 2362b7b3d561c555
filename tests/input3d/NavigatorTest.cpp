#include "nevrik/input3d/Navigator.h"

#include "input3d/Near.h"
#include "nevrik/input/MouseListener.h"
#include "nevrik/input3d/TrackballController.h"
#include "nevrik/object/Pointer.h"

#include <gtest/gtest.h>

namespace nevrik::input3d {
namespace {

using math::Matrix4;
using math::Vector3;
using object::Pointer;
using test::expectNear;

// Stays at a fixed transform and counts its calls; counts live instances.
class Fixed : public Controller {
public:
    explicit Fixed(const Vector3<float>& translation = {}) {
        mCurrent.setColumn(3, translation);
        ++sLive;
    }
    ~Fixed() override { --sLive; }
    void update(float dt) override { mDt = dt; }
    void onConstrained() override { ++mConstrained; }

    float mDt = 0.0f;
    int mConstrained = 0;
    static inline int sLive = 0;
};

// Moves the transform up by one when `changes`, and says whether it did.
class Lift : public Constraint {
public:
    explicit Lift(bool changes) : mChanges(changes) {}
    bool apply(Matrix4<float>& transform) override {
        transform(1, 3) += mChanges ? 1.0f : 0.0f;
        return mChanges;
    }

private:
    bool mChanges;
};

TEST(NavigatorTest, WithoutControllersTheTransformStays) {
    Navigator navigator;
    navigator.update(1.0f);
    expectNear(navigator.getTransform(), Matrix4<float>());
    navigator.setFirst(object::make<Fixed>(Vector3<float>{1, 2, 3}).get());
    navigator.update(1.0f);
    navigator.setFirst(nullptr);
    navigator.update(1.0f);
    expectNear(navigator.getTransform().getColumn(3), {1, 2, 3});
}

TEST(NavigatorTest, TrackballBeforeDistanceOrbitsTheOrigin) {
    auto trackball = object::make<TrackballController>();
    auto distance = object::make<Fixed>(Vector3<float>{0, 0, 400});
    ASSERT_TRUE(trackball->setNext(distance.get()));
    Navigator navigator;
    navigator.setFirst(trackball.get());
    trackball->setArea({0, 0, 400, 300});
    trackball->mouseMoved({200, 150}, 0);
    trackball->mouseMoved({260, 110}, input::MouseListener::kLeftButton);
    navigator.update(0.5f);
    EXPECT_EQ(distance->mDt, 0.5f);

    const Vector3<float> position = navigator.getTransform().getColumn(3);
    EXPECT_NEAR(position.length(), 400.0f, 1e-2f);
    EXPECT_GT((position - Vector3<float>(0, 0, 400)).length(), 10.0f);
    // The view axis -z points from the camera back at the origin.
    expectNear(position * (1.0f / 400.0f), navigator.getTransform().getColumn(2), 1e-4f);
}

TEST(NavigatorTest, ConstraintCorrectsBeforeTheProductAndNotifiesOnlyOnChange) {
    auto first = object::make<Fixed>(Vector3<float>{1, 0, 0});
    auto second = object::make<Fixed>();
    first->setNext(second.get());
    first->setConstraint(object::make<Lift>(true).get());
    second->setConstraint(object::make<Lift>(false).get());
    Navigator navigator;
    navigator.setFirst(first.get());
    navigator.update(1.0f);
    navigator.update(1.0f);
    EXPECT_EQ(first->mConstrained, 2);
    EXPECT_EQ(second->mConstrained, 0);
    expectNear(navigator.getTransform().getColumn(3), {1, 2, 0});
}

TEST(NavigatorTest, ChainRefusesLoopsAndDiesOnceWithItsLastHolder) {
    Fixed::sLive = 0;
    auto* navigator = new Navigator;
    auto* a = new Fixed;
    auto* b = new Fixed;
    EXPECT_TRUE(a->setNext(b));
    EXPECT_FALSE(b->setNext(a));
    EXPECT_FALSE(a->setNext(a));
    EXPECT_EQ(b->getNext(), nullptr);
    navigator->setFirst(a);
    a->release();
    b->release();
    EXPECT_EQ(Fixed::sLive, 2);
    navigator->release();
    EXPECT_EQ(Fixed::sLive, 0);
}

}  // namespace
}  // namespace nevrik::input3d
