// The WebAssembly build's way into the checker with the plug-in list as
// bytes: the runtime's callMain passes arguments as UTF-8, while the game
// names plug-in files in the Windows code page, as the reader reads them
// from NoBreakForms.ini. Does what qm-check-settings' main does once it has
// its arguments.
#include "settings_check.h"

#include <emscripten/emscripten.h>

#include <cstdio>

extern "C" EMSCRIPTEN_KEEPALIVE int qm_check_files(const char* settingsPath, const char* noBreakPath,
                                                   const char* pluginList) {
  qm::check::CheckOptions options;
  options.settingsPath = settingsPath;
  if (noBreakPath != nullptr) options.noBreakPath = noBreakPath;
  options.pluginFiles = qm::check::SplitPluginList(pluginList);
  if (options.pluginFiles.empty()) {
    std::fprintf(stderr, "qm-check-settings: the plug-in list is empty\n");
    return 2;
  }
  const qm::check::CheckResult result = qm::check::CheckSettings(options, stdout);
  std::fflush(stdout);
  std::fflush(stderr);
  if (result.failed) return 2;
  return result.problems == 0 ? 0 : 1;
}
