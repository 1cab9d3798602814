#include "import_patch_windows.h"
#include "process_facts.h"

namespace host {
namespace {

bool documentsLookupFails = false;

}  // namespace

// Windows answers these questions itself: the launcher is the process image,
// and the shell knows the documents folder. Only a failing documents lookup
// has to be arranged, when the module is loaded (module_loader_windows.cpp).
void SetProcessFacts(std::uintptr_t, const std::string&, const std::string&, bool lookupFails) {
  documentsLookupFails = lookupFails;
}

bool DocumentsLookupFails() { return documentsLookupFails; }

}  // namespace host
