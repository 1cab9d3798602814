#pragma once
// The settings checker: reads "Quellmark.ini" and "NoBreakForms.ini" with the
// plug-in's own reader and says, entry by entry, what the plug-in does with
// each: taken with its value, or dropped and why.
#include <cstdio>
#include <string>
#include <vector>

namespace qm::check {

struct CheckOptions {
  std::string settingsPath;              // Quellmark.ini
  std::string noBreakPath;               // NoBreakForms.ini; empty: none
  std::vector<std::string> pluginFiles;  // the game's loaded plug-in files in load order (see ReadPluginListEntry)
};

struct CheckResult {
  int taken = 0;
  int problems = 0;     // entries dropped, misread or overridden
  bool failed = false;  // the check could not be made (a message went to standard error)
};

// Writes the explanation and the effective settings to out. The plug-in's
// own log lines go to standard output while the files are read.
CheckResult CheckSettings(const CheckOptions& options, std::FILE* out);

// "Skyrim.esm,Update.esm" -> the names; blanks around names are removed.
std::vector<std::string> SplitPluginList(const std::string& text);

// One name of the list: a file named .esl is a light file, and so is any
// other whose name is followed by ":light" (a regular file's extension with
// the light flag in its header); the mark is not part of the name.
struct PluginListEntry {
  std::string name;
  bool light;
};
PluginListEntry ReadPluginListEntry(const std::string& entry);

}  // namespace qm::check
