#include "plugin/plugin_entry.h"

#include "config/config_store.h"
#include "config/settings_loader.h"
#include "engine/engine_start.h"
#include "log/debug_log.h"
#include "plugin/freeze_filter.h"
#include "widget/menu_registration.h"
#include "widget/widget_sources.h"

namespace qm::plugin {
namespace {

using game::HostInterfaceRecord;
using game::HostMessage;
using game::MessagingInterfaceRecord;
using game::PluginInfoRecord;

std::uint32_t pluginHandle = 0;
// Whether the last Query accepted this game: a Load after a refusal has no
// messaging interface to register with.
bool queryAccepted = false;

}  // namespace

bool Query(const HostInterfaceRecord* host, PluginInfoRecord* info) {
  queryAccepted = false;
  log::LogLevel = 5;
  log::OpenLog();
  log::LogMessage(kPluginName);

  // Filled before any check, so the host can name us even when we refuse.
  info->infoVersion = 1;
  info->name = kPluginName;
  info->version = kPluginVersion;

  pluginHandle = host->GetPluginHandle();

  if (host->isEditor != 0) {
    log::LogMessage("loaded in editor, marking as incompatible");
    return false;
  }
  if (host->runtimeVersion != game::kRuntime1_5_39) {
    log::LogMessage("unsupported runtime version %08X", host->runtimeVersion);
    return false;
  }
  auto* messaging = static_cast<MessagingInterfaceRecord*>(host->QueryInterface(game::kMessagingInterfaceId));
  game::KeepHostMessaging(messaging);
  if (messaging == nullptr) {
    log::LogMessage("couldn't get messaging interface");
    return false;
  }
  if (messaging->interfaceVersion < 1) {
    log::LogMessage("messaging interface too old (%d expected %d)", static_cast<int>(messaging->interfaceVersion), 1);
    return false;
  }
  queryAccepted = true;
  return true;
}

bool Load(const HostInterfaceRecord* /*host*/) {
  // The script extender never loads a plug-in that refused; another host
  // might, and then nothing is registered. Load itself cannot fail.
  if (!queryAccepted) {
    log::LogMessage("Quellmark not loaded: the query refused this game, no listener registered");
    return true;
  }
  log::LogMessage("Quellmark Loaded");
  game::HostMessaging()->RegisterListener(pluginHandle, "SKSE", HostMessageListener);
  return true;
}

void HostMessageListener(HostMessage* message) {
  if (message->type != game::kMessageDataLoaded) return;

  config::LoadSettings();
  engine::RegisterEngineSinks();
  if (config::Store().Get<config::Setting::DisableWidget>() != 0) return;
  if (!widget::RegisterDurabilityMenu()) return;
  if (game::EventSource* openCloseSource = widget::MenuOpenCloseSource(); openCloseSource != nullptr) {
    InstallFreezeFilter(openCloseSource);
  }
}

}  // namespace qm::plugin
