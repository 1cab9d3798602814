// Lays out the image: a trap at every function offset, then the jumps to the
// functions the double implements, then the data the game keeps there.
#include "image_header.h"
#include "stub_registry.h"
#include "world.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace gd {
namespace {

constexpr std::size_t kTrapCount = 27;

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
    const std::uintptr_t offset = (runtime_->*entry.where).offset;
    if (offset != 0 && offset < kImageHeaderBytes) {
      std::fprintf(stderr, "game double: a stub at +0x%llx would overwrite the image header\n",
                   static_cast<unsigned long long>(offset));
      std::abort();
    }
  }
  // A runtime that does not place a function (offset 0) has no jump for it.
  for (std::size_t i = 0; i < bindings.size(); ++i) {
    const std::uintptr_t offset = (runtime_->*bindings[i].where).offset;
    if (offset != 0) region_.WriteJump(offset, reinterpret_cast<const void*>(traps[i]));
  }
  for (const StubEntry& entry : StubEntries()) {
    const std::uintptr_t offset = (runtime_->*entry.where).offset;
    if (offset != 0) region_.WriteJump(offset, entry.target);
  }
}

}  // namespace gd
