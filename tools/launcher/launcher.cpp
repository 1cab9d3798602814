// qm.exe on Windows: stands where the game executable stands. It is linked at
// the game's image base without relocation, reserves the rest of the game's
// image range right after its own image, and hands over to the scenario
// runner in qm_host.dll, which builds the game double inside that range.
//
// The launcher itself must stay small: everything the double writes lies at
// the game's offsets, the lowest at off::kLowestBinding, and the launcher's
// image (rounded up to the 64 KiB reservation granularity) must end below it.
#include "double_offsets.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::uintptr_t kAllocationGranularity = 0x10000;

using QmMainFunction = int (*)(int, char**);

std::uintptr_t ImageEnd(std::uintptr_t base) {
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + static_cast<std::uintptr_t>(dos->e_lfanew));
  return base + nt->OptionalHeader.SizeOfImage;
}

// The game's image range past the launcher's own image, readable, writable and
// executable, as the game's code and data pages are to the double.
bool ReserveImageRange(std::uintptr_t base) {
  const std::uintptr_t from = (ImageEnd(base) + kAllocationGranularity - 1) & ~(kAllocationGranularity - 1);
  if (from - base > gd::off::kLowestBinding) {
    std::fprintf(stderr, "qm: the launcher's image ends at +0x%llx, past the lowest game offset +0x%llx\n",
                 static_cast<unsigned long long>(from - base),
                 static_cast<unsigned long long>(gd::off::kLowestBinding));
    return false;
  }
  const std::uintptr_t to = base + gd::off::kImageSize;
  void* got =
      ::VirtualAlloc(reinterpret_cast<void*>(from), to - from, MEM_RESERVE | MEM_COMMIT, PAGE_EXECUTE_READWRITE);
  if (got != reinterpret_cast<void*>(from)) {
    std::fprintf(stderr, "qm: cannot reserve the game's image range +0x%llx..+0x%llx (error %lu)\n",
                 static_cast<unsigned long long>(from - base), static_cast<unsigned long long>(to - base),
                 static_cast<unsigned long>(::GetLastError()));
    return false;
  }
  return true;
}

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
  if (!ReserveImageRange(base)) return 3;
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
