// The WebAssembly build's second entry point beside the checker's main: every
// setting as the plug-in's reader leaves it after reading a file, reals with
// all their digits (the checker's own listing rounds them to six decimals).
#include "captured_stdout.h"

#include "config/config_store.h"
#include "config/settings_loader.h"
#include "config/settings_table.h"

#include <emscripten/emscripten.h>

#include <cstdio>
#include <string>

extern "C" EMSCRIPTEN_KEEPALIVE const char* qm_values_read(const char* settingsPath) {
  static std::string text;
  text.clear();
  qm::config::ConfigStore store;
  // The reader's log lines are the checker's to show; here they are set aside.
  const auto log = qm::check::RunCapturingStdout([&] { qm::config::ApplySettingsFile(store, settingsPath); });
  if (!log) return nullptr;
  for (const qm::config::SettingInfo& info : qm::config::kSettings) {
    char line[64];
    if (info.form == qm::config::ValueForm::Real) {
      std::snprintf(line, sizeof line, "%.17g\n", store.Real(info.setting));
    } else {
      std::snprintf(line, sizeof line, "%u\n", static_cast<unsigned>(store.Whole(info.setting)));
    }
    text += line;
  }
  return text.c_str();
}
