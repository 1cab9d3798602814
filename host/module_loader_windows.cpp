#include "host_double.h"

#include <windows.h>

namespace host {

void* OpenModule(const std::string& path, std::string* error) {
  HMODULE module = ::LoadLibraryA(path.c_str());
  if (module == nullptr && error != nullptr) {
    *error = "LoadLibrary failed with error " + std::to_string(::GetLastError());
  }
  return reinterpret_cast<void*>(module);
}

void* ModuleSymbol(void* module, const char* name) {
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name));
}

}  // namespace host
