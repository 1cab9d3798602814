// qm.exe on Windows: stands where the game executable stands. It is linked at
// the game's image base without relocation, reserves the rest of the game's
// image range right after its own image, makes its own header declare that
// whole range as the game's header declares the game's image, and hands over
// to the scenario runner in qm_host.dll, which builds the game double inside
// that range.
//
// The launcher itself must stay small: everything the double writes lies at
// the game's offsets, the lowest at off::kLowestBinding, and the launcher's
// image (rounded up to the 64 KiB reservation granularity) must end below it.
#include "game_image.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

using QmMainFunction = int (*)(int, char**);

// qm_host.dll from the launcher's own folder, whatever the current folder is.
HMODULE LoadRunner() {
  char path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  char* name = path;
  for (char* p = path; *p != '\0'; ++p) {
    if (*p == '\\' || *p == '/') name = p + 1;
  }
  constexpr char kRunner[] = "qm_host.dll";
  if (static_cast<std::size_t>(name - path) + sizeof kRunner > MAX_PATH) return nullptr;
  std::memcpy(name, kRunner, sizeof kRunner);
  return ::LoadLibraryA(path);
}

}  // namespace

int main(int argc, char** argv) {
  const auto base = reinterpret_cast<std::uintptr_t>(::GetModuleHandleA(nullptr));
  if (!qm::launcher::PrepareGameImage(base)) return 3;
  HMODULE runner = LoadRunner();
  if (runner == nullptr) {
    std::fprintf(stderr, "qm: cannot load qm_host.dll (error %lu)\n", static_cast<unsigned long>(::GetLastError()));
    return 3;
  }
  const auto qmMain = reinterpret_cast<QmMainFunction>(reinterpret_cast<void*>(::GetProcAddress(runner, "QmMain")));
  if (qmMain == nullptr) {
    std::fprintf(stderr, "qm: qm_host.dll has no entry QmMain\n");
    return 3;
  }
  return qmMain(argc, argv);
}
