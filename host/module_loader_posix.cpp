#include "host_double.h"

#include <dlfcn.h>

namespace host {

void* OpenModule(const std::string& path, std::string* error) {
  void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr && error != nullptr) *error = ::dlerror();
  return module;
}

void* ModuleSymbol(void* module, const char* name) { return ::dlsym(module, name); }

}  // namespace host
