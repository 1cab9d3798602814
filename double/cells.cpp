#include "cells.h"

#include "runtime_offsets.h"

namespace gd {
namespace {

// Marks a slot in use: the game links used slots into a chain ended by a
// sentinel; only "not null" matters to the reader.
std::uint8_t gChainEnd;

// What the game's memory holds where the double models nothing: the stale
// reference of a free slot, the cell past the grid's end. A reader that follows one of them faults here as in the game.
ReferenceRec* const kStaleReference = reinterpret_cast<ReferenceRec*>(std::uintptr_t{0xCDCDCDCDCDCDCDCD});

}  // namespace

Cells::Cells(World& world) : world_(world) {
  world.Component<References>();
  *world.region().At<WorldObjRec*>(Off().worldPtr.offset) = &worldObject_;
}

CellRec& Cells::AddCell(const std::string& name, bool interior, std::uint8_t state) {
  if (byName_.count(name) != 0) world_.Violation("two cells are named " + name);
  CellRec& cell = *cells_.emplace_back(std::make_unique<CellRec>());
  cell.form.formType = 0x3C;
  cell.cellFlags = interior ? kCellInterior : 0;
  cell.state = state;
  byName_[name] = &cell;
  names_[&cell] = name;
  Rebuild(cell);
  return cell;
}

void Cells::Place(ReferenceRec& reference, CellRec& cell) {
  reference.cell = &cell;
  contents_[&cell].push_back(&reference);
  Rebuild(cell);
}

// The table gets twice as many slots as references (at least 8), each
// reference in the slot its address hashes to, probing onwards, so that free
// slots lie between used ones as in the game's table. Free slots keep a stale
// reference, and the table ends where a page nothing may touch begins: any
// read past its end faults.
void Cells::Rebuild(CellRec& cell) {
  const std::vector<ReferenceRec*>& references = contents_[&cell];
  std::size_t capacity = 8;
  while (capacity < references.size() * 2) capacity *= 2;
  auto table = std::make_unique<GuardedBlock>(capacity * sizeof(CellRefSlot));
  auto* slots = static_cast<CellRefSlot*>(table->data());
  for (std::size_t i = 0; i < capacity; ++i) slots[i] = CellRefSlot{kStaleReference, nullptr};
  for (ReferenceRec* reference : references) {
    std::size_t index = (reinterpret_cast<std::uintptr_t>(reference) >> 4) % capacity;
    while (slots[index].link != nullptr) index = (index + 1) % capacity;
    slots[index] = CellRefSlot{reference, &gChainEnd};
  }
  cell.slots = slots;
  cell.slotCount = static_cast<std::uint32_t>(capacity);
  slots_[&cell] = std::move(table);
}

void Cells::MakeGrid(std::uint32_t dimension) {
  gridCells_.assign(static_cast<std::size_t>(dimension) * dimension, nullptr);
  gridCells_.push_back(reinterpret_cast<CellRec*>(kStaleReference));  // past the grid's end
  grid_.dimension = dimension;
  grid_.cells = gridCells_.data();
  worldObject_.loadedGrid = &grid_;
}

void Cells::PutInGrid(CellRec& cell, std::uint32_t i, std::uint32_t j) {
  if (worldObject_.loadedGrid == nullptr || i >= grid_.dimension || j >= grid_.dimension) {
    world_.Violation("a grid cell outside the loaded grid");
    return;
  }
  gridCells_[static_cast<std::size_t>(j) * grid_.dimension + i] = &cell;
}

void Cells::RemoveGrid() { worldObject_.loadedGrid = nullptr; }

CellRec* Cells::Find(const std::string& name) const {
  auto it = byName_.find(name);
  return it == byName_.end() ? nullptr : it->second;
}

std::string Cells::NameOf(const CellRec* cell) const {
  auto it = names_.find(cell);
  return it == names_.end() ? "(none)" : it->second;
}

}  // namespace gd
