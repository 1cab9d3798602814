#pragma once
// ItemEntry names one item instance in an actor's or container's inventory,
// and the shared operations on item instances.
#include "game/game_constants.h"
#include "game/game_forms.h"

#include <string>

namespace qm::engine {

struct ItemEntry {
  game::TESForm* form = nullptr;             // the item's base form; null: no item
  game::ExtraDataList* extraList = nullptr;  // the instance's own list; may be null
  std::string displayName;                   // empty unless a display name was built
};

// The first entry of the given type, or null.
game::ExtraDataEntry* FindExtraData(game::ExtraDataList* list, std::uint32_t type);
// The inventory changes of a reference's own list, or null.
game::InventoryChanges* InventoryChangesOf(game::ExtraDataList* list);

// Health 1.0 when the instance has no health entry. A stored NaN reads as
// 1.0 and an infinity as the largest finite float of its sign; the same
// holds for what SetItemHealth writes, so no non-finite health is saved.
float GetItemHealth(const ItemEntry& item);
void SetItemHealth(const ItemEntry& item, float value);

ItemEntry FindWornWeapon(game::InventoryChanges* changes, const game::TESForm* weapon, bool leftHand);
ItemEntry FindWornArmor(game::InventoryChanges* changes, std::uint32_t slotMask);

bool IsDurabilityItem(const ItemEntry& item);

// Breaking rules and the breaking itself. The one setting the rules read is
// taken once by a caller that tests many items (a tempering pass), rather
// than looked up by name for each.
struct BreakRuleSettings {
  bool noBreakWithoutEnchanting = true;  // NoBreakMagicDisallowEnchanting
};
BreakRuleSettings ReadBreakRuleSettings();
bool IsBreakable(const ItemEntry& item, const BreakRuleSettings& settings);
bool IsBreakable(const ItemEntry& item);
void BreakItem(ItemEntry item, game::Actor* actor);

}  // namespace qm::engine
