#include "plugin/plugin_entry.h"

#include "config/config_store.h"
#include "config/settings_loader.h"
#include "engine/engine_start.h"
#include "plugin/debug_log.h"
#include "plugin/freeze_filter.h"
#include "plugin/game_bindings.h"
#include "widget/menu_registration.h"

namespace qm::plugin {
namespace {

std::uint32_t pluginHandle = 0;
MessagingInterfaceRecord* messaging = nullptr;

}  // namespace

MessagingInterfaceRecord* Messaging() { return messaging; }

bool Query(const HostInterfaceRecord* host, PluginInfoRecord* info) {
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
  if (host->runtimeVersion != kRuntime1_5_39) {
    log::LogMessage("unsupported runtime version %08X", host->runtimeVersion);
    return false;
  }
  messaging = static_cast<MessagingInterfaceRecord*>(host->QueryInterface(kMessagingInterfaceId));
  if (messaging == nullptr) {
    log::LogMessage("couldn't get messaging interface");
    return false;
  }
  if (messaging->interfaceVersion < 1) {
    log::LogMessage("messaging interface too old (%d expected %d)", static_cast<int>(messaging->interfaceVersion), 1);
    return false;
  }
  return true;
}

bool Load(const HostInterfaceRecord* /*host*/) {
  log::LogMessage("Quellmark Loaded");
  messaging->RegisterListener(pluginHandle, "SKSE", HostMessageListener);
  return true;
}

void HostMessageListener(HostMessage* message) {
  if (message->type != kMessageDataLoaded) return;

  config::LoadSettings();
  engine::RegisterEngineSinks();
  if (config::Store().GetWidget("DisableWidget") != 0) return;
  if (!widget::RegisterDurabilityMenu()) return;
  if (game::MenuManager* manager = *game::Bindings.MenuManagerPtr; manager != nullptr) {
    // The menu open/close source sits right after the manager's table pointer.
    auto* openCloseSource = reinterpret_cast<game::EventSource*>(reinterpret_cast<std::uintptr_t>(manager) + 0x8);
    InstallFreezeFilter(openCloseSource);
  }
}

}  // namespace qm::plugin
