#pragma once
// The game's user-interface objects as the widget sees them (runtime 1.5.39):
// the menu base object and its dispatch table, the movie view and its values,
// the movie heap, the menu manager, and the event records the widget's sinks
// receive. Every offset the game relies on is asserted.
#include "game/game_types.h"

#include <cstddef>
#include <cstdint>

namespace qm::game {

struct MovieValue;
struct MovieView;

// A value exchanged with the movie (24 bytes). A managed value (type bit
// 0x40: arrays, objects) is counted by the movie through its object
// interface: copies retain it, overwriting or destroying drops it.
struct MovieValue {
  void* objectInterface = nullptr;  // 0x00: null for plain values
  std::uint32_t type = 0;           // 0x08
  std::uint32_t pad0C = 0;          // 0x0C
  union {
    double number;     // type 3
    const char* text;  // type 4: must outlive the value
    void* object;      // managed values
  } payload{};         // 0x10
};
static_assert(offsetof(MovieValue, objectInterface) == 0x00);
static_assert(offsetof(MovieValue, type) == 0x08);
static_assert(offsetof(MovieValue, payload) == 0x10);
static_assert(sizeof(MovieValue) == 24);

inline constexpr std::uint32_t kMovieValueUndefined = 0;
inline constexpr std::uint32_t kMovieValueNumber = 3;
inline constexpr std::uint32_t kMovieValueString = 4;
inline constexpr std::uint32_t kMovieValueManaged = 0x40;

// The movie view's operations, by dispatch-table slot.
struct MovieViewDispatch {
  void* slots0to7[8];
  void (*SetVisible)(MovieView* self, bool visible);  // slot 8
  bool (*GetVisible)(const MovieView* self);          // slot 9
  void* slots10to13[4];
  void (*CreateArray)(MovieView* self, MovieValue* out);  // slot 14
  void* slots15to22[8];
  bool (*Invoke)(MovieView* self, const char* path, MovieValue* result, const MovieValue* args,
                 std::uint32_t count);  // slot 23
  void* slots24to37[14];
  void (*Display)(MovieView* self);  // slot 38
  void* slots39to44[6];
  std::uint32_t (*HandleEvent)(MovieView* self, const void* event);  // slot 45
};
static_assert(offsetof(MovieViewDispatch, SetVisible) == 8 * 8);
static_assert(offsetof(MovieViewDispatch, GetVisible) == 9 * 8);
static_assert(offsetof(MovieViewDispatch, CreateArray) == 14 * 8);
static_assert(offsetof(MovieViewDispatch, Invoke) == 23 * 8);
static_assert(offsetof(MovieViewDispatch, Display) == 38 * 8);
static_assert(offsetof(MovieViewDispatch, HandleEvent) == 45 * 8);

struct MovieView {
  const MovieViewDispatch* dispatch;  // 0x00
};

// The heap menus live on: slot 10 allocates (size, 0), slot 12 frees.
struct MovieHeap;
struct MovieHeapDispatch {
  void* slots0to9[10];
  void* (*Alloc)(MovieHeap* self, std::size_t size, const void* allocInfo);  // slot 10
  void* slot11;
  void (*Free)(MovieHeap* self, void* memory);  // slot 12
};
static_assert(offsetof(MovieHeapDispatch, Alloc) == 10 * 8);
static_assert(offsetof(MovieHeapDispatch, Free) == 12 * 8);

struct MovieHeap {
  const MovieHeapDispatch* dispatch;  // 0x00
};

// A message the game's UI hands to a menu's slot 4.
struct UIMessage {
  std::uint8_t pad00[8];  // 0x00
  std::uint32_t type;     // 0x08
  std::uint32_t pad0C;    // 0x0C
  void* data;             // 0x10
};
static_assert(offsetof(UIMessage, type) == 0x08);
static_assert(offsetof(UIMessage, data) == 0x10);

inline constexpr std::uint32_t kMessageOpen = 1;
inline constexpr std::uint32_t kMessageClose = 3;
inline constexpr std::uint32_t kMessageScaleformEvent = 6;

// The menu base object; the game reads and writes every field here.
struct IMenu;
struct IMenuDispatch {
  void* (*Destroy)(IMenu* self, std::uint32_t freeFlag);                  // slot 0
  void (*Slot1)(IMenu* self);                                             // slot 1
  void (*Slot2)(IMenu* self);                                             // slot 2
  void (*Slot3)(IMenu* self);                                             // slot 3
  std::uint32_t (*ProcessMessage)(IMenu* self, UIMessage* message);       // slot 4
  void (*AdvanceMovie)(IMenu* self, float interval, std::uint32_t time);  // slot 5
  void (*PostDisplay)(IMenu* self);                                       // slot 6
  void (*Slot7)(IMenu* self);                                             // slot 7
  void (*Slot8)(IMenu* self, void* a2, void* a3, void* a4);               // slot 8
};
static_assert(offsetof(IMenuDispatch, Destroy) == 0 * 8);
static_assert(offsetof(IMenuDispatch, ProcessMessage) == 4 * 8);
static_assert(offsetof(IMenuDispatch, AdvanceMovie) == 5 * 8);
static_assert(offsetof(IMenuDispatch, PostDisplay) == 6 * 8);
static_assert(offsetof(IMenuDispatch, Slot8) == 8 * 8);
static_assert(sizeof(IMenuDispatch) == 9 * 8);

// The root of the menu's reference-counting chain has only its destructor.
struct RefCountCoreDispatch {
  void* (*Destroy)(IMenu* self, std::uint32_t freeFlag);  // slot 0
};

struct IMenu {
  const void* dispatch;       // 0x00: IMenuDispatch, or a derived menu's table
  std::uint32_t refCount;     // 0x08
  std::uint32_t pad0C;        // 0x0C
  MovieView* view;            // 0x10: written by the game's movie loader
  std::uint8_t depth;         // 0x18
  std::uint8_t pad19[3];      // 0x19
  std::uint32_t menuFlags;    // 0x1C
  std::uint32_t context;      // 0x20
  std::uint32_t gameField24;  // 0x24: the game's
  std::uint64_t gameField28;  // 0x28
};
static_assert(offsetof(IMenu, dispatch) == 0x00);
static_assert(offsetof(IMenu, refCount) == 0x08);
static_assert(offsetof(IMenu, view) == 0x10);
static_assert(offsetof(IMenu, depth) == 0x18);
static_assert(offsetof(IMenu, menuFlags) == 0x1C);
static_assert(offsetof(IMenu, context) == 0x20);
static_assert(offsetof(IMenu, gameField24) == 0x24);
static_assert(offsetof(IMenu, gameField28) == 0x28);
static_assert(sizeof(IMenu) == 0x30);

// One entry of the menu manager's table of registered menus.
struct MenuTableEntry {
  InternedString name;   // 0x00
  IMenu* menu;           // 0x08
  void* create;          // 0x10
  MenuTableEntry* next;  // 0x18
};
static_assert(offsetof(MenuTableEntry, menu) == 0x08);
static_assert(offsetof(MenuTableEntry, next) == 0x18);
static_assert(sizeof(MenuTableEntry) == 0x20);

struct MenuManager {
  const void* dispatch;         // 0x000
  EventSource openCloseSource;  // 0x008
  std::uint8_t pad060[0x134 - 0x60];
  std::uint32_t menuBucketCount;  // 0x134: a power of two
  std::uint8_t pad138[8];         // 0x138
  MenuTableEntry* chainEnd;       // 0x140: end-of-chain marker
  std::uint8_t pad148[8];         // 0x148
  MenuTableEntry* menuBuckets;    // 0x150
  std::uint8_t pad158[8];         // 0x158
  std::uint32_t counter160;       // 0x160
  std::uint8_t pad164[0xC];       // 0x164
  std::uint32_t counter170;       // 0x170
};
static_assert(offsetof(MenuManager, openCloseSource) == 0x008);
static_assert(offsetof(MenuManager, menuBucketCount) == 0x134);
static_assert(offsetof(MenuManager, chainEnd) == 0x140);
static_assert(offsetof(MenuManager, menuBuckets) == 0x150);
static_assert(offsetof(MenuManager, counter160) == 0x160);
static_assert(offsetof(MenuManager, counter170) == 0x170);

// The game's table of menu names; the widget reads two of its entries.
struct InterfaceStrings {
  std::uint8_t pad00[0xA8];
  InternedString entryA8;  // 0xA8: a menu that holds the widget back while open
  std::uint8_t padB0[0xE8 - 0xB0];
  InternedString entryE8;  // 0xE8: the menu whose closing opens the widget
};
static_assert(offsetof(InterfaceStrings, entryA8) == 0xA8);
static_assert(offsetof(InterfaceStrings, entryE8) == 0xE8);

// Event records.
struct MenuOpenCloseEvent {
  InternedString menuName;  // 0x00
  std::uint8_t opening;     // 0x08: non-zero when the menu opens
};
static_assert(offsetof(MenuOpenCloseEvent, opening) == 0x08);

struct ActionEvent {
  std::uint32_t type;   // 0x00
  std::uint32_t pad04;  // 0x04
  Actor* actor;         // 0x08
};
static_assert(offsetof(ActionEvent, actor) == 0x08);

inline constexpr std::uint32_t kActionWeaponDrawn = 8;
inline constexpr std::uint32_t kActionWeaponSheathed = 10;

struct InputEvent {
  const void* dispatch;     // 0x00
  std::uint32_t device;     // 0x08
  std::uint32_t eventType;  // 0x0C: 0 is a button event
  InputEvent* next;         // 0x10
};
static_assert(offsetof(InputEvent, device) == 0x08);
static_assert(offsetof(InputEvent, eventType) == 0x0C);
static_assert(offsetof(InputEvent, next) == 0x10);

struct ButtonEvent {
  InputEvent base;        // 0x00
  std::uint8_t pad18[8];  // 0x18
  std::uint32_t keyCode;  // 0x20
  std::uint32_t pad24;    // 0x24
  float value;            // 0x28: non-zero while pressed
  float heldSeconds;      // 0x2C
};
static_assert(offsetof(ButtonEvent, keyCode) == 0x20);
static_assert(offsetof(ButtonEvent, value) == 0x28);
static_assert(offsetof(ButtonEvent, heldSeconds) == 0x2C);

inline constexpr std::uint32_t kInputButton = 0;
inline constexpr std::uint32_t kDeviceMouse = 1;
inline constexpr std::uint32_t kDeviceGamepad = 2;

}  // namespace qm::game
