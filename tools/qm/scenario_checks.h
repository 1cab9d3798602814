#pragma once
// Checks of a whole scenario file that no single step can make: its text's
// shape (nesting, repeated keys), the names of the files it writes, and how
// many events it would play.
#include "scenario.h"

#include <string>
#include <utility>
#include <vector>

namespace qm::scenario {

// Parses JSON with comments; refuses nesting deeper than kMaxNesting and a
// key repeated in one object, naming the place ("steps[2].repeat").
Json ParseLimitedJson(const std::string& text);

// Refuses file names that would leave the run's folder or that name one file
// twice on any system the runner works on (see the checks for the rules).
void CheckGameFileNames(const std::vector<std::pair<std::string, std::string>>& files);

// Refuses a script that would play more than kMaxEvents steps and events.
void CheckEventCount(const Json& steps);

}  // namespace qm::scenario
