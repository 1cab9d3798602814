#include "process_facts.h"

namespace host {

// Windows answers these questions itself: the launcher is the process image,
// and the shell knows the documents folder.
void SetProcessFacts(std::uintptr_t, const std::string&, const std::string&, bool) {}

}  // namespace host
