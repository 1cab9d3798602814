// The button codes "ToggleKeyCode" is compared with.
#include "widget/toggle_code.h"

#include <gtest/gtest.h>

namespace qm::widget {
namespace {

constexpr std::uint32_t kKeyboard = 0;
constexpr std::uint32_t kMouse = 1;
constexpr std::uint32_t kGamepad = 2;

TEST(ToggleCode, KeyboardAndOtherDevicesKeepTheirCode) {
  EXPECT_EQ(ToggleCode(kKeyboard, 42), 42u);
  EXPECT_EQ(ToggleCode(kKeyboard, 1), 1u);
  EXPECT_EQ(ToggleCode(7, 42), 42u);
  EXPECT_EQ(ToggleCode(kKeyboard, 300), 300u);
}

TEST(ToggleCode, MouseButtonsStartAt256) {
  EXPECT_EQ(ToggleCode(kMouse, 0), 256u);
  EXPECT_EQ(ToggleCode(kMouse, 1), 257u);
  EXPECT_EQ(ToggleCode(kMouse, 25), 281u);
  EXPECT_EQ(ToggleCode(kMouse, 26), kNoToggleCode);
}

TEST(ToggleCode, HugeMouseCodesDoNotWrapOntoKeyboardCodes) {
  // 0xFFFFFF2A + 256 would wrap to 42 in 32 bits.
  // From the first code that is no button on, every code means none.
  EXPECT_EQ(ToggleCode(kMouse, kNoToggleCode), kNoToggleCode);
  EXPECT_EQ(ToggleCode(kMouse, 0xFFFFFF2Au), kNoToggleCode);
  EXPECT_EQ(ToggleCode(kMouse, 0xFFFFFFFFu), kNoToggleCode);
}

TEST(ToggleCode, GamepadButtonsMapTo266Through281) {
  const std::uint32_t buttons[] = {0x0001, 0x0002, 0x0004, 0x0008, 0x0010, 0x0020, 0x0040, 0x0080,
                                   0x0100, 0x0200, 0x1000, 0x2000, 0x4000, 0x8000, 9,      10};
  std::uint32_t expected = 266;
  for (std::uint32_t button : buttons) EXPECT_EQ(ToggleCode(kGamepad, button), expected++) << button;
}

TEST(ToggleCode, UnknownGamepadCodesNeverMatch) {
  for (std::uint32_t code : {0x1001u, 0u, 0x400u, 0x800u, 3u, 11u, 0x10000u}) {
    EXPECT_EQ(ToggleCode(kGamepad, code), kNoToggleCode) << code;
  }
}

}  // namespace
}  // namespace qm::widget
