#include "engine/engine_start.h"

#include "config/config_store.h"
#include "engine/event_handlers.h"
#include "game/game_bindings.h"

namespace qm::engine {

void RegisterEngineSinks() {
  const config::ConfigStore& store = config::Store();
  const bool degradationOff = store.Get<config::Setting::DisableDegradation>() != 0;
  if (!degradationOff) {
    auto* holder = static_cast<std::uint8_t*>(game::Bindings.ScriptEventSources());
    auto* hitSource = reinterpret_cast<game::EventSource*>(holder + game::kHitSourceInScriptEventSources);
    game::Bindings.AttachSink(hitSource, &TheHitEventHandler.base);
  }
  // The update sink also clears the recent hits, so it serves degradation
  // even with tempering off.
  if (degradationOff && store.Get<config::Setting::DisableDynamicTemper>() != 0) return;
  // Only 1.5.39's update event source is known; elsewhere the same handler
  // runs from the script extender's tasks.
  if (game::Bindings.UpdateEventSource != nullptr) {
    game::Bindings.AttachSink(game::Bindings.UpdateEventSource, &TheUpdateEventHandler.base);
  } else {
    StartUpdateTask();
  }
}

}  // namespace qm::engine
