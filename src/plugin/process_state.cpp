// Every process-wide object of the plug-in, defined in one translation unit
// so that they are constructed in this order when the module is loaded:
// the module base, then the bindings formed from it, then the engine, the
// settings, the log's closing at exit, and the freeze filter's map.
#include "config/config_store.h"
#include "engine/engine_random.h"
#include "engine/event_handlers.h"
#include "engine/recent_hits.h"
#include "game/game_bindings.h"
#include "log/debug_log.h"
#include "platform/platform.h"
#include "plugin/saved_receive_functions.h"
#include "widget/widget_state.h"

#include <cstdlib>

namespace qm::game {
const std::uintptr_t ModuleBase = platform::ProcessImageBase();
GameBindings Bindings = FormBindings(ModuleBase);
}  // namespace qm::game

namespace qm::engine {
Mt19937 EngineRandom(platform::RandomDeviceValue());
game::RecursiveSpinLock RngLock;
RecentHitSet RecentHitActors;
game::RecursiveSpinLock RecentHitLock;
// Ready without constructor code: only their tables.
constinit HitEventHandler TheHitEventHandler{{&kHitEventHandlerDispatch}};
constinit UpdateEventHandler TheUpdateEventHandler{{&kUpdateEventHandlerDispatch}};
std::uint32_t UpdateTickCount = 0;
constinit UpdateTask TheUpdateTask{{&kUpdateTaskDispatch}, false};
constinit game::TaskDelegate TheUpdateRequeueTask{&kUpdateRequeueTaskDispatch};
}  // namespace qm::engine

namespace qm::config {
ConfigStore TheStore;
ConfigStore& Store() { return TheStore; }
}  // namespace qm::config

namespace qm::widget {
DurabilityMenu* OpenWidgetMenu = nullptr;
}  // namespace qm::widget

namespace qm::plugin {
namespace {
const int logClosingRegistered = std::atexit(log::CloseLog);
}  // namespace
}  // namespace qm::plugin

namespace qm::plugin {
// Eight buckets, maximum load factor 1.0; cleared at exit by its destructor.
std::unordered_map<const game::SinkDispatch*, ReceiveFunction> SavedReceiveFunctions(8);
}  // namespace qm::plugin
