#pragma once
// The two entry points the script extender calls, and the listener through
// which all further start-up happens.
#include "game/host_records.h"

namespace qm::plugin {

inline constexpr const char* kPluginName = "Quellmark";
inline constexpr std::uint32_t kPluginVersion = 1;

bool Query(const game::HostInterfaceRecord* host, game::PluginInfoRecord* info);
bool Load(const game::HostInterfaceRecord* host);
void HostMessageListener(game::HostMessage* message);

}  // namespace qm::plugin
