#include "nevrik/platform/KeyCodes.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

namespace nevrik::platform {
namespace {

TEST(KeyCodesTest, LettersAreUpperCaseWhateverTheShiftAndDigitsAreAscii) {
    EXPECT_EQ(KeyCodes::fromKeysym(XK_a), static_cast<std::uint32_t>('A'));
    EXPECT_EQ(KeyCodes::fromKeysym(XK_z), static_cast<std::uint32_t>('Z'));
    EXPECT_EQ(KeyCodes::fromKeysym(XK_Q), static_cast<std::uint32_t>('Q'));
    EXPECT_EQ(KeyCodes::fromKeysym(XK_0), static_cast<std::uint32_t>('0'));
    EXPECT_EQ(KeyCodes::fromKeysym(XK_9), static_cast<std::uint32_t>('9'));
}

TEST(KeyCodesTest, RangesEndWhereTheVirtualKeysEnd) {
    EXPECT_EQ(KeyCodes::fromKeysym(XK_Left), KeyCodes::kLeft);
    EXPECT_EQ(KeyCodes::fromKeysym(XK_Up), 0x26u);
    EXPECT_EQ(KeyCodes::fromKeysym(XK_Right), 0x27u);
    EXPECT_EQ(KeyCodes::fromKeysym(XK_Down), KeyCodes::kDown);
    EXPECT_EQ(KeyCodes::fromKeysym(XK_F1), KeyCodes::kF1);
    EXPECT_EQ(KeyCodes::fromKeysym(XK_F24), 0x87u);
    EXPECT_EQ(KeyCodes::fromKeysym(XK_KP_0), 0x60u);
    EXPECT_EQ(KeyCodes::fromKeysym(XK_KP_9), 0x69u);
    EXPECT_EQ(KeyCodes::fromKeysym(XK_KP_Left), KeyCodes::kLeft) << "keypad without Num Lock";
}

TEST(KeyCodesTest, BothSidesOfAModifierShareOneCode) {
    EXPECT_EQ(KeyCodes::fromKeysym(XK_Shift_L), KeyCodes::kShift);
    EXPECT_EQ(KeyCodes::fromKeysym(XK_Shift_R), KeyCodes::kShift);
    EXPECT_EQ(KeyCodes::fromKeysym(XK_Control_R), KeyCodes::kControl);
    EXPECT_EQ(KeyCodes::fromKeysym(XK_Alt_L), KeyCodes::kAlt);
    EXPECT_EQ(KeyCodes::fromKeysym(XK_Return), KeyCodes::kReturn);
    EXPECT_EQ(KeyCodes::fromKeysym(XK_KP_Enter), KeyCodes::kReturn);
    EXPECT_EQ(KeyCodes::fromKeysym(XK_Escape), KeyCodes::kEscape);
}

TEST(KeyCodesTest, KeysWithoutACodeGiveZero) {
    EXPECT_EQ(KeyCodes::fromKeysym(0), 0u);
    EXPECT_EQ(KeyCodes::fromKeysym(XK_VoidSymbol), 0u);
    EXPECT_EQ(KeyCodes::fromKeysym(XK_F24 + 1), 0u);
    EXPECT_EQ(KeyCodes::fromKeysym(XK_a - 1), 0xC0u) << "the grave accent key";
}

}  // namespace
}  // namespace nevrik::platform
