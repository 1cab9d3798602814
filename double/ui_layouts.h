#pragma once
// The double's own picture of the game's user-interface objects: the menu
// manager and its menu table, menus, UI messages, the movie layer's values,
// views and heap, input events and the script extender's action event.
// Layouts follow the game (runtime 1.5.39), asserted field by field.
#include "double_layouts.h"

#include <cstddef>
#include <cstdint>

namespace gd {

// ---- menus -------------------------------------------------------------

struct MenuObj;
struct MovieViewObj;

struct UiMessage {
  BSFixedString menu;  // 0x00
  std::uint32_t type;  // 0x08: 1 show, 3 hide, 6 movie event
  std::uint32_t pad0C;
  void* data;             // 0x10
  std::uint8_t isPooled;  // 0x18
  std::uint8_t pad19[7];
};
static_assert(offsetof(UiMessage, type) == 0x08 && offsetof(UiMessage, data) == 0x10);

// A menu's dispatch table, slots 0 to 8 in the game's order.
struct MenuVtbl {
  void* (*destroy)(MenuObj*, std::uint32_t freeFlag);             // 0
  void (*slot1)(MenuObj*, void*);                                 // 1
  void (*slot2)(MenuObj*);                                        // 2
  void (*slot3)(MenuObj*, void*);                                 // 3
  std::uint32_t (*processMessage)(MenuObj*, UiMessage* message);  // 4
  void (*slot5)(MenuObj*, float interval, std::uint32_t time);    // 5
  void (*frame)(MenuObj*);                                        // 6
  void (*slot7)(MenuObj*);                                        // 7
  void (*slot8)(MenuObj*, void* view, void*, void*);              // 8
};
static_assert(offsetof(MenuVtbl, processMessage) == 4 * 8);
static_assert(offsetof(MenuVtbl, frame) == 6 * 8);
static_assert(offsetof(MenuVtbl, slot8) == 8 * 8);

struct MenuObj {
  const MenuVtbl* vtbl;    // 0x00
  std::uint32_t refCount;  // 0x08
  std::uint32_t pad0C;
  MovieViewObj* view;  // 0x10
  std::uint8_t depth;  // 0x18
  std::uint8_t pad19[3];
  std::uint32_t flags;    // 0x1C
  std::uint32_t context;  // 0x20
  std::uint32_t field24;  // 0x24
  std::uint64_t field28;  // 0x28
};
static_assert(offsetof(MenuObj, view) == 0x10);
static_assert(offsetof(MenuObj, depth) == 0x18);
static_assert(offsetof(MenuObj, flags) == 0x1C);
static_assert(offsetof(MenuObj, context) == 0x20);
static_assert(offsetof(MenuObj, field28) == 0x28);
static_assert(sizeof(MenuObj) == 0x30);

using MenuFactoryFn = MenuObj* (*)();

// One slot of the menu table: the game keeps its hash table's entries in one
// array; a slot whose next is null is free, a chain ends at the sentinel.
struct MenuTableEntry {
  BSFixedString name;    // 0x00
  MenuObj* menu;         // 0x08
  MenuFactoryFn create;  // 0x10
  MenuTableEntry* next;  // 0x18
};
static_assert(offsetof(MenuTableEntry, menu) == 0x08);
static_assert(offsetof(MenuTableEntry, next) == 0x18);
static_assert(sizeof(MenuTableEntry) == 0x20);

struct MenuOpenCloseEventRec {
  BSFixedString menuName;  // 0x00
  std::uint8_t opening;    // 0x08
  std::uint8_t pad09[7];
};
static_assert(offsetof(MenuOpenCloseEventRec, opening) == 0x08);

struct MenuManagerObj {
  void* vtbl;                      // 0x000
  BSTEventSource openCloseSource;  // 0x008
  std::uint8_t otherSources[0x128 - 0x60];
  std::uint32_t tablePad128;    // 0x128
  std::uint32_t tableFree;      // 0x12C: free slots
  std::uint32_t tablePad130;    // 0x130
  std::uint32_t tableCapacity;  // 0x134: a power of two
  std::uint32_t tablePad138;    // 0x138
  std::uint32_t tablePad13C;    // 0x13C
  MenuTableEntry* sentinel;     // 0x140: end-of-chain marker
  std::uint64_t tablePad148;    // 0x148
  MenuTableEntry* entries;      // 0x150
  std::uint64_t pad158;         // 0x158
  std::uint32_t pausingMenus;   // 0x160
  std::uint32_t pad164;
  std::uint64_t pad168;
  std::uint32_t itemMenus;  // 0x170
  std::uint32_t pad174;
  std::uint8_t rest[0x1C0 - 0x178];
};
static_assert(offsetof(MenuManagerObj, openCloseSource) == 0x008);
static_assert(offsetof(MenuManagerObj, tableCapacity) == 0x134);
static_assert(offsetof(MenuManagerObj, sentinel) == 0x140);
static_assert(offsetof(MenuManagerObj, entries) == 0x150);
static_assert(offsetof(MenuManagerObj, pausingMenus) == 0x160);
static_assert(offsetof(MenuManagerObj, itemMenus) == 0x170);

// The table of interface strings: the game's names of its own menus.
struct InterfaceStringsObj {
  BSFixedString names[0x40];
};
constexpr std::size_t kTriggerMenuEntry = 0xE8;   // closes when a save has loaded
constexpr std::size_t kBlockingMenuEntry = 0xA8;  // while open, no widget opens

// ---- movie layer -------------------------------------------------------

struct MovieValueRec {
  void* objectInterface;  // 0x00
  std::uint32_t type;     // 0x08
  std::uint32_t pad0C;
  union {
    double number;
    const char* text;
    void* data;
    std::uint8_t boolean;
  } payload;  // 0x10
};
static_assert(offsetof(MovieValueRec, type) == 0x08);
static_assert(offsetof(MovieValueRec, payload) == 0x10);
static_assert(sizeof(MovieValueRec) == 0x18);

constexpr std::uint32_t kValueUndefined = 0;
constexpr std::uint32_t kValueNumber = 3;
constexpr std::uint32_t kValueString = 4;
constexpr std::uint32_t kValueArray = 7;
constexpr std::uint32_t kValueManaged = 0x40;

// The movie view's table: 46 slots, of which the plug-in may use six.
constexpr std::size_t kMovieViewSlots = 46;
struct MovieViewObj {
  void* const* vtbl;  // 0x00
};

// The movie heap's table: slot 10 allocates (size, 0), slot 12 frees.
constexpr std::size_t kMovieHeapSlots = 16;
struct MovieHeapObj {
  void* const* vtbl;  // 0x00
};

// ---- input and action events ---------------------------------------------

struct InputEventRec {
  const void* vtbl;         // 0x00
  std::uint32_t device;     // 0x08: 0 keyboard, 1 mouse, 2 gamepad
  std::uint32_t eventType;  // 0x0C: 0 button
  InputEventRec* next;      // 0x10
  BSFixedString userEvent;  // 0x18
  std::uint32_t keyCode;    // 0x20
  std::uint32_t pad24;
  float value;        // 0x28
  float heldSeconds;  // 0x2C
};
static_assert(offsetof(InputEventRec, device) == 0x08);
static_assert(offsetof(InputEventRec, eventType) == 0x0C);
static_assert(offsetof(InputEventRec, next) == 0x10);
static_assert(offsetof(InputEventRec, keyCode) == 0x20);
static_assert(offsetof(InputEventRec, value) == 0x28);
static_assert(offsetof(InputEventRec, heldSeconds) == 0x2C);
static_assert(sizeof(InputEventRec) == 0x30);

struct ActionEventRec {
  std::uint32_t type;  // 0x00: 8 weapon drawn, 10 weapon sheathed
  std::uint32_t pad04;
  void* actor;         // 0x08
  void* sourceForm;    // 0x10
  std::uint32_t slot;  // 0x18
  std::uint32_t pad1C;
};
static_assert(offsetof(ActionEventRec, actor) == 0x08);

}  // namespace gd
