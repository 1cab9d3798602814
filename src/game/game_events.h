#pragma once
// The hit event the engine receives (runtime 1.5.39).
#include "game/game_types.h"

#include <cstddef>
#include <cstdint>

namespace qm::game {

struct TESHitEvent {
  Reference* target;           // 0x00: the reference that was hit
  Reference* cause;            // 0x08: the reference that dealt the hit
  std::uint32_t sourceFormId;  // 0x10: weapon, shield, spell, ...
  std::uint32_t projectileId;  // 0x14
  std::uint8_t flags;          // 0x18: low byte of the hit flags
  std::uint8_t pad19[7];       // 0x19
};
static_assert(offsetof(TESHitEvent, target) == 0x00);
static_assert(offsetof(TESHitEvent, cause) == 0x08);
static_assert(offsetof(TESHitEvent, sourceFormId) == 0x10);
static_assert(offsetof(TESHitEvent, flags) == 0x18);

inline constexpr std::uint8_t kHitPowerAttack = 0x01;
inline constexpr std::uint8_t kHitBlocked = 0x08;

// The hit event source inside the game's holder of script event sources.
inline constexpr std::uintptr_t kHitSourceInScriptEventSources = 0x5D8;

}  // namespace qm::game
