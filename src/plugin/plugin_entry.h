#pragma once
// The two entry points the script extender calls, and the listener through
// which all further start-up happens.
#include "plugin/host_records.h"

namespace qm::plugin {

inline constexpr const char* kPluginName = "Quellmark";
inline constexpr std::uint32_t kPluginVersion = 1;

bool Query(const HostInterfaceRecord* host, PluginInfoRecord* info);
bool Load(const HostInterfaceRecord* host);
void HostMessageListener(HostMessage* message);

// The script extender's messaging interface, kept from Query on.
MessagingInterfaceRecord* Messaging();

}  // namespace qm::plugin
