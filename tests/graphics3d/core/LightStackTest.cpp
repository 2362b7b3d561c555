#include "nevrik/graphics3d/core/LightStack.h"

#include "nevrik/graphics3d/core/Light.h"
#include "nevrik/object/Pointer.h"

#include "graphics3d/GlFixture.h"

#include <vector>

namespace nevrik::graphics3d {
namespace {

class CountingLight : public Light {
public:
    void apply(int unit) const override { mUnits.push_back(unit); }
    mutable std::vector<int> mUnits;
};

using LightStackTest = GlFixture;

TEST_F(LightStackTest, EmptySlotSwitchesTheLightOnAndEveryPutSendsTheParameters) {
    LightStack& lights = mContext->getLightStack();
    auto light = object::make<CountingLight>();
    ASSERT_TRUE(lights.put(3, light.get()));
    EXPECT_TRUE(isEnabled(GL_LIGHT3));
    glDisable(GL_LIGHT3);
    ASSERT_TRUE(lights.put(3, light.get()));
    EXPECT_FALSE(isEnabled(GL_LIGHT3)) << "an occupied slot is not switched on again";
    EXPECT_EQ(light->mUnits, (std::vector<int>{3, 3}));
    EXPECT_EQ(lights.get(3), light.get());
}

TEST_F(LightStackTest, OutOfRangeSlotsAreRefused) {
    LightStack& lights = mContext->getLightStack();
    auto light = object::make<CountingLight>();
    EXPECT_FALSE(lights.put(LightStack::kSlots, light.get()));
    EXPECT_FALSE(lights.put(-1, light.get()));
    EXPECT_FALSE(lights.put(0, nullptr));
    EXPECT_TRUE(light->mUnits.empty());
    EXPECT_EQ(lights.get(LightStack::kSlots), nullptr);
}

TEST_F(LightStackTest, DyingLightLeavesEverySlotItHeld) {
    LightStack& lights = mContext->getLightStack();
    auto kept = object::make<CountingLight>();
    auto* dying = new CountingLight();
    lights.put(0, dying);
    lights.put(5, dying);
    lights.put(1, kept.get());
    dying->release();
    EXPECT_EQ(lights.get(0), nullptr);
    EXPECT_EQ(lights.get(5), nullptr);
    EXPECT_FALSE(isEnabled(GL_LIGHT0));
    EXPECT_FALSE(isEnabled(GL_LIGHT5));
    EXPECT_EQ(lights.get(1), kept.get());
    EXPECT_TRUE(isEnabled(GL_LIGHT1));
}

}  // namespace
}  // namespace nevrik::graphics3d
