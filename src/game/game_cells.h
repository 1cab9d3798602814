#pragma once
// Cells and the world's grid of loaded exterior cells, as the dynamic
// tempering walks them.
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

// A cell: its flags and state lie where they do in every family; its
// reference table follows the cell's own extra-data list, so its place
// depends on the family (TESObjectCELLSE, TESObjectCELLAE) and it is read
// through SlotCountOf and SlotsOf.
struct TESObjectCELL {
  std::uint8_t pad00[0x40];
  std::uint8_t cellFlags;  // 0x40: 0x01 interior
  std::uint8_t pad41[3];   // 0x41
  std::uint8_t cellState;  // 0x44: 7 attached
};
static_assert(offsetof(TESObjectCELL, cellFlags) == 0x40);
static_assert(offsetof(TESObjectCELL, cellState) == 0x44);

struct TESObjectCELLSE {
  std::uint8_t common[0x48];  // 0x00: as TESObjectCELL
  ExtraDataListSE extraList;  // 0x48
  std::uint8_t pad60[0x2C];   // 0x60
  std::uint32_t slotCount;    // 0x8C: slots of the reference table
  std::uint8_t pad90[0x18];   // 0x90
  CellReferenceSlot* slots;   // 0xA8
  std::uint8_t padB0[0x90];   // 0xB0
};
static_assert(offsetof(TESObjectCELLSE, slotCount) == 0x8C);
static_assert(offsetof(TESObjectCELLSE, slots) == 0xA8);
static_assert(sizeof(TESObjectCELLSE) == 0x140);

struct TESObjectCELLAE {
  std::uint8_t common[0x48];  // 0x00: as TESObjectCELL
  ExtraDataListAE extraList;  // 0x48
  std::uint8_t pad68[0x2C];   // 0x68
  std::uint32_t slotCount;    // 0x94
  std::uint8_t pad98[0x18];   // 0x98
  CellReferenceSlot* slots;   // 0xB0
  std::uint8_t padB8[0x90];   // 0xB8
};
static_assert(offsetof(TESObjectCELLAE, slotCount) == 0x94);
static_assert(offsetof(TESObjectCELLAE, slots) == 0xB0);
static_assert(sizeof(TESObjectCELLAE) == 0x148);

inline std::uint32_t SlotCountOf(const TESObjectCELL* cell) {
  return FieldAt<std::uint32_t>(cell, ChosenPositions().cellSlotCount);
}
inline CellReferenceSlot* SlotsOf(const TESObjectCELL* cell) {
  return FieldAt<CellReferenceSlot*>(cell, ChosenPositions().cellSlots);
}

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
