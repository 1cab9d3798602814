#pragma once
// The events the game sends the durability engine: hits on the script event
// holder's hit source, and the per-frame update event.
#include "references.h"
#include "world.h"

#include <cstddef>
#include <cstdint>

namespace gd {

struct HitEventRec {
  ReferenceRec* target;        // 0x00
  ReferenceRec* cause;         // 0x08
  std::uint32_t sourceFormId;  // 0x10
  std::uint32_t projectileId;  // 0x14
  std::uint32_t flags;         // 0x18: low byte: 0x1 power attack, 0x2 sneak, 0x4 bash, 0x8 blocked
  std::uint32_t pad1C;         // 0x1C
};
static_assert(offsetof(HitEventRec, sourceFormId) == 0x10);
static_assert(offsetof(HitEventRec, projectileId) == 0x14);
static_assert(offsetof(HitEventRec, flags) == 0x18);
static_assert(sizeof(HitEventRec) == 0x20);

constexpr std::uint32_t kHitPowerAttack = 0x1;
constexpr std::uint32_t kHitBlocked = 0x8;

struct UpdateEventRec {
  std::uint8_t pad00[8];
};

void DispatchHit(World& world, ReferenceRec* target, ReferenceRec* cause, std::uint32_t sourceFormId,
                 std::uint32_t flags, std::uint32_t projectileId = 0);
void DispatchUpdate(World& world);

}  // namespace gd
