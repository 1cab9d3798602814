// The two functions the script extender looks up by their plain names.
#include "plugin/plugin_entry.h"

#if defined(_WIN32)
#define QUELLMARK_EXPORT extern "C" __declspec(dllexport)
#else
#define QUELLMARK_EXPORT extern "C" __attribute__((visibility("default")))
#endif

QUELLMARK_EXPORT bool SKSEPlugin_Query(const qm::game::HostInterfaceRecord* host, qm::game::PluginInfoRecord* info) {
  return qm::plugin::Query(host, info);
}

QUELLMARK_EXPORT bool SKSEPlugin_Load(const qm::game::HostInterfaceRecord* host) { return qm::plugin::Load(host); }
