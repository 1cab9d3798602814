#pragma once
// Cells and the world's grid of loaded exterior cells (runtime 1.5.39), as
// the dynamic tempering walks them.
#include "game/game_forms.h"

#include <cstddef>
#include <cstdint>

namespace qm::game {

// One slot of a cell's reference table; in use when the link is not null.
struct CellReferenceSlot {
  Reference* reference;  // 0x00
  void* link;            // 0x08
};
static_assert(sizeof(CellReferenceSlot) == 0x10);
static_assert(offsetof(CellReferenceSlot, link) == 0x08);

struct TESObjectCELL {
  std::uint8_t pad00[0x40];
  std::uint8_t cellFlags;           // 0x40: 0x01 interior
  std::uint8_t pad41[3];            // 0x41
  std::uint8_t cellState;           // 0x44: 7 attached
  std::uint8_t pad45[0x8C - 0x45];  // 0x45
  std::uint32_t slotCount;          // 0x8C: slots of the reference table
  std::uint8_t pad90[0x18];         // 0x90
  CellReferenceSlot* slots;         // 0xA8
};
static_assert(offsetof(TESObjectCELL, cellFlags) == 0x40);
static_assert(offsetof(TESObjectCELL, cellState) == 0x44);
static_assert(offsetof(TESObjectCELL, slotCount) == 0x8C);
static_assert(offsetof(TESObjectCELL, slots) == 0xA8);

inline constexpr std::uint8_t kCellInterior = 0x01;
inline constexpr std::uint8_t kCellAttached = 7;

// The loaded exterior cells: cell (i, j) at index j * dimension + i.
struct LoadedCellGrid {
  std::uint8_t pad00[0x10];
  std::uint32_t dimension;  // 0x10
  std::uint32_t pad14;      // 0x14
  TESObjectCELL** cells;    // 0x18: dimension * dimension, entries may be null
};
static_assert(offsetof(LoadedCellGrid, dimension) == 0x10);
static_assert(offsetof(LoadedCellGrid, cells) == 0x18);

// The object the world datum points at.
struct WorldState {
  std::uint8_t pad00[0x78];
  LoadedCellGrid* loadedGrid;  // 0x78: may be null
};
static_assert(offsetof(WorldState, loadedGrid) == 0x78);

}  // namespace qm::game
