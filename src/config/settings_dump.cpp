#include "config/settings_dump.h"

#include "config/settings_table.h"
#include "log/debug_log.h"

namespace qm::config {
namespace {

void DumpValue(const SettingInfo& info, const ConfigStore& store) {
  if (info.form == ValueForm::Real) {
    log::LogMessage("   %s  =  %lf", info.key, store.Real(info.setting));
  } else {
    log::LogMessage("   %s  =  %d", info.key, static_cast<int>(static_cast<std::int32_t>(store.Whole(info.setting))));
  }
}

}  // namespace

void DumpSettings(const ConfigStore& store) {
  for (std::size_t i = 0; i < kSettings.size(); ++i) {
    if (i == 0 || kSettings[i].section != kSettings[i - 1].section) log::LogMessage("%s", NameOf(kSettings[i].section));
    DumpValue(kSettings[i], store);
  }
}

}  // namespace qm::config
