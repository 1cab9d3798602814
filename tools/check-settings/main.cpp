// qm-check-settings: what the plug-in makes of a Quellmark.ini and a
// NoBreakForms.ini, entry by entry.
#include "file_report.h"
#include "settings_check.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: qm-check-settings [Quellmark.ini] [NoBreakForms.ini] [--plugins A.esm,B.esp,...]\n"
    "\n"
    "Reads the settings file and the no-break list with the plug-in's own reader\n"
    "and says for every entry what the plug-in does with it: taken (with its\n"
    "value), or dropped and why. Then prints the effective settings.\n"
    "\n"
    "  Quellmark.ini     default: data/SKSE/Plugins/Quellmark/Quellmark.ini below\n"
    "                    the current folder (the game's folder)\n"
    "  NoBreakForms.ini  default: NoBreakForms.ini beside Quellmark.ini, when there\n"
    "  --plugins LIST    the plug-in files the game loads, in load order,\n"
    "                    comma-separated (default: Skyrim.esm,Update.esm,\n"
    "                    Dawnguard.esm,HearthFires.esm,Dragonborn.esm); .esl files\n"
    "                    are light, and so is any name followed by :light\n"
    "                    (e.g. MyMod.esp:light, for a file flagged light)\n"
    "\n"
    "Exits 0 when every entry was taken, 1 when anything was dropped, misread or\n"
    "overridden, 2 for bad arguments or a file that cannot be read.\n";

constexpr const char* kDefaultPlugins = "Skyrim.esm,Update.esm,Dawnguard.esm,HearthFires.esm,Dragonborn.esm";

bool Readable(const std::string& path, const char* what) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    std::fprintf(stderr, "qm-check-settings: %s \"%s\" is not a file that can be read\n", what,
                 qm::check::ShownText(path).c_str());
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "qm-check-settings: cannot open %s \"%s\"\n", what, qm::check::ShownText(path).c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  qm::check::CheckOptions options;
  std::string plugins = kDefaultPlugins;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--plugins") {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "qm-check-settings: --plugins needs a list such as Skyrim.esm,Update.esm\n%s", kUsage);
        return 2;
      }
      plugins = argv[++i];
    } else if (arg.rfind("--", 0) == 0) {
      std::fprintf(stderr, "qm-check-settings: unknown option \"%s\"\n%s", qm::check::ShownText(arg).c_str(), kUsage);
      return 2;
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() > 2) {
    std::fprintf(stderr, "qm-check-settings: at most two files, Quellmark.ini and NoBreakForms.ini\n%s", kUsage);
    return 2;
  }
  options.settingsPath = files.empty() ? "data/SKSE/Plugins/Quellmark/Quellmark.ini" : files[0];
  if (!Readable(options.settingsPath, "settings file")) return 2;
  if (files.size() == 2) {
    options.noBreakPath = files[1];
    if (!Readable(options.noBreakPath, "no-break file")) return 2;
  } else {
    const auto beside = std::filesystem::path(options.settingsPath).parent_path() / "NoBreakForms.ini";
    std::error_code error;
    if (std::filesystem::is_regular_file(beside, error)) options.noBreakPath = beside.string();
  }
  options.pluginFiles = qm::check::SplitPluginList(plugins);
  if (options.pluginFiles.empty()) {
    std::fprintf(stderr, "qm-check-settings: the plug-in list is empty\n");
    return 2;
  }
  const qm::check::CheckResult result = qm::check::CheckSettings(options, stdout);
  if (result.failed) return 2;
  return result.problems == 0 ? 0 : 1;
}
