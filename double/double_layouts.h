#pragma once
// The double's own picture of the game's core objects. Layouts follow the
// game, asserted field by field; where the Anniversary Edition moved a field,
// both families' shapes are here.
#include "runtime_offsets.h"

#include <cstddef>
#include <cstdint>

namespace gd {

// What the bytes of an event record that the game leaves unset hold.
inline constexpr unsigned char kEventFillByte = 0xCD;

struct SpinLock {
  std::uint32_t owner;  // 0x0
  std::uint32_t count;  // 0x4
};
static_assert(offsetof(SpinLock, count) == 0x4 && sizeof(SpinLock) == 0x8);

struct BSFixedString {
  const char* text;  // 0x0
};

struct EventSinkVtbl;
struct EventSinkObj {
  const EventSinkVtbl* vtbl;  // 0x0
};
struct EventSinkVtbl {
  void* (*dtor)(EventSinkObj*, std::uint32_t);
  std::uint32_t (*receive)(EventSinkObj*, const void* event, void* source);
};

struct BSTEventSource {
  EventSinkObj** sinks;    // 0x00
  std::uint32_t capacity;  // 0x08
  std::uint32_t pad0C;
  std::uint32_t size;  // 0x10
  std::uint32_t pad14;
  std::uint8_t pendingRegister[0x18];    // 0x18
  std::uint8_t pendingUnregister[0x18];  // 0x30
  SpinLock lock;                         // 0x48
  std::uint8_t notifying;                // 0x50
  std::uint8_t pad51[7];
};
static_assert(offsetof(BSTEventSource, sinks) == 0x00);
static_assert(offsetof(BSTEventSource, size) == 0x10);
static_assert(offsetof(BSTEventSource, lock) == 0x48);
static_assert(sizeof(BSTEventSource) == 0x58);

// ScriptEventSourceHolder: the hit event source lies at +0x5D8.
struct ScriptEventSourceHolder {
  std::uint8_t other[0x5D8];
  BSTEventSource hitSource;  // 0x5D8
};
static_assert(offsetof(ScriptEventSourceHolder, hitSource) == 0x5D8);

// The objects whose shape depends on the layout family. From 1.6.629 on an
// extra-data list begins with a class table of its own: its fields lie 8
// bytes further on and it is 0x20 bytes long. A reference keeps its list at
// +0x70 and grows by those 8 bytes, so an actor's own fields, which follow
// the reference, lie 8 bytes further on too; so does a cell's reference
// table, which follows the cell's own list at +0x48.
namespace family {

struct ListSE {
  void* first;         // 0x00
  void* presence;      // 0x08
  std::uint64_t lock;  // 0x10
};
static_assert(offsetof(ListSE, first) == 0x00 && offsetof(ListSE, presence) == 0x08);
static_assert(offsetof(ListSE, lock) == 0x10 && sizeof(ListSE) == 0x18);

struct ListAE {
  const void* classTable;  // 0x00
  void* first;             // 0x08
  void* presence;          // 0x10
  std::uint64_t lock;      // 0x18
};
static_assert(offsetof(ListAE, first) == 0x08 && offsetof(ListAE, presence) == 0x10);
static_assert(offsetof(ListAE, lock) == 0x18 && sizeof(ListAE) == 0x20);

template <class List>
struct Reference {
  std::uint8_t head[0x70];  // 0x00: form, holders, base form, place, cell, loaded state
  List extraList;           // 0x70
  std::uint8_t tail[0x10];  // scale, model state and the like
};
static_assert(offsetof(Reference<ListSE>, extraList) == 0x70 && sizeof(Reference<ListSE>) == 0x98);
static_assert(offsetof(Reference<ListAE>, extraList) == 0x70 && sizeof(Reference<ListAE>) == 0xA0);

template <class List>
struct Actor {
  Reference<List> reference;
  std::uint8_t magicTargetToState[0x2C];  // magic target, actor values, movement state
  std::uint32_t stateWord;                // weapon state in bits 5 to 7
  std::uint8_t sinksToFlags[0x18];
  std::uint32_t boolBits;  // 0x4000000 follower of the player
  std::uint8_t flagsToProcess[0xC];
  void* process;
  std::uint8_t processToPower[0xE8];
  void* selectedPower;
  std::uint8_t rest[0xC8];
};
static_assert(offsetof(Actor<ListSE>, stateWord) == 0xC4 && offsetof(Actor<ListAE>, stateWord) == 0xCC);
static_assert(offsetof(Actor<ListSE>, boolBits) == 0xE0 && offsetof(Actor<ListAE>, boolBits) == 0xE8);
static_assert(offsetof(Actor<ListSE>, process) == 0xF0 && offsetof(Actor<ListAE>, process) == 0xF8);
static_assert(offsetof(Actor<ListSE>, selectedPower) == 0x1E0 && offsetof(Actor<ListAE>, selectedPower) == 0x1E8);
static_assert(sizeof(Actor<ListSE>) == 0x2B0 && sizeof(Actor<ListAE>) == 0x2B8);

template <class List>
struct Cell {
  std::uint8_t head[0x40];  // 0x00: form, grass locks
  std::uint16_t flags;      // 0x40: 0x01 interior
  std::uint16_t gameFlags;  // 0x42
  std::uint8_t state;       // 0x44: 7 attached
  std::uint8_t pad45[3];    // 0x45
  List extraList;           // 0x48
  std::uint8_t listToTable[0x2C];
  std::uint32_t slotCount;  // the reference table's capacity
  std::uint8_t countToSlots[0x18];
  void* slots;  // its 16-byte slots
  std::uint8_t rest[0x90];
};
static_assert(offsetof(Cell<ListSE>, flags) == 0x40 && offsetof(Cell<ListAE>, flags) == 0x40);
static_assert(offsetof(Cell<ListSE>, state) == 0x44 && offsetof(Cell<ListAE>, state) == 0x44);
static_assert(offsetof(Cell<ListSE>, slotCount) == 0x8C && offsetof(Cell<ListAE>, slotCount) == 0x94);
static_assert(offsetof(Cell<ListSE>, slots) == 0xA8 && offsetof(Cell<ListAE>, slots) == 0xB0);
static_assert(sizeof(Cell<ListSE>) == 0x140 && sizeof(Cell<ListAE>) == 0x148);

}  // namespace family

// Where one family keeps the moved fields, in bytes from the object's start.
struct FamilyLayout {
  std::size_t listClassTable;  // kNoField on the Special Edition
  std::size_t listFirst, listPresence, listLock, listSize;
  std::size_t referenceSize;
  std::size_t actorState, actorBoolBits, actorProcess, actorSelectedPower, actorSize;
  std::size_t cellSlotCount, cellSlots, cellSize;
};
inline constexpr std::size_t kNoField = ~std::size_t{0};

template <class List>
constexpr FamilyLayout LayoutFor(std::size_t listClassTable) {
  using Actor = family::Actor<List>;
  using Cell = family::Cell<List>;
  return {listClassTable,
          offsetof(List, first),
          offsetof(List, presence),
          offsetof(List, lock),
          sizeof(List),
          sizeof(family::Reference<List>),
          offsetof(Actor, stateWord),
          offsetof(Actor, boolBits),
          offsetof(Actor, process),
          offsetof(Actor, selectedPower),
          sizeof(Actor),
          offsetof(Cell, slotCount),
          offsetof(Cell, slots),
          sizeof(Cell)};
}

inline constexpr FamilyLayout kSpecialEditionLayout = LayoutFor<family::ListSE>(kNoField);
inline constexpr FamilyLayout kAnniversaryLayout = LayoutFor<family::ListAE>(offsetof(family::ListAE, classTable));

inline const FamilyLayout& LayoutOf(LayoutFamily layoutFamily) {
  return layoutFamily == LayoutFamily::kAnniversary ? kAnniversaryLayout : kSpecialEditionLayout;
}

// The field of that type at a byte position of an object.
template <class T>
T& FieldAt(void* object, std::size_t position) {
  return *reinterpret_cast<T*>(static_cast<std::uint8_t*>(object) + position);
}
template <class T>
const T& FieldAt(const void* object, std::size_t position) {
  return *reinterpret_cast<const T*>(static_cast<const std::uint8_t*>(object) + position);
}

}  // namespace gd
