#include "widget/toggle_code.h"

#include "game/game_ui.h"

#include <array>
#include <utility>

namespace qm::widget {
namespace {

// Gamepad key codes are single button bits, or 9 and 10 for the triggers.
constexpr std::array<std::pair<std::uint32_t, std::uint32_t>, 16> kGamepadCodes{{
    {0x0001, 266},
    {0x0002, 267},
    {0x0004, 268},
    {0x0008, 269},
    {0x0010, 270},
    {0x0020, 271},
    {0x0040, 272},
    {0x0080, 273},
    {0x0100, 274},
    {0x0200, 275},
    {0x1000, 276},
    {0x2000, 277},
    {0x4000, 278},
    {0x8000, 279},
    {9, 280},
    {10, 281},
}};

}  // namespace

std::uint32_t ToggleCode(std::uint32_t device, std::uint32_t keyCode) {
  if (device == game::kDeviceMouse) {
    // A mouse code so large that adding 256 would wrap must not land on a
    // keyboard code.
    return keyCode < kNoToggleCode ? keyCode + 256 : kNoToggleCode;
  }
  if (device == game::kDeviceGamepad) {
    for (const auto& [button, code] : kGamepadCodes) {
      if (button == keyCode) return code;
    }
    return kNoToggleCode;
  }
  return keyCode;
}

}  // namespace qm::widget
