#include "game_image.h"

#include "double_offsets.h"
#include "pe_header.h"

#include <windows.h>

#include <cstdio>

namespace qm::launcher {
namespace {

constexpr std::uintptr_t kAllocationGranularity = 0x10000;

IMAGE_NT_HEADERS64* PeHeaders(std::uintptr_t base) {
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  return reinterpret_cast<IMAGE_NT_HEADERS64*>(base + static_cast<std::uintptr_t>(dos->e_lfanew));
}

// The game's image range past the launcher's own image, readable, writable and
// executable, as the game's code and data pages are to the double.
bool ReserveImageRange(std::uintptr_t base) {
  const std::uintptr_t imageEnd = base + PeHeaders(base)->OptionalHeader.SizeOfImage;
  const std::uintptr_t from = (imageEnd + kAllocationGranularity - 1) & ~(kAllocationGranularity - 1);
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

// SizeOfImage in the launcher's header becomes the whole range: the plug-in
// reads the game's size there. The loader took its own copy when it mapped
// the image, so only readers of the header see the change. The runner
// declares the simulated runtime's own size in its turn.
bool DeclareWholeRange(std::uintptr_t base) {
  if (!gd::DeclareImageSize(base, static_cast<std::uint32_t>(gd::off::kImageSize))) {
    std::fprintf(stderr, "qm: cannot write the launcher's image header (error %lu)\n",
                 static_cast<unsigned long>(::GetLastError()));
    return false;
  }
  return true;
}

}  // namespace

bool PrepareGameImage(std::uintptr_t base) { return ReserveImageRange(base) && DeclareWholeRange(base); }

}  // namespace qm::launcher
