#pragma once
// What the plug-in's reader did with each entry of a settings file, in the
// checker's words: taken, dropped, misread, overridden, and why.
#include "config/config_store.h"
#include "config/entry_parsing.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qm::check {

// One entry as the reader reported it.
struct Seen {
  std::string section;  // the section the reader was applying (no-break: the plug-in file)
  std::string entry;
  config::EntryFate fate;
  std::string key;
  double value;
  config::NumberFault fault;
  std::string verdict;  // filled in once every entry is known
  bool problem = false;
};

// Names of sections and plug-in files compare without regard to case, as
// the profile functions and the plug-in compare them.
std::string Lower(const std::string& text);
bool SameName(const std::string& a, const std::string& b);

// Whether the reader reported a whole section rather than one entry: a
// no-break section of a plug-in file not listed or not active.
bool IsSectionReport(config::EntryFate fate);

// A form identifier as the checker prints it: 0x0001A2B3.
std::string FormIdText(std::uint32_t id);

// Fills in every entry's verdict and whether it is a problem, from its fate,
// the entries that override it and the settings the store ended with.
void Judge(std::vector<Seen>& seen, const config::ConfigStore& store);

// A line that starts with '[' but has no ']' is no header: the profile
// functions deliver it as an entry of the section it stands in, and the
// entries below it stay in that section too.
void MarkUnclosedHeaders(std::vector<Seen>& seen);

}  // namespace qm::check
