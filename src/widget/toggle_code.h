#pragma once
// The unified code of a button that "ToggleKeyCode" names: keyboard codes as
// delivered, mouse buttons from 256, gamepad buttons 266 to 281.
#include <cstdint>

namespace qm::widget {

// Codes at or above this never name a button.
inline constexpr std::uint32_t kNoToggleCode = 282;

std::uint32_t ToggleCode(std::uint32_t device, std::uint32_t keyCode);

}  // namespace qm::widget
