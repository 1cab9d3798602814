#pragma once
// The launcher's own image made to stand for the game's: the game's image
// range reserved right after it, and its header declaring the whole range, as
// the game's header declares the game's size to the plug-in.
#include <cstdint>

namespace qm::launcher {

// False, with a message on standard error, when the range cannot be had.
bool PrepareGameImage(std::uintptr_t base);

}  // namespace qm::launcher
