// What the script extender looks up by plain name: the version data the
// Anniversary Edition's loader reads, the query 1.5.x's loader calls first,
// and the load both call.
#include "plugin/plugin_entry.h"
#include "plugin/plugin_version_data.h"

#if defined(_WIN32)
#define QUELLMARK_EXPORT extern "C" __declspec(dllexport)
#else
#define QUELLMARK_EXPORT extern "C" __attribute__((visibility("default")))
#endif

QUELLMARK_EXPORT constinit const qm::plugin::PluginVersionData SKSEPlugin_Version = qm::plugin::MakePluginVersionData();

QUELLMARK_EXPORT bool SKSEPlugin_Query(const qm::game::HostInterfaceRecord* host, qm::game::PluginInfoRecord* info) {
  return qm::plugin::Query(host, info);
}

QUELLMARK_EXPORT bool SKSEPlugin_Load(const qm::game::HostInterfaceRecord* host) { return qm::plugin::Load(host); }
