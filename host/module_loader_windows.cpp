#include "host_double.h"
#include "import_patch_windows.h"

#include <windows.h>

namespace host {
namespace {

// SHGetFolderPathA as it answers when the folder cannot be found or made.
HRESULT WINAPI FailingFolderLookup(HWND, int, HANDLE, DWORD, LPSTR) {
  ::SetLastError(ERROR_FILE_NOT_FOUND);
  return E_FAIL;
}

}  // namespace

void* OpenModule(const std::string& path, std::string* error) {
  HMODULE module = ::LoadLibraryA(path.c_str());
  if (module == nullptr) {
    if (error != nullptr) *error = "LoadLibrary failed with error " + std::to_string(::GetLastError());
    return nullptr;
  }
  if (DocumentsLookupFails() &&
      !ReplaceImport(module, "SHELL32.dll", "SHGetFolderPathA", reinterpret_cast<const void*>(&FailingFolderLookup))) {
    if (error != nullptr) *error = "the module does not import SHGetFolderPathA from SHELL32.dll";
    ::FreeLibrary(module);
    return nullptr;
  }
  return reinterpret_cast<void*>(module);
}

void* ModuleSymbol(void* module, const char* name) {
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name));
}

}  // namespace host
