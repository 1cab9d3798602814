#pragma once
// The engine's two sink objects. They are game-facing objects: an explicit dispatch table in MSVC slot
// order, slot 0 the destructor, slot 1 the receive function.
#include "game/game_events.h"
#include "game/host_records.h"

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

// What the update sink does with each update event, and what the update task
// does once a frame where the update event source is not known.
void UpdateTick();

// The script extender's task that runs UpdateTick once a frame, and the
// interface task that queues it again (update_task.cpp).
struct UpdateTask {
  game::TaskDelegate base;  // 0x00
  bool started;             // 0x08: queued once, then it keeps itself going
};
extern const game::TaskDelegateDispatch kUpdateTaskDispatch;
extern const game::TaskDelegateDispatch kUpdateRequeueTaskDispatch;
void StartUpdateTask();

extern const game::SinkDispatch kHitEventHandlerDispatch;
extern const game::SinkDispatch kUpdateEventHandlerDispatch;

// The process-wide sink objects and the update counter (process_state.cpp).
extern HitEventHandler TheHitEventHandler;
extern UpdateEventHandler TheUpdateEventHandler;
extern std::uint32_t UpdateTickCount;
extern UpdateTask TheUpdateTask;
extern game::TaskDelegate TheUpdateRequeueTask;

}  // namespace qm::engine
