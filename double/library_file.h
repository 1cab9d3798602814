#pragma once
// The Address Library file for the image a world lays out: the file a player
// installs for that runtime, holding every id the double places.
#include "runtime_offsets.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gd {

// "version-1-5-97-0.bin" or "versionlib-1-6-1170-0.bin"; empty for a runtime
// without a library.
std::string LibraryFileName(const RuntimeOffsets& runtime);

std::vector<std::uint8_t> LibraryFileFor(const RuntimeOffsets& runtime);

}  // namespace gd
