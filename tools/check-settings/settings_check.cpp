#include "settings_check.h"

#include "captured_stdout.h"
#include "file_encoding.h"
#include "printable_text.h"

#include "config/config_store.h"
#include "config/entry_parsing.h"
#include "config/no_break_forms.h"
#include "config/profile_section.h"
#include "config/settings_dump.h"
#include "config/settings_loader.h"

#include <algorithm>
#include <cinttypes>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <set>

namespace qm::check {
namespace {

using config::EntryFate;
using config::NumberFault;

const auto& kReadSections = config::kSectionNames;

// A boolean key's row in the settings table, whichever section holds it.
const config::SettingInfo* FindBoolean(const std::string& key) {
  for (const config::SettingInfo& info : config::kSettings) {
    if (info.form == config::ValueForm::Word && key == info.key) return &info;
  }
  return nullptr;
}

// The word a boolean's file entry would have to say to give its default.
const char* OtherWord(const config::SettingInfo& boolean) { return boolean.wordValue == 1 ? "false" : "true"; }

// The accepted values of a whole-number key, as the verdicts print them.
std::string RangeText(const std::string& key) {
  for (const config::SettingInfo& info : config::kSettings) {
    if (info.form != config::ValueForm::Whole || key != info.key) continue;
    char text[48];
    std::snprintf(text, sizeof text, info.maximum > 0xFFFF ? " (0 to 0x%" PRIX32 ")" : " (0 to %" PRIu32 ")",
                  info.maximum);
    return text;
  }
  return "";
}

// One entry as the reader reported it.
struct Seen {
  std::string section;  // the section the reader was applying (no-break: the plug-in file)
  std::string entry;
  EntryFate fate;
  std::string key;
  double value;
  NumberFault fault;
  std::string verdict;  // filled in once every entry is known
  bool problem = false;
};

std::string Lower(const std::string& text) { return config::FoldToLower(text); }

bool SameName(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

std::string ValueText(double value, bool integer) {
  char text[64];
  if (integer) {
    std::snprintf(text, sizeof text, "%" PRIu32, static_cast<std::uint32_t>(value));
  } else {
    std::snprintf(text, sizeof text, "%f", value);
  }
  return text;
}

// Which table an integer key lands in: Degradation, DynamicTemper or Widget.
std::string IntegerTableOf(const std::string& key) {
  for (const config::SettingInfo& info : config::kSettings) {
    if (info.form != config::ValueForm::Real && key == info.key) return config::NameOf(info.section);
  }
  return "Widget";
}

bool IsRealSection(const std::string& section) {
  return section == config::NameOf(config::Section::DegradationRate) ||
         section == config::NameOf(config::Section::BreakChance);
}

std::string ValueWord(const std::string& entry) {
  const auto tokens = config::SplitAtEquals(entry);
  return tokens.size() == 2 ? tokens[1] : std::string();
}

void Judge(std::vector<Seen>& seen, const config::ConfigStore& store) {
  // The entry that decides each (table, key): the last taken one, in the
  // order the plug-in applied them.
  std::map<std::pair<std::string, std::string>, const Seen*> decider;
  const auto tableOf = [&](const Seen& s) { return IsRealSection(s.section) ? s.section : IntegerTableOf(s.key); };
  for (const Seen& s : seen) {
    if (s.fate == EntryFate::Taken && !s.key.empty()) decider[{tableOf(s), s.key}] = &s;
  }
  for (Seen& s : seen) {
    const bool integer = !IsRealSection(s.section);
    const std::string value = ValueText(s.value, integer);
    switch (s.fate) {
      case EntryFate::Taken: {
        const Seen* winner = s.key.empty() ? &s : decider[{tableOf(s), s.key}];
        if (s.fault == NumberFault::InvalidArgument) {
          s.verdict = "misread: \"" + ValueWord(s.entry) +
                      "\" does not read as a number; the plug-in logs it and takes 0";
          s.problem = true;
        } else if (s.fault == NumberFault::OutOfRange && !integer) {
          s.verdict = "misread: \"" + ValueWord(s.entry) +
                      "\" is out of the range of a double (too large, or too close to 0); the plug-in logs it and "
                      "takes 0";
          s.problem = true;
        } else if (s.fault == NumberFault::OutOfRange) {
          s.verdict = "misread: \"" + ValueWord(s.entry) +
                      "\" is beyond the 32-bit range; the plug-in logs it and takes 0";
          s.problem = true;
        } else {
          s.verdict = "taken: " + s.key + " = " + value;
          if (!IsRealSection(s.section) && tableOf(s) != s.section) s.verdict += " (in [" + tableOf(s) + "])";
        }
        if (winner != &s) {
          s.verdict = winner->section == s.section
                          ? "overridden: \"" + winner->entry + "\" sorts later and wins"
                          : "overridden: \"" + winner->entry + "\" in [" + winner->section + "], read later, wins";
          s.problem = true;
        }
        break;
      }
      case EntryFate::NotKeyValue:
        s.verdict = "dropped: not key=value (exactly one '=')";
        s.problem = true;
        break;
      case EntryFate::EmptyKey:
        s.verdict = "dropped: no key before '='";
        s.problem = true;
        break;
      case EntryFate::UnknownKey:
        s.verdict = "dropped: unknown key \"" + s.key + "\" in [" + s.section + "]";
        if (s.fault == NumberFault::InvalidArgument) s.verdict += " (its value is also logged as not a number)";
        s.problem = true;
        break;
      case EntryFate::OutOfRange:
        s.verdict = "dropped: " + value + " is out of range for " + s.key + RangeText(s.key);
        s.problem = true;
        break;
      case EntryFate::NegativeOrNaN:
        s.verdict = "dropped: a rate or chance may not be negative or not a number";
        s.problem = true;
        break;
      case EntryFate::WordNotRecognised: {
        const config::SettingInfo* b = FindBoolean(s.key);
        const std::string word = Lower(ValueWord(s.entry));
        const std::uint32_t meant = 1u - b->wordValue;
        const std::uint32_t now = store.Whole(b->setting);
        if (word == OtherWord(*b) && now == meant) {
          s.verdict = std::string("no change: ") + s.key + " is " + std::to_string(now) + " already (only \"" +
                      b->word + "\" changes it)";
        } else if (word == OtherWord(*b)) {
          s.verdict = std::string("no effect: only \"") + b->word + "\" changes " + s.key +
                      ", and another entry set it to " + std::to_string(now);
          s.problem = true;
        } else {
          s.verdict = "dropped: boolean word \"" + ValueWord(s.entry) + "\" not recognised (only \"" + b->word +
                      "\" changes " + s.key + ")";
          s.problem = true;
        }
        break;
      }
      case EntryFate::FlagNotOne: {
        const std::string flag = ValueWord(s.entry);
        char* end = nullptr;
        const long long n = std::strtoll(flag.c_str(), &end, 10);
        s.verdict = end != flag.c_str() && n == 0 ? "disabled: flag 0"
                                                  : "dropped: the flag \"" + flag + "\" does not read as 1";
        s.problem = !(end != flag.c_str() && n == 0);
        break;
      }
      case EntryFate::BeyondLightFile:
        s.verdict =
            "dropped: a light file's forms are 0x000 to 0xFFF; the plug-in logs it and protects nothing (write "
            "the last three hexadecimal digits of the form's identifier)";
        s.problem = true;
        break;
      case EntryFate::PluginFileNotListed:
        s.verdict = "dropped: the whole section; " + s.entry + " is not in the plug-in list";
        s.problem = true;
        break;
      case EntryFate::PluginFileNotActive:
        s.verdict = "dropped: the whole section; " + s.entry + " is not active";
        s.problem = true;
        break;
    }
  }
}

// A long entry is shown by its start and its length.
std::string Shown(const std::string& text, std::size_t shownBytes) {
  if (text.size() <= shownBytes) return Printable(text);
  return Printable(text.substr(0, shownBytes)) + "...(" + std::to_string(text.size()) + " bytes)";
}

void PrintEntry(std::FILE* out, const std::string& entry, const std::string& verdict) {
  std::fprintf(out, "    %-34s %s\n", Shown(entry, 60).c_str(), Shown(verdict, 160).c_str());
}

// Whether a list from the profile functions filled their buffer: a list that
// fits takes at most size - 1 bytes with its closing NUL, a cut one more.
bool FillsProfileBuffer(const std::vector<std::string>& texts) {
  std::size_t bytes = 1;
  for (const std::string& text : texts) bytes += text.size() + 1;
  return bytes + 1 >= config::kProfileBufferSize;
}

// The entries of one section in file order, each matched with what the
// reader did with it (the reader applies them sorted). True when the section
// was cut, so that what follows in it is never read.
bool PrintSection(std::FILE* out, const std::string& path, const std::string& section, std::vector<Seen*> reports) {
  const std::vector<std::string> entries = config::ReadProfileSection(section, path);
  const bool cut = FillsProfileBuffer(entries);
  for (const std::string& entry : entries) {
    auto it = std::find_if(reports.begin(), reports.end(), [&](const Seen* s) { return s->entry == entry; });
    if (it == reports.end()) {
      PrintEntry(out, entry, entry.empty() ? "skipped: empty" : "skipped");
      continue;
    }
    PrintEntry(out, entry, (*it)->verdict);
    reports.erase(it);
  }
  if (cut) {
    std::fprintf(out,
                 "    dropped: the section fills the plug-in's %zu-byte buffer; the rest of it is never read and "
                 "the last entry shown may be cut short\n",
                 config::kProfileBufferSize);
  }
  return cut;
}

std::string FormIdText(std::uint32_t id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", id);
  return text;
}

// Lines above the first section header belong to a section with no name,
// which no reader ever asks for; comments aside, they are reported.
int ReportLinesOutsideSections(std::FILE* out, const std::string& path) {
  int reported = 0;
  for (const std::string& entry : config::ReadProfileSection("", path)) {
    if (entry.rfind('#', 0) == 0) continue;
    const char* why = entry.rfind('[', 0) == 0 ? "no ']', so not a section header; " : "";
    std::fprintf(out, "  (before any section) %s  dropped: %soutside any section, never read\n",
                 Shown(entry, 60).c_str(), why);
    ++reported;
  }
  return reported;
}

bool IsSectionReport(EntryFate fate) {
  return fate == EntryFate::PluginFileNotListed || fate == EntryFate::PluginFileNotActive;
}

// A line that starts with '[' but has no ']' is no header: the profile
// functions deliver it as an entry of the section it stands in, and the
// entries below it stay in that section too.
void MarkUnclosedHeaders(std::vector<Seen>& seen) {
  for (Seen& s : seen) {
    if (IsSectionReport(s.fate) || s.entry.rfind('[', 0) != 0) continue;
    s.verdict = "dropped: no ']', so not a section header; the lines below it stay in [" + s.section + "]";
    s.problem = true;
  }
}

// The profile functions look a name without '\\' or '/' up in the Windows
// folder, not the current one; the plug-in always hands them a full path, and
// the checker makes the user's paths full in the same way.
std::string ReaderPath(const std::string& path) {
  if (path.find_first_of("/\\") != std::string::npos) return path;
  std::error_code error;
  const std::filesystem::path full = std::filesystem::absolute(path, error);
  return error ? "./" + path : full.string();
}

// What the file's encoding and unnamed sections do to what the reader sees;
// the number of problems.
int ReportFileForm(std::FILE* out, const std::string& path) {
  const FileEncoding encoding = InspectEncoding(path);
  if (!encoding.byteOrderMark.empty()) {
    std::fprintf(out, "  (%s with a byte-order mark: read as %s; characters outside code page 1252 read as '?')\n",
                 encoding.byteOrderMark.c_str(), encoding.byteOrderMark.c_str());
  }
  for (const int lines : encoding.unnamedSectionLines) {
    std::fprintf(out, "  []  dropped: a section header without a name; the %d line%s below it %s never read\n", lines,
                 lines == 1 ? "" : "s", lines == 1 ? "is" : "are");
  }
  const int problems = static_cast<int>(encoding.unnamedSectionLines.size());
  if (!encoding.nulCharacters) return problems;
  std::fprintf(out, "  NUL characters in the file: each ends the name or value it falls in%s\n",
               encoding.byteOrderMark.empty() ? " (a UTF-16 file needs a byte-order mark to be read as UTF-16)" : "");
  return problems + 1;
}

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

// Prints captured log lines, each escaped; returns whether there were any.
bool PrintLogLines(std::FILE* out, const std::string& captured) {
  bool any = false;
  std::size_t at = 0;
  while (at < captured.size()) {
    std::size_t end = captured.find('\n', at);
    if (end == std::string::npos) end = captured.size();
    std::string line = captured.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::fprintf(out, "%s\n", Printable(line).c_str());
    any = true;
    at = end + 1;
  }
  return any;
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

  std::fprintf(out, "\n%s\n", Printable(options.settingsPath).c_str());
  result.problems += ReportFileForm(out, options.settingsPath);
  result.problems += ReportLinesOutsideSections(out, settingsFile);
  std::set<std::string> shown;
  for (const std::string& name : config::ReadProfileSectionNames(settingsFile)) {
    const std::string printed = Printable(name);
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
    std::fprintf(out, "\n%s\n", Printable(options.noBreakPath).c_str());
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
      const std::string printed = Printable(name);
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
