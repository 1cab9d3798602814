#include "plugin/plugin_entry.h"

#include "config/config_store.h"
#include "config/settings_loader.h"
#include "engine/engine_start.h"
#include "game/game_runtime.h"
#include "game/library_binding.h"
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

// What decided whether this game is one Quellmark runs in. The 1.5.x
// extender asks Query first; the Anniversary Edition's never does, and Load
// decides then. A Load after a refusal has no messaging interface to
// register with.
enum class GameCheck : std::uint8_t { kNotYet, kAccepted, kRefused };
GameCheck gameCheck = GameCheck::kNotYet;

void StartLog() {
  log::LogLevel = 5;
  log::OpenLog();
  log::LogMessage(kPluginName);
}

// Beyond 1.5.39 the game's addresses come from the Address Library, and the
// update handler runs from the script extender's tasks.
bool AcceptLibraryRuntime(const HostInterfaceRecord* host, const game::SupportedRuntime& runtime,
                          std::uint32_t runtimeVersion) {
  auto* tasks = static_cast<game::TaskInterfaceRecord*>(host->QueryInterface(game::kTaskInterfaceId));
  if (tasks == nullptr) {
    log::LogMessage("couldn't get task interface");
    return false;
  }
  if (!game::BindThroughLibrary(runtime, runtimeVersion)) return false;
  game::KeepHostTasks(tasks);
  return true;
}

bool AcceptRuntime(std::uint32_t runtimeVersion, const HostInterfaceRecord* host) {
  char name[32];
  game::FormatRuntime(runtimeVersion, name, sizeof name);
  const game::RuntimeVerdict verdict = game::JudgeRuntime(runtimeVersion);
  if (verdict.runtime == nullptr) {
    log::LogMessage("unsupported runtime version %08X (%s): %s", runtimeVersion, name, verdict.reason);
    return false;
  }
  if (verdict.runtime->addresses == game::AddressSource::kAddressLibrary &&
      !AcceptLibraryRuntime(host, *verdict.runtime, runtimeVersion)) {
    return false;
  }
  game::SelectRuntimeLayouts(*verdict.runtime);
  return true;
}

// The checks of the game and the script extender, in the order the log
// reports them.
bool AcceptGame(const HostInterfaceRecord* host) {
  pluginHandle = host->GetPluginHandle();
  if (host->isEditor != 0) {
    log::LogMessage("loaded in editor, marking as incompatible");
    return false;
  }
  if (!AcceptRuntime(host->runtimeVersion, host)) return false;
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
  return true;
}

}  // namespace

bool Query(const HostInterfaceRecord* host, PluginInfoRecord* info) {
  gameCheck = GameCheck::kRefused;
  StartLog();

  // Filled before any check, so the host can name us even when we refuse.
  info->infoVersion = 1;
  info->name = kPluginName;
  info->version = kPluginVersion;

  if (!AcceptGame(host)) return false;
  gameCheck = GameCheck::kAccepted;
  return true;
}

bool Load(const HostInterfaceRecord* host) {
  // The Anniversary Edition's extender loads without a query: the checks
  // happen here then.
  if (gameCheck == GameCheck::kNotYet) {
    StartLog();
    gameCheck = AcceptGame(host) ? GameCheck::kAccepted : GameCheck::kRefused;
    if (gameCheck == GameCheck::kRefused) {
      log::LogMessage("Quellmark not loaded: this game is not one it runs in, no listener registered");
      return true;
    }
  }
  // The script extender never loads a plug-in that refused; another host
  // might, and then nothing is registered. Load itself cannot fail.
  if (gameCheck == GameCheck::kRefused) {
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
