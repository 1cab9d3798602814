#pragma once
// The engine's game events (runtime 1.5.39) and its two sink objects. The
// sinks are game-facing objects: an explicit dispatch table in MSVC slot
// order, slot 0 the destructor, slot 1 the receive function.
#include "plugin/game_types.h"

#include <cstddef>
#include <cstdint>

namespace qm::engine {

struct TESHitEvent {
  game::Reference* target;     // 0x00: the reference that was hit
  game::Reference* cause;      // 0x08: the reference that dealt the hit
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

// BSTEventSink<TESHitEvent>; no data beyond its table.
struct HitEventHandler {
  game::Sink base;  // 0x00
};
static_assert(sizeof(HitEventHandler) == 0x8);

// BSTEventSink<UpdateEvent>; no data beyond its table.
struct UpdateEventHandler {
  game::Sink base;  // 0x00
};
static_assert(sizeof(UpdateEventHandler) == 0x8);

extern const game::SinkDispatch kHitEventHandlerDispatch;
extern const game::SinkDispatch kUpdateEventHandlerDispatch;

// The process-wide sink objects and the update counter (process_state.cpp).
extern HitEventHandler TheHitEventHandler;
extern UpdateEventHandler TheUpdateEventHandler;
extern std::uint32_t UpdateTickCount;

}  // namespace qm::engine
