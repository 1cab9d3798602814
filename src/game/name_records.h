#pragma once
// Game records only the widget reads (runtime 1.5.39): spells and their
// effect's school, the full-name component, and the inventory-entry record
// the game builds item names from.
#include "game/game_forms.h"

#include <cstddef>
#include <cstdint>

namespace qm::game {

struct MagicEffectRecord {
  std::uint8_t pad00[0x78];
  std::uint32_t school;  // 0x78: 18 alteration ... 22 restoration
};
static_assert(offsetof(MagicEffectRecord, school) == 0x78);

struct SpellItem {
  std::uint8_t pad00[0x78];
  MagicEffectRecord* effect;  // 0x78
  std::uint8_t pad80[0xC8 - 0x80];
  std::uint32_t spellType;  // 0xC8: 2 and 3 are powers
};
static_assert(offsetof(SpellItem, effect) == 0x78);
static_assert(offsetof(SpellItem, spellType) == 0xC8);

inline const SpellItem* AsSpell(const TESForm* form) { return reinterpret_cast<const SpellItem*>(form); }

// The full-name component of a record: slot 5 returns its name.
struct FullNameComponent;
struct FullNameDispatch {
  void* slots0to4[5];
  const char* (*GetName)(const FullNameComponent* self);  // slot 5
};
static_assert(offsetof(FullNameDispatch, GetName) == 5 * 8);
struct FullNameComponent {
  const FullNameDispatch* dispatch;  // 0x00
};

// A poison form keeps its full-name component at this offset.
inline constexpr std::size_t kPoisonFullNameOffset = 0x30;

// What the game's inventory-name function reads: the form, a list of the
// instances' extra-data lists, and the count.
struct InventoryEntryRecord {
  TESForm* form;                        // 0x00
  ListNode<ExtraDataList>* extraLists;  // 0x08
  std::int32_t count;                   // 0x10
  std::uint32_t pad14;                  // 0x14
};
static_assert(offsetof(InventoryEntryRecord, form) == 0x00);
static_assert(offsetof(InventoryEntryRecord, extraLists) == 0x08);
static_assert(offsetof(InventoryEntryRecord, count) == 0x10);

}  // namespace qm::game
