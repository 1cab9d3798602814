// Where no public source identifies the game's update event source (every
// runtime beyond 1.5.39), the update handler runs once a frame from the
// script extender's tasks instead. The extender empties its task pool until
// it is empty, so a task that queued itself there again would never let the
// frame end: the update task hands over to a task on the interface's queue,
// which the game empties once a frame too, and that one queues the update
// task again for the next frame.
#include "engine/event_handlers.h"
#include "game/host_records.h"

namespace qm::engine {
namespace {

void RunUpdateTask(game::TaskDelegate* /*self*/) {
  UpdateTick();
  game::HostTasks()->AddUITask(&TheUpdateRequeueTask);
}

void RunUpdateRequeueTask(game::TaskDelegate* /*self*/) { game::HostTasks()->AddTask(&TheUpdateTask.base); }

// Both tasks are process-wide objects, queued again and again: never freed.
void KeepTask(game::TaskDelegate* /*self*/) {}

}  // namespace

const game::TaskDelegateDispatch kUpdateTaskDispatch{&RunUpdateTask, &KeepTask};
const game::TaskDelegateDispatch kUpdateRequeueTaskDispatch{&RunUpdateRequeueTask, &KeepTask};

void StartUpdateTask() {
  // Once only: a second start would run the handler twice a frame.
  if (TheUpdateTask.started) return;
  TheUpdateTask.started = true;
  game::HostTasks()->AddTask(&TheUpdateTask.base);
}

}  // namespace qm::engine
