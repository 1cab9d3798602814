#pragma once
// The size of the game's image as its executable's headers declare it: every
// offset the plug-in resolves must lie inside it.
#include <cstdint>

namespace qm::game {

// SizeOfImage from the PE headers the loader leaves at `base`; 0 when no
// 64-bit PE header is there.
std::uint64_t GameImageSize(std::uintptr_t base);

}  // namespace qm::game
