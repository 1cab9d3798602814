#pragma once
// The game records the engine and the widget read and write: forms, world
// references, actors, extra-data lists and inventories. Only the fields the
// plug-in relies on are named; the rest is padding. Where a field's place
// depends on the layout family, both families' structures are here and the
// field is read through an accessor that takes the chosen family's position.
#include "game/game_layout.h"
#include "game/game_types.h"

#include <cstddef>
#include <cstdint>

namespace qm::game {

enum FormType : std::uint8_t {
  kFormSpell = 0x16,
  kFormScroll = 0x17,
  kFormArmor = 0x1A,
  kFormContainer = 0x1C,
  kFormLight = 0x1F,
  kFormWeapon = 0x29,
  kFormActor = 0x3E,
  kFormShout = 0x77,
};

struct TESForm {
  const void* dispatch;     // 0x00
  std::uint8_t pad08[0xC];  // 0x08
  std::uint32_t formId;     // 0x14
  std::uint8_t pad18[2];    // 0x18
  std::uint8_t formType;    // 0x1A
  std::uint8_t pad1B[5];    // 0x1B
};
static_assert(offsetof(TESForm, formId) == 0x14);
static_assert(offsetof(TESForm, formType) == 0x1A);
static_assert(sizeof(TESForm) == 0x20);

// A keyword list embedded in a record; slot 4 of its table answers whether
// it holds a keyword.
struct KeywordList;
struct KeywordListDispatch {
  void* slots0to3[4];
  bool (*HoldsKeyword)(const KeywordList* self, const TESForm* keyword);  // slot 4
};
static_assert(offsetof(KeywordListDispatch, HoldsKeyword) == 4 * 8);
struct KeywordList {
  const KeywordListDispatch* dispatch;  // 0x00
};

inline bool HoldsKeyword(const KeywordList& list, const TESForm* keyword) {
  return list.dispatch->HoldsKeyword(&list, keyword);
}

struct TESObjectWEAP {
  std::uint8_t pad00[0x140];
  KeywordList keywords;       // 0x140
  std::uint8_t pad148[0x50];  // 0x148
  std::uint16_t weaponFlags;  // 0x198: kWeaponNoDurability, ...
  std::uint8_t pad19A[3];     // 0x19A
  std::uint8_t weaponType;    // 0x19D: 8 = staff
};
static_assert(offsetof(TESObjectWEAP, keywords) == 0x140);
static_assert(offsetof(TESObjectWEAP, weaponFlags) == 0x198);
static_assert(offsetof(TESObjectWEAP, weaponType) == 0x19D);

struct TESObjectARMO {
  std::uint8_t pad00[0x1B8];
  std::uint32_t slotMask;     // 0x1B8: body slots
  std::uint32_t weightClass;  // 0x1BC: 0 light, 1 heavy
  std::uint8_t pad1C0[0x18];  // 0x1C0
  KeywordList keywords;       // 0x1D8
};
static_assert(offsetof(TESObjectARMO, slotMask) == 0x1B8);
static_assert(offsetof(TESObjectARMO, weightClass) == 0x1BC);
static_assert(offsetof(TESObjectARMO, keywords) == 0x1D8);

inline const TESObjectWEAP* AsWeapon(const TESForm* form) { return reinterpret_cast<const TESObjectWEAP*>(form); }
inline const TESObjectARMO* AsArmor(const TESForm* form) { return reinterpret_cast<const TESObjectARMO*>(form); }

// An extra-data entry: class table, next entry, then its payload.
struct ExtraDataEntry {
  const void* dispatch;  // 0x00
  ExtraDataEntry* next;  // 0x08
};
static_assert(offsetof(ExtraDataEntry, next) == 0x08);

struct ExtraHealth {
  ExtraDataEntry base;  // 0x00
  float health;         // 0x10
  std::uint32_t pad14;  // 0x14
};
static_assert(offsetof(ExtraHealth, health) == 0x10);
static_assert(sizeof(ExtraHealth) == 24);

struct ExtraPayloadPointer {
  ExtraDataEntry base;  // 0x00
  void* payload;        // 0x10: inventory changes, marker form, poison form
};
static_assert(offsetof(ExtraPayloadPointer, payload) == 0x10);

struct ExtraPoison {
  ExtraDataEntry base;  // 0x00
  TESForm* poison;      // 0x10
  std::uint32_t count;  // 0x18
};
static_assert(offsetof(ExtraPoison, poison) == 0x10);
static_assert(offsetof(ExtraPoison, count) == 0x18);

// An extra-data list, as the game's functions take it. Its fields lie where
// the layout family puts them (ExtraDataListSE, ExtraDataListAE): read them
// through FirstExtraOf and PresenceBitsOf, never as members.
struct ExtraDataList {
  ExtraDataList() = delete;
};

// Presence bits: one bit per extra-data type, type n is bit (n % 8) of byte
// n / 8; the pointer is null when the list has no bit field.
struct ExtraDataListSE {
  ExtraDataEntry* first;   // 0x00
  std::uint8_t* presence;  // 0x08
  std::uint64_t lock;      // 0x10
};
static_assert(offsetof(ExtraDataListSE, first) == 0x00);
static_assert(offsetof(ExtraDataListSE, presence) == 0x08);
static_assert(sizeof(ExtraDataListSE) == 0x18);

// From 1.6.629 on the list has a class table, so every field is 8 bytes on.
struct ExtraDataListAE {
  const void* dispatch;    // 0x00
  ExtraDataEntry* first;   // 0x08
  std::uint8_t* presence;  // 0x10
  std::uint64_t lock;      // 0x18
};
static_assert(offsetof(ExtraDataListAE, first) == 0x08);
static_assert(offsetof(ExtraDataListAE, presence) == 0x10);
static_assert(sizeof(ExtraDataListAE) == 0x20);

inline ExtraDataEntry*& FirstExtraOf(ExtraDataList* list) {
  return FieldAt<ExtraDataEntry*>(list, ChosenPositions().extraFirst);
}
inline std::uint8_t* PresenceBitsOf(const ExtraDataList* list) {
  return FieldAt<std::uint8_t*>(list, ChosenPositions().extraPresence);
}

inline bool HasExtraType(const ExtraDataList* list, std::uint32_t type) {
  if (list == nullptr) return false;
  const std::uint8_t* presence = PresenceBitsOf(list);
  return presence != nullptr && (presence[type / 8] & (1u << (type % 8))) != 0;
}

// A node of the game's singly linked lists: item, next.
template <typename T>
struct ListNode {
  T* item;         // 0x00
  ListNode* next;  // 0x08
};
static_assert(sizeof(ListNode<void>) == 16);

struct InventoryEntry {
  TESForm* form;                        // 0x00
  ListNode<ExtraDataList>* extraLists;  // 0x08: first node of the instances' lists
  std::int32_t countDelta;              // 0x10
};
static_assert(offsetof(InventoryEntry, extraLists) == 0x08);

struct InventoryChanges {
  ListNode<InventoryEntry>* entries;  // 0x00: the first node of the entry list
};
static_assert(offsetof(InventoryChanges, entries) == 0x00);

struct Reference {
  TESForm form;              // 0x00
  std::uint8_t pad20[0x20];  // 0x20
  TESForm* baseForm;         // 0x40
  std::uint8_t pad48[0xC];   // 0x48
  float position[3];         // 0x54
  void* cell;                // 0x60
  std::uint8_t pad68[8];     // 0x68
  ExtraDataList extraList;   // 0x70: as long as its family makes it
};
static_assert(offsetof(Reference, baseForm) == 0x40);
static_assert(offsetof(Reference, position) == 0x54);
static_assert(offsetof(Reference, cell) == 0x60);
static_assert(offsetof(Reference, extraList) == 0x70);

// The reference of each family: the list stays at +0x70 and its growth on
// the Anniversary Edition makes the reference 8 bytes longer, moving
// whatever follows a reference (an actor's own fields) 8 bytes on.
struct ReferenceSE {
  std::uint8_t common[0x70];  // 0x00: as Reference
  ExtraDataListSE extraList;  // 0x70
  std::uint8_t pad88[0x10];   // 0x88
};
static_assert(offsetof(ReferenceSE, extraList) == offsetof(Reference, extraList));
static_assert(sizeof(ReferenceSE) == 0x98);

struct ReferenceAE {
  std::uint8_t common[0x70];  // 0x00: as Reference
  ExtraDataListAE extraList;  // 0x70
  std::uint8_t pad90[0x10];   // 0x90
};
static_assert(offsetof(ReferenceAE, extraList) == offsetof(Reference, extraList));
static_assert(sizeof(ReferenceAE) == 0xA0);

struct ActorProcess {
  std::uint8_t pad00[0xF0];
  TESForm* leftHand;   // 0xF0
  TESForm* rightHand;  // 0xF8
};
static_assert(offsetof(ActorProcess, leftHand) == 0xF0);
static_assert(offsetof(ActorProcess, rightHand) == 0xF8);

// The actor's animation-graph holder: slot 18 reads a boolean variable,
// taking the name by the address of its InternedString.
struct AnimationGraphHolder;
struct AnimationGraphHolderDispatch {
  void* slots0to17[18];
  bool (*GetGraphVariableBool)(const AnimationGraphHolder* self, const InternedString* name, bool* out);  // 18
};
static_assert(offsetof(AnimationGraphHolderDispatch, GetGraphVariableBool) == 18 * 8);
struct AnimationGraphHolder {
  const AnimationGraphHolderDispatch* dispatch;
};

struct Actor;
// What the engine calls on an actor by slot: 86 removes an item from the
// inventory (a by-value handle result, hence the result pointer after the
// actor), 249 asks membership in a group form.
struct ActorDispatch {
  void* slots0to85[86];
  std::uint32_t* (*RemoveItem)(Actor* self, std::uint32_t* handleOut, TESForm* item, std::int32_t count,
                               std::uint32_t reason, ExtraDataList* extraList, Reference* moveTo,
                               const float* dropLocation, const float* rotation);  // slot 86
  void* slots87to248[162];
  bool (*IsInFaction)(const Actor* self, const TESForm* group);  // slot 249
};
static_assert(offsetof(ActorDispatch, RemoveItem) == 86 * 8);
static_assert(offsetof(ActorDispatch, IsInFaction) == 249 * 8);

// An actor: a reference, then fields whose place depends on the family
// (ActorSE, ActorAE), read through ActorStateOf, BoolBitsOf, ProcessOf and
// SelectedPowerOf.
struct Actor {
  Reference reference;  // 0x00 (dispatch at 0x00)
};

// The same fields after each family's reference, so the same gaps between
// them.
struct ActorSE {
  ReferenceSE reference;      // 0x000
  std::uint8_t pad098[0x2C];  // 0x098
  std::uint32_t actorState;   // 0x0C4: weapon state in bits 5 to 7
  std::uint8_t pad0C8[0x18];  // 0x0C8
  std::uint32_t boolBits;     // 0x0E0: 0x4000000 follower of the player
  std::uint8_t pad0E4[0xC];   // 0x0E4
  ActorProcess* process;      // 0x0F0
  std::uint8_t pad0F8[0xE8];  // 0x0F8
  TESForm* selectedPower;     // 0x1E0: equipped power or shout
  std::uint8_t pad1E8[0xC8];  // 0x1E8
};
static_assert(offsetof(ActorSE, actorState) == 0xC4);
static_assert(offsetof(ActorSE, boolBits) == 0xE0);
static_assert(offsetof(ActorSE, process) == 0xF0);
static_assert(offsetof(ActorSE, selectedPower) == 0x1E0);
static_assert(sizeof(ActorSE) == 0x2B0);

struct ActorAE {
  ReferenceAE reference;      // 0x000
  std::uint8_t pad0A0[0x2C];  // 0x0A0
  std::uint32_t actorState;   // 0x0CC
  std::uint8_t pad0D0[0x18];  // 0x0D0
  std::uint32_t boolBits;     // 0x0E8
  std::uint8_t pad0EC[0xC];   // 0x0EC
  ActorProcess* process;      // 0x0F8
  std::uint8_t pad100[0xE8];  // 0x100
  TESForm* selectedPower;     // 0x1E8
  std::uint8_t pad1F0[0xC8];  // 0x1F0
};
static_assert(offsetof(ActorAE, actorState) == 0xCC);
static_assert(offsetof(ActorAE, boolBits) == 0xE8);
static_assert(offsetof(ActorAE, process) == 0xF8);
static_assert(offsetof(ActorAE, selectedPower) == 0x1E8);
static_assert(sizeof(ActorAE) == 0x2B8);

inline std::uint32_t ActorStateOf(const Actor* actor) {
  return FieldAt<std::uint32_t>(actor, ChosenPositions().actorState);
}
inline std::uint32_t BoolBitsOf(const Actor* actor) {
  return FieldAt<std::uint32_t>(actor, ChosenPositions().actorBoolBits);
}
inline ActorProcess* ProcessOf(const Actor* actor) {
  return FieldAt<ActorProcess*>(actor, ChosenPositions().actorProcess);
}
inline TESForm* SelectedPowerOf(const Actor* actor) {
  return FieldAt<TESForm*>(actor, ChosenPositions().actorSelectedPower);
}

inline const ActorDispatch* DispatchOf(const Actor* actor) {
  return static_cast<const ActorDispatch*>(actor->reference.form.dispatch);
}
inline AnimationGraphHolder* GraphHolderOf(Actor* actor) {
  return reinterpret_cast<AnimationGraphHolder*>(reinterpret_cast<std::uint8_t*>(actor) + 0x38);
}

}  // namespace qm::game
