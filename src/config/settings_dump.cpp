#include "config/settings_dump.h"

#include "config/settings_defaults.h"
#include "plugin/debug_log.h"

namespace qm::config {
namespace {

template <typename Defaults>
void DumpIntegers(const char* section, const SettingsTable<std::uint32_t>& table, const Defaults& keys) {
  log::LogMessage("%s", section);
  for (const auto& entry : keys) {
    const auto it = table.find(std::string_view(entry.key));
    if (it == table.end()) continue;
    log::LogMessage("   %s  =  %d", entry.key, static_cast<int>(static_cast<std::int32_t>(it->second)));
  }
}

template <typename Defaults>
void DumpReals(const char* section, const SettingsTable<double>& table, const Defaults& keys) {
  log::LogMessage("%s", section);
  for (const auto& entry : keys) {
    const auto it = table.find(std::string_view(entry.key));
    if (it == table.end()) continue;
    log::LogMessage("   %s  =  %lf", entry.key, it->second);
  }
}

}  // namespace

void DumpSettings(const ConfigStore& store) {
  DumpIntegers("Degradation", store.degradation, kDegradationDefaults);
  DumpReals("DegradationRate", store.degradationRate, kDegradationRateDefaults);
  DumpReals("BreakChance", store.breakChance, kBreakChanceDefaults);
  DumpIntegers("DynamicTemper", store.dynamicTemper, kDynamicTemperDefaults);
  DumpIntegers("Widget", store.widget, kWidgetDefaults);
}

}  // namespace qm::config
