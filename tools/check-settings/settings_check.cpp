#include "settings_check.h"

#include "captured_stdout.h"
#include "entry_verdicts.h"
#include "file_report.h"

#include "config/config_store.h"
#include "config/entry_parsing.h"
#include "config/no_break_forms.h"
#include "config/profile_section.h"
#include "config/settings_dump.h"
#include "config/settings_loader.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

namespace qm::check {

using config::EntryFate;
using config::NumberFault;

namespace {

const auto& kReadSections = config::kSectionNames;

// The game numbers the files it loads in load order: regular files take the
// load-order indices 0x00 to 0xFD, light files the light indices 0x000 to
// 0xFFF; a file past either end is not loaded.
constexpr std::size_t kLastRegularIndex = 0xFD;

struct LoadOrderFile {
  std::string name;
  bool light;
  std::size_t number;  // among the regular or the light files, from 0
  config::PluginFileSlot slot;
};

std::vector<LoadOrderFile> NumberLoadOrder(const std::vector<std::string>& listed) {
  std::vector<LoadOrderFile> files;
  std::size_t regular = 0;
  std::size_t light = 0;
  for (const std::string& entry : listed) {
    const PluginListEntry read = ReadPluginListEntry(entry);
    LoadOrderFile file{read.name, read.light, read.light ? light++ : regular++, {}};
    const std::size_t last = file.light ? config::kLargestLightIndex : kLastRegularIndex;
    file.slot.kind = file.number > last ? config::PluginFileSlot::Kind::NotActive
                     : file.light       ? config::PluginFileSlot::Kind::Light
                                        : config::PluginFileSlot::Kind::Regular;
    if (file.number <= last) file.slot.index = static_cast<std::uint16_t>(file.number);
    files.push_back(std::move(file));
  }
  return files;
}

}  // namespace

PluginListEntry ReadPluginListEntry(const std::string& entry) {
  static const std::string kLightMark = ":light";
  PluginListEntry read{entry, false};
  if (read.name.size() > kLightMark.size() &&
      Lower(read.name.substr(read.name.size() - kLightMark.size())) == kLightMark) {
    read.name.resize(read.name.size() - kLightMark.size());
    read.light = true;
  }
  const auto extension = read.name.size() >= 4 ? Lower(read.name.substr(read.name.size() - 4)) : std::string();
  if (extension == ".esl") read.light = true;
  return read;
}

std::vector<std::string> SplitPluginList(const std::string& text) {
  std::vector<std::string> names;
  std::size_t at = 0;
  while (at <= text.size()) {
    std::size_t comma = text.find(',', at);
    if (comma == std::string::npos) comma = text.size();
    std::string name = text.substr(at, comma - at);
    const auto first = name.find_first_not_of(" \t");
    const auto last = name.find_last_not_of(" \t");
    name = first == std::string::npos ? std::string() : name.substr(first, last - first + 1);
    if (!name.empty()) names.push_back(name);
    at = comma + 1;
  }
  return names;
}

CheckResult CheckSettings(const CheckOptions& options, std::FILE* out) {
  CheckResult result;
  const std::string settingsFile = ReaderPath(options.settingsPath);
  const std::string noBreakFile = options.noBreakPath.empty() ? std::string() : ReaderPath(options.noBreakPath);
  config::ConfigStore store;
  std::vector<Seen> seen;
  seen.reserve(256);
  std::string section;
  const config::EntryObserver observer = [&](const config::EntryReport& r) {
    const std::string where = IsSectionReport(r.fate) ? std::string(r.entry) : section;
    seen.push_back({where, std::string(r.entry), r.fate, std::string(r.key), r.value, r.fault, {}, false});
  };

  const std::vector<LoadOrderFile> loadOrder = NumberLoadOrder(options.pluginFiles);
  const auto fileNamed = [&](const std::string& name) -> const LoadOrderFile* {
    for (const LoadOrderFile& file : loadOrder) {
      if (SameName(file.name, name)) return &file;
    }
    return nullptr;
  };
  const config::PluginFileLookup findPluginFile = [&](const std::string& name) {
    const LoadOrderFile* file = fileNamed(name);
    return file != nullptr ? file->slot : config::PluginFileSlot{};
  };

  std::size_t settingsEntries = 0;
  std::vector<std::string> noBreakSections;
  const std::optional<std::string> readLog = RunCapturingStdout([&] {
    config::ApplySettingsFile(
        store, settingsFile, [&](const char* name) { section = name; }, &observer);
    settingsEntries = seen.size();
    if (noBreakFile.empty()) return;
    noBreakSections = config::ReadProfileSectionNames(noBreakFile);
    config::SortEntries(noBreakSections);
    // The no-break reader names the plug-in file of each entry itself. A
    // repeated section name reads the first such section again, as in the
    // plug-in: its log lines come twice, its entries are counted once.
    std::set<std::string> loaded;
    for (const std::string& name : noBreakSections) {
      section = name;
      const bool first = loaded.insert(Lower(name)).second;
      config::LoadNoBreakForms({name}, noBreakFile, findPluginFile, store.NoBreakFormList, first ? &observer : nullptr);
    }
  });
  if (!readLog) {
    std::fprintf(stderr, "qm-check-settings: cannot make a temporary file for the plug-in's log\n");
    result.failed = true;
    return result;
  }
  std::fprintf(out, "The plug-in's log while it reads the files:\n");
  if (!PrintLogLines(out, *readLog)) std::fprintf(out, "   (nothing)\n");
  store.HealthThreshold = config::HealthThresholdFor(store.Get<config::Setting::EquipmentHealthThreshold>());

  std::vector<Seen> settingsSeen(seen.begin(), seen.begin() + static_cast<std::ptrdiff_t>(settingsEntries));
  std::vector<Seen> noBreakSeen(seen.begin() + static_cast<std::ptrdiff_t>(settingsEntries), seen.end());
  Judge(settingsSeen, store);
  MarkUnclosedHeaders(settingsSeen);
  for (Seen& s : noBreakSeen) {
    if (s.fate == EntryFate::Taken) {
      s.verdict = "taken: form " + FormIdText(static_cast<std::uint32_t>(s.value));
      if (s.fault != NumberFault::None) {
        s.verdict = "misread: the formid does not read as a number; the plug-in logs it and protects form " +
                    FormIdText(static_cast<std::uint32_t>(s.value));
        s.problem = true;
      }
    }
  }
  {
    std::vector<Seen> judged = noBreakSeen;
    Judge(judged, store);  // fates other than Taken read the same in both files
    for (std::size_t i = 0; i < noBreakSeen.size(); ++i) {
      if (noBreakSeen[i].fate != EntryFate::Taken) noBreakSeen[i] = judged[i];
    }
  }
  MarkUnclosedHeaders(noBreakSeen);

  const auto count = [&](const std::vector<Seen>& list) {
    for (const Seen& s : list) {
      if (s.problem) ++result.problems;
      else if (s.fate == EntryFate::Taken) ++result.taken;
    }
  };

  std::fprintf(out, "\n%s\n", ShownText(options.settingsPath).c_str());
  result.problems += ReportFileForm(out, options.settingsPath);
  result.problems += ReportLinesOutsideSections(out, settingsFile);
  std::set<std::string> shown;
  for (const std::string& name : config::ReadProfileSectionNames(settingsFile)) {
    const std::string printed = ShownText(name);
    const auto read = std::find_if(std::begin(kReadSections), std::end(kReadSections),
                                   [&](const char* s) { return SameName(s, name); });
    if (read == std::end(kReadSections)) {
      std::fprintf(out, "  [%s]  dropped: the plug-in reads no such section\n", printed.c_str());
      ++result.problems;
      continue;
    }
    if (!shown.insert(Lower(name)).second) {
      std::fprintf(out, "  [%s]  dropped: a repeated section; the reader takes the first [%s] only\n", printed.c_str(),
                   *read);
      ++result.problems;
      continue;
    }
    std::fprintf(out, "  [%s]\n", printed.c_str());
    std::vector<Seen*> reports;
    for (Seen& s : settingsSeen) {
      if (s.section == *read) reports.push_back(&s);
    }
    if (PrintSection(out, settingsFile, name, reports)) ++result.problems;
  }
  count(settingsSeen);

  if (!noBreakFile.empty()) {
    std::fprintf(out, "\n%s\n", ShownText(options.noBreakPath).c_str());
    result.problems += ReportFileForm(out, options.noBreakPath);
    result.problems += ReportLinesOutsideSections(out, noBreakFile);
    std::map<std::string, std::string> shownFiles;  // folded name -> the name as first written
    const std::vector<std::string> names = config::ReadProfileSectionNames(noBreakFile);
    if (FillsProfileBuffer(names)) {
      std::fprintf(out,
                   "  dropped: the section names fill the plug-in's %zu-byte buffer; later sections are never "
                   "read\n",
                   config::kProfileBufferSize);
      ++result.problems;
    }
    for (const std::string& name : names) {
      const std::string printed = ShownText(name);
      const auto [first, isFirst] = shownFiles.emplace(Lower(name), printed);
      if (!isFirst) {
        std::fprintf(out, "  [%s]  dropped: a repeated section; the reader takes the first [%s] only\n",
                     printed.c_str(), first->second.c_str());
        ++result.problems;
        continue;
      }
      const LoadOrderFile* file = fileNamed(name);
      if (file == nullptr) {
        std::fprintf(out, "  [%s]  dropped: %s is not in the plug-in list\n", printed.c_str(), printed.c_str());
        continue;
      }
      if (file->slot.kind == config::PluginFileSlot::Kind::NotActive) {
        if (file->light) {
          std::fprintf(out,
                       "  [%s]  dropped: %s is light file number %zu; the game loads light files at light indices 0 "
                       "to %u only, so it is not active\n",
                       printed.c_str(), printed.c_str(), file->number, unsigned{config::kLargestLightIndex});
        } else {
          std::fprintf(out,
                       "  [%s]  dropped: %s is at load order position %zu; the game loads regular files at 0 to %u "
                       "only, so it is not active\n",
                       printed.c_str(), printed.c_str(), file->number, unsigned{kLastRegularIndex});
        }
        continue;
      }
      std::vector<Seen*> reports;
      for (Seen& s : noBreakSeen) {
        if (SameName(s.section, name)) reports.push_back(&s);
      }
      if (file->light) {
        std::fprintf(out, "  [%s]  (light file, light index %u)\n", printed.c_str(), unsigned{file->slot.index});
      } else {
        std::fprintf(out, "  [%s]  (load order position %u)\n", printed.c_str(), unsigned{file->slot.index});
      }
      if (PrintSection(out, noBreakFile, name, reports)) ++result.problems;
    }
    count(noBreakSeen);
  }

  std::fprintf(out, "\nEffective settings, as the plug-in writes them to its log:\n");
  const std::optional<std::string> dump = RunCapturingStdout([&] { config::DumpSettings(store); });
  if (!dump) {
    std::fprintf(stderr, "qm-check-settings: cannot make a temporary file for the plug-in's log\n");
    result.failed = true;
    return result;
  }
  PrintLogLines(out, *dump);
  std::fprintf(out, "HealthThreshold  =  %.6f\n", static_cast<double>(store.HealthThreshold));
  std::vector<std::uint32_t> ids;
  for (const Seen& s : noBreakSeen) {
    if (s.fate == EntryFate::Taken) ids.push_back(static_cast<std::uint32_t>(s.value));
  }
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  std::fprintf(out, "NoBreakFormList  (%zu)", ids.size());
  for (std::uint32_t id : ids) std::fprintf(out, " %s", FormIdText(id).c_str());
  std::fprintf(out, "\n\n%d entr%s taken, %d dropped, misread or overridden\n", result.taken,
               result.taken == 1 ? "y" : "ies", result.problems);
  return result;
}

}  // namespace qm::check
