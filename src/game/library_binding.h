#pragma once
// Binding the game on a runtime whose addresses come from the Address
// Library: the file "Address Library for SKSE Plugins" installs in the game's
// Data\SKSE\Plugins folder, one per runtime.
#include "game/game_runtime.h"

#include <cstddef>
#include <cstdint>

namespace qm::game {

// "version-1-5-97-0.bin" (format 1) or "versionlib-1-6-1170-0.bin" (format
// 2). Every store's build of a runtime has a file of the same name.
void LibraryFileName(const SupportedRuntime& runtime, std::uint32_t runtimeVersion, char* out, std::size_t outSize);

// Reads the runtime's library file once, finds every id the plug-in needs and
// forms Bindings from them. Any fault of the file leaves Bindings as they
// were, logs one line saying what is wrong, and answers false.
bool BindThroughLibrary(const SupportedRuntime& runtime, std::uint32_t runtimeVersion);

}  // namespace qm::game
