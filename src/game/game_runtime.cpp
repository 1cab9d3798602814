#include "game/game_runtime.h"

#include <cstdio>

namespace qm::game {
namespace {

constexpr SupportedRuntime kCompiled1_5_39{AddressSource::kCompiledOffsets, RuntimeFamily::kSpecialEdition, 0};
constexpr SupportedRuntime kSpecialLibrary{AddressSource::kAddressLibrary, RuntimeFamily::kSpecialEdition, 1};
constexpr SupportedRuntime kAnniversaryLibrary{AddressSource::kAddressLibrary, RuntimeFamily::kAnniversary, 2};

constexpr const char* kRunsOn = "Quellmark runs on 1.5.39, 1.5.97 and 1.6.629 or later";

// The runtime without its store: GOG's and Epic's builds share Steam's
// numbers, and each store's Address Library file the same name.
constexpr std::uint32_t WithoutStore(std::uint32_t runtimeVersion) { return runtimeVersion & ~0xFu; }

}  // namespace

RuntimeVerdict JudgeRuntime(std::uint32_t runtimeVersion) {
  if (runtimeVersion == kRuntime1_5_39) return {&kCompiled1_5_39, nullptr};
  if (runtimeVersion == kRuntime1_5_97) return {&kSpecialLibrary, nullptr};
  const std::uint32_t build = WithoutStore(runtimeVersion);
  if ((build >> 16) == (kRuntime1_6_629 >> 16)) {
    if (build >= kRuntime1_6_629) return {&kAnniversaryLibrary, nullptr};
    if (build >= kRuntime1_6_317) {
      return {nullptr,
              "the Anniversary Edition before 1.6.629 lays out the game's objects the older way; update the game "
              "to 1.6.629 or later"};
    }
  }
  return {nullptr, kRunsOn};
}

void FormatRuntime(std::uint32_t v, char* out, std::size_t outSize) {
  if (outSize == 0) return;
  const unsigned major = v >> 24 & 0xFF, minor = v >> 16 & 0xFF, build = v >> 4 & 0xFFF, sub = v & 0xF;
  if (sub == 0) {
    std::snprintf(out, outSize, "%u.%u.%u", major, minor, build);
  } else {
    std::snprintf(out, outSize, "%u.%u.%u.%u", major, minor, build, sub);
  }
}

}  // namespace qm::game
