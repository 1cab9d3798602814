#pragma once
// Cells and the world's grid of loaded exterior cells, as the tempering pass
// searches them: a cell's reference table is an array of 16-byte slots
// (reference, link), a slot being in use when its link is not null.
#include "guarded_block.h"
#include "live_layout.h"
#include "references.h"
#include "world.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace gd {

struct CellRefSlot {
  ReferenceRec* reference;  // 0x00
  void* link;               // 0x08: null when the slot is free
};
static_assert(sizeof(CellRefSlot) == 0x10);

// A cell: its flags and state lie where they do in every family, its
// reference table where the world's layout family puts it (family::Cell),
// reached through the accessors. Room for the longer cell.
struct CellRec {
  FormHeader form;           // 0x00: form type 0x3C
  std::uint8_t pad20[0x20];  // 0x20
  std::uint8_t cellFlags;    // 0x40: 0x01 interior
  std::uint8_t pad41[3];     // 0x41
  std::uint8_t state;        // 0x44: 7 attached
  std::uint8_t own[sizeof(family::Cell<family::ListAE>) - 0x45];

  std::uint32_t& slotCount() { return FieldAt<std::uint32_t>(this, LiveLayout().cellSlotCount); }
  CellRefSlot*& slots() { return FieldAt<CellRefSlot*>(this, LiveLayout().cellSlots); }
};
static_assert(offsetof(CellRec, cellFlags) == 0x40);
static_assert(offsetof(CellRec, state) == 0x44);
static_assert(sizeof(CellRec) == sizeof(family::Cell<family::ListAE>));

struct LoadedGridRec {
  std::uint8_t pad00[0x10];  // 0x00
  std::uint32_t dimension;   // 0x10
  std::uint32_t pad14;       // 0x14
  CellRec** cells;           // 0x18: cell (i, j) at j * d + i
};
static_assert(offsetof(LoadedGridRec, dimension) == 0x10 && offsetof(LoadedGridRec, cells) == 0x18);

struct WorldObjRec {
  std::uint8_t pad00[0x78];   // 0x00
  LoadedGridRec* loadedGrid;  // 0x78: null when no exterior cells are loaded
  std::uint8_t pad80[0x80];   // 0x80
};
static_assert(offsetof(WorldObjRec, loadedGrid) == 0x78);

constexpr std::uint8_t kCellInterior = 0x01;
constexpr std::uint8_t kCellAttached = 7;

class Cells : public WorldComponent {
 public:
  explicit Cells(World& world);

  CellRec& AddCell(const std::string& name, bool interior, std::uint8_t state = kCellAttached);
  // Puts a reference into a cell's reference table and makes it its cell.
  void Place(ReferenceRec& reference, CellRec& cell);
  // Makes the loaded-cell grid d x d (all entries null) and puts a cell in it.
  void MakeGrid(std::uint32_t dimension);
  void PutInGrid(CellRec& cell, std::uint32_t i, std::uint32_t j);
  void RemoveGrid();

  CellRec* Find(const std::string& name) const;
  std::string NameOf(const CellRec* cell) const;
  WorldObjRec& WorldObject() { return worldObject_; }

 private:
  void Rebuild(CellRec& cell);

  World& world_;
  WorldObjRec worldObject_{};
  LoadedGridRec grid_{};
  std::vector<CellRec*> gridCells_;
  std::deque<std::unique_ptr<CellRec>> cells_;
  std::map<const CellRec*, std::vector<ReferenceRec*>> contents_;
  std::map<const CellRec*, std::unique_ptr<GuardedBlock>> slots_;
  std::map<std::string, CellRec*> byName_;
  std::map<const CellRec*, std::string> names_;
};

}  // namespace gd
