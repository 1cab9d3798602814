#pragma once
// The engine's two sink objects. They are game-facing objects: an explicit dispatch table in MSVC slot
// order, slot 0 the destructor, slot 1 the receive function.
#include "game/game_events.h"

#include <cstddef>
#include <cstdint>

namespace qm::engine {

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
