// UpdateEventHandler: every update clears the recent hits; every 201st also
// runs a tempering pass when the settings allow it.
#include "config/config_store.h"
#include "engine/dynamic_temper.h"
#include "engine/event_handlers.h"
#include "engine/recent_hits.h"

namespace qm::engine {
namespace {

constexpr std::uint32_t kUpdatesBetweenPasses = 200;

std::uint32_t OnUpdateEvent(game::Sink* /*self*/, const void* /*event*/, game::EventSource* /*source*/) {
  UpdateTick();
  return 0;
}

// The sink is a process-wide object; the game never deletes it.
void* DestroyUpdateEventHandler(game::Sink* self, std::uint32_t /*freeFlag*/) { return self; }

}  // namespace

void UpdateTick() {
  ClearRecentHits();
  if (++UpdateTickCount <= kUpdatesBetweenPasses) return;
  UpdateTickCount = 0;
  // Read anew at every pass, so turning tempering on or off takes effect at
  // the next one.
  if (config::Store().Get<config::Setting::DisableDynamicTemper>() == 0) DynamicTemperPass();
}

const game::SinkDispatch kUpdateEventHandlerDispatch{&DestroyUpdateEventHandler, &OnUpdateEvent};

}  // namespace qm::engine
