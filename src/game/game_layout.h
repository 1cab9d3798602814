#pragma once
// The layout family of the running game. From runtime 1.6.629 on a few of
// the objects the plug-in reads are laid out differently: an extra-data list
// has a class table of its own, which moves its fields and everything that
// follows a list inside a reference or a cell. The positions of those moved
// fields are one small table per family (game_layout.cpp, built from the
// per-family structures in game_forms.h and game_cells.h); start-up chooses
// the table once, and every reader goes through the chosen one, never
// testing the runtime per field.
#include "game/game_runtime.h"

#include <cstdint>

namespace qm::game {

// The family of a runtime is the family of its layouts: kSpecialEdition
// (1.5.x), kAnniversary (1.6.629 and later).
using LayoutFamily = RuntimeFamily;

// Byte positions of the fields whose place depends on the family.
struct MovedPositions {
  std::uint32_t extraFirst;          // extra-data list: first entry
  std::uint32_t extraPresence;       // extra-data list: presence bit field
  std::uint32_t actorState;          // actor: state word (weapon state in bits 5 to 7)
  std::uint32_t actorBoolBits;       // actor: flags (follower of the player, ...)
  std::uint32_t actorProcess;        // actor: its process
  std::uint32_t actorSelectedPower;  // actor: equipped power or shout
  std::uint32_t cellSlotCount;       // cell: slots of the reference table
  std::uint32_t cellSlots;           // cell: the reference table
};

// The family's table.
const MovedPositions& PositionsOf(LayoutFamily family);

// Made once at start-up, before any of the game's threads reach the
// plug-in; the Special Edition's until then.
void SelectLayoutFamily(LayoutFamily family);
LayoutFamily SelectedLayoutFamily();

namespace layout_detail {
// A copy of the chosen table rather than a pointer to it: a reader pays one
// load for a position, the same as for a constant it would otherwise add.
extern MovedPositions chosenPositions;
}  // namespace layout_detail

inline const MovedPositions& ChosenPositions() { return layout_detail::chosenPositions; }

// A field of a game object at a byte position.
template <typename T>
T& FieldAt(void* object, std::uint32_t position) {
  return *reinterpret_cast<T*>(static_cast<std::uint8_t*>(object) + position);
}
template <typename T>
const T& FieldAt(const void* object, std::uint32_t position) {
  return *reinterpret_cast<const T*>(static_cast<const std::uint8_t*>(object) + position);
}

}  // namespace qm::game
