#include "settings_file_text.h"

#include "config/entry_parsing.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace qm::studio {
namespace {

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string Joined(const std::vector<std::string>& lines, std::size_t from, std::size_t to) {
  std::string text;
  for (std::size_t i = from; i < to; ++i) text += (text.empty() ? "" : " ") + lines[i];
  return text;
}

// A comment block is made of paragraphs, each closed by the line that names
// its default. The last paragraph describes the key below the block; those
// before it describe the whole section (the rate and chance sections open so).
void SplitBlock(const std::vector<std::string>& block, std::string& sectionNote, std::string& description) {
  std::size_t lastStart = 0;
  for (std::size_t i = 0; i + 1 < block.size(); ++i) {
    if (block[i].find("Default:") != std::string::npos) lastStart = i + 1;
  }
  sectionNote = Joined(block, 0, lastStart);
  description = Joined(block, lastStart, block.size());
}

[[noreturn]] void Fail(const std::string& name, int line, const std::string& what) {
  throw std::runtime_error(name + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " + what);
}

}  // namespace

ShippedFile ShippedFile::Parse(const std::string& text, const std::string& name) {
  ShippedFile file;
  std::vector<std::string> block;
  int section = -1;
  bool sectionHasKeys = false;
  std::vector<bool> seen(config::kSettings.size(), false);
  int lineNumber = 0;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string line = Trimmed(text.substr(at, end - at));
    at = end + 1;
    ++lineNumber;
    if (line.empty()) {
      if (section < 0 && !block.empty()) file.fileNote = Joined(block, 0, block.size());
      if (section >= 0 && !block.empty()) Fail(name, lineNumber, "a comment that belongs to no key");
      block.clear();
      continue;
    }
    if (line[0] == ';') {
      block.push_back(Trimmed(line.substr(1)));
      continue;
    }
    if (line[0] == '[') {
      const std::size_t next = static_cast<std::size_t>(section + 1);
      if (next >= config::kSectionNames.size() || line != "[" + std::string(config::kSectionNames[next]) + "]") {
        Fail(name, lineNumber,
             "expected the section [" +
                 std::string(next < config::kSectionNames.size() ? config::kSectionNames[next]
                                                                 : "(none: the table has no more)") +
                 "], found " + line);
      }
      if (!block.empty()) Fail(name, lineNumber, "a comment directly above a section header");
      section = static_cast<int>(next);
      sectionHasKeys = false;
      continue;
    }
    const auto tokens = config::SplitAtEquals(line);
    if (section < 0 || tokens.size() != 2 || tokens[0].empty()) {
      Fail(name, lineNumber, "not a key=value line of a section: " + line);
    }
    const std::string key = config::FoldToLower(tokens[0]);
    std::size_t index = 0;
    while (index < config::kSettings.size() &&
           !(static_cast<int>(config::kSettings[index].section) == section && key == config::kSettings[index].key)) {
      ++index;
    }
    if (index == config::kSettings.size()) {
      Fail(name, lineNumber,
           "the key " + tokens[0] + " is not in the settings table's section " + config::kSectionNames[section]);
    }
    if (seen[index]) Fail(name, lineNumber, "the key " + tokens[0] + " is written twice");
    seen[index] = true;
    if (block.empty()) Fail(name, lineNumber, "the key " + tokens[0] + " has no comment above it");
    Key entry{index, config::kSectionNames[section], tokens[0], tokens[1], {}, lineNumber};
    std::string note;
    SplitBlock(block, note, entry.description);
    if (!note.empty()) {
      if (sectionHasKeys) Fail(name, lineNumber, "a comment of two paragraphs above " + tokens[0]);
      file.sectionNotes[section] = note;
    }
    sectionHasKeys = true;
    block.clear();
    file.keys.push_back(entry);
  }
  for (std::size_t i = 0; i < seen.size(); ++i) {
    if (!seen[i]) {
      Fail(name, 0,
           std::string("the settings table's key ") + config::kSettings[i].key + " of [" +
               config::NameOf(config::kSettings[i].section) + "] is missing");
    }
  }
  return file;
}

const ShippedFile::Key& ShippedFile::KeyFor(const config::SettingInfo& info) const {
  for (const Key& key : keys) {
    if (key.setting == static_cast<std::size_t>(info.setting)) return key;
  }
  throw std::runtime_error(std::string("no key ") + info.key);
}

void ShippedFile::RequireDefaults(const std::string& name) const {
  for (const Key& key : keys) {
    const config::SettingInfo& info = config::kSettings[key.setting];
    const char* text = key.value.c_str();
    bool same = false;
    if (info.form == config::ValueForm::Word) {
      const bool saysWord = config::FoldToLower(key.value) == info.word;
      const bool saysOther = config::FoldToLower(key.value) == (info.wordValue == 1 ? "false" : "true");
      same = info.defaultValue == info.wordValue ? saysWord : saysOther;
    } else if (info.form == config::ValueForm::Whole) {
      char* end = nullptr;
      same = std::strtoll(text, &end, 0) == static_cast<long long>(info.defaultValue) && *end == '\0';
    } else {
      char* end = nullptr;
      same = std::strtod(text, &end) == info.defaultValue && *end == '\0';
    }
    if (!same) Fail(name, key.line, key.spelling + "=" + key.value + " is not the settings table's default");
  }
}

void ShippedFile::RequireSameKeys(const ShippedFile& other, const std::string& name) const {
  bool same = keys.size() == other.keys.size();
  for (std::size_t i = 0; same && i < keys.size(); ++i) {
    same = keys[i].setting == other.keys[i].setting && keys[i].spelling == other.keys[i].spelling;
    if (!same)
      Fail(name, keys[i].line, keys[i].spelling + " stands where the shipped file has " + other.keys[i].spelling);
  }
  if (!same) Fail(name, 0, "not the shipped file's keys");
}

}  // namespace qm::studio
