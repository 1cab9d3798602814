#pragma once
// The shipped Quellmark.ini as the studio needs it: each key's spelling and
// the comment above it, checked against the settings table.
#include "config/settings_table.h"

#include <array>
#include <string>
#include <vector>

namespace qm::studio {

struct ShippedFile {
  struct Key {
    std::size_t setting;      // index into config::kSettings
    std::string section;      // as written in the header
    std::string spelling;     // the key as the file writes it
    std::string value;        // the value as written
    std::string description;  // the comment paragraph above the key, without "; "
    int line;                 // 1-based
  };
  std::string fileNote;                                                // the comment above the first section
  std::array<std::string, config::kSectionNames.size()> sectionNotes;  // comment before a section's own keys
  std::vector<Key> keys;                                               // in file order

  // Throws std::runtime_error naming the file and line when a section or key
  // is missing, unknown, repeated or out of the table's order of sections.
  static ShippedFile Parse(const std::string& text, const std::string& name);

  const Key& KeyFor(const config::SettingInfo& info) const;

  // Throws unless every value reads as the table's default.
  void RequireDefaults(const std::string& name) const;

  // Throws unless other has the same keys, spelt the same, in the same order.
  void RequireSameKeys(const ShippedFile& other, const std::string& name) const;
};

}  // namespace qm::studio
