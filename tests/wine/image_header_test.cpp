// Run under Wine by run_wine_suite.sh: the launcher's image made to stand for
// the game's, then its size read by the plug-in's reader and by the double's.
// Prints "PASSED image header" when both find the whole range declared.
#include "game/image_header.h"
#include "double_offsets.h"
#include "game_image.h"
#include "pe_header.h"
#include "platform/platform.h"

#include <cstdio>

int main() {
  const std::uintptr_t base = qm::platform::ProcessImageBase();
  if (base != 0x140000000u) {
    std::printf("FAILED: the program lies at 0x%llx, not at the game's image base\n",
                static_cast<unsigned long long>(base));
    return 1;
  }
  const std::uint64_t before = qm::game::GameImageSize(base);
  if (before == 0 || before >= gd::off::kLowestBinding) {
    std::printf("FAILED: before, the header declares 0x%llx bytes\n", static_cast<unsigned long long>(before));
    return 1;
  }
  if (!qm::launcher::PrepareGameImage(base)) return 1;
  const std::uint64_t plugin = qm::game::GameImageSize(base);
  const std::uint64_t gameDouble = gd::DeclaredImageSize(base);
  if (plugin != gd::off::kImageSize || gameDouble != gd::off::kImageSize) {
    std::printf("FAILED: the plug-in reads 0x%llx, the double 0x%llx, the range is 0x%llx\n",
                static_cast<unsigned long long>(plugin), static_cast<unsigned long long>(gameDouble),
                static_cast<unsigned long long>(gd::off::kImageSize));
    return 1;
  }
  // The runner declares the simulated runtime's own, smaller size in its turn.
  const std::uint32_t runtimeSize = static_cast<std::uint32_t>(gd::off::kImageSize - 0x50000);
  if (!gd::DeclareImageSize(base, runtimeSize) || qm::game::GameImageSize(base) != runtimeSize ||
      gd::DeclaredImageSize(base) != runtimeSize) {
    std::printf("FAILED: a runtime's size declared in the header is not read back by both\n");
    return 1;
  }
  // The range is there to be written at the game's offsets, the lowest first.
  *reinterpret_cast<volatile std::uint8_t*>(base + gd::off::kLowestBinding) = 0xCC;
  std::printf("PASSED image header\n");
  return 0;
}
