#include "entry_verdicts.h"

#include "config/settings_table.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>

namespace qm::check {

using config::EntryFate;
using config::NumberFault;

namespace {

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

}  // namespace

std::string Lower(const std::string& text) { return config::FoldToLower(text); }

bool SameName(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

bool IsSectionReport(EntryFate fate) {
  return fate == EntryFate::PluginFileNotListed || fate == EntryFate::PluginFileNotActive;
}

std::string FormIdText(std::uint32_t id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", id);
  return text;
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

}  // namespace qm::check
