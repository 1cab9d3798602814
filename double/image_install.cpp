// Lays out the image: a trap at every function offset, then the jumps to the
// functions the double implements, then the data the game keeps there.
#include "double_offsets.h"
#include "pe_header.h"
#include "stub_registry.h"
#include "world.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace gd {
namespace {

constexpr std::size_t kTrapCount = 26;

// A binding that no part of the double implements: the plug-in called a
// function of the game the double does not model, which fails the run.
template <std::size_t Index>
void Trap() {
  std::fprintf(stderr, "game double: the plug-in called %s, which the double does not implement\n",
               AllFunctionBindings()[Index].name);
  std::fflush(stderr);
  std::abort();
}

template <std::size_t... I>
constexpr std::array<void (*)(), sizeof...(I)> MakeTraps(std::index_sequence<I...>) {
  return {&Trap<I>...};
}

}  // namespace

void World::InstallImage() {
  static constexpr auto traps = MakeTraps(std::make_index_sequence<kTrapCount>{});
  const auto& bindings = AllFunctionBindings();
  if (bindings.size() != kTrapCount) {
    std::fprintf(stderr, "game double: trap table out of date\n");
    std::abort();
  }
  for (const StubEntry& entry : StubEntries()) {
    if (entry.offset < kImageHeaderBytes) {
      std::fprintf(stderr, "game double: a stub at +0x%llx would overwrite the image header\n",
                   static_cast<unsigned long long>(entry.offset));
      std::abort();
    }
  }
  for (std::size_t i = 0; i < bindings.size(); ++i) {
    region_.WriteJump(bindings[i].offset, reinterpret_cast<const void*>(traps[i]));
  }
  for (const StubEntry& entry : StubEntries()) region_.WriteJump(entry.offset, entry.target);
}

}  // namespace gd
