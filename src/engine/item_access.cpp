// Item instances as the game keeps them: health in the instance's extra-data
// list, worn instances found through the presence bits of their lists.
#include "engine/item_entry.h"
#include "game/game_bindings.h"
#include "game/game_keywords.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qm::engine {
namespace {

constexpr std::uint32_t kDurabilitySlots = game::kSlotHead | game::kSlotHair | game::kSlotBody | game::kSlotHands |
                                           game::kSlotFeet | game::kSlotShield;

// Health as a number the engine and the widget can reckon with. A stored
// value that is no number (left by another program or an old save) counts
// as worn out, 1.0; an infinite one as the largest finite health of its
// sign. Finite values pass unchanged.
float FiniteHealth(float stored) {
  if (std::isnan(stored)) return 1.0f;
  return std::clamp(stored, std::numeric_limits<float>::lowest(), std::numeric_limits<float>::max());
}

game::ExtraHealth* HealthEntryOf(game::ExtraDataList* list) {
  return reinterpret_cast<game::ExtraHealth*>(FindExtraData(list, game::kExtraHealth));
}

void SetPresenceBit(game::ExtraDataList* list, std::uint32_t type) {
  std::uint8_t* presence = game::PresenceBitsOf(list);
  presence[type / 8] = static_cast<std::uint8_t>(presence[type / 8] | (1u << (type % 8)));
}

}  // namespace

game::ExtraDataEntry* FindExtraData(game::ExtraDataList* list, std::uint32_t type) {
  if (type >= game::kExtraDataTypeCount || !game::HasExtraType(list, type)) return nullptr;
  const game::GameBindings& g = game::Bindings;
  const void* wanted = g.ExtraTypeDescriptors[type];
  if (wanted == nullptr) return nullptr;
  for (game::ExtraDataEntry* entry = game::FirstExtraOf(list); entry != nullptr; entry = entry->next) {
    if (g.CastRuntimeType(entry, 0, g.TypeExtraDataBase, wanted, 0) != nullptr) return entry;
  }
  return nullptr;
}

game::InventoryChanges* InventoryChangesOf(game::ExtraDataList* list) {
  auto* entry = reinterpret_cast<game::ExtraPayloadPointer*>(FindExtraData(list, game::kExtraInventoryChanges));
  return entry != nullptr ? static_cast<game::InventoryChanges*>(entry->payload) : nullptr;
}

float GetItemHealth(const ItemEntry& item) {
  const game::ExtraHealth* health = HealthEntryOf(item.extraList);
  return health != nullptr ? FiniteHealth(health->health) : 1.0f;
}

void SetItemHealth(const ItemEntry& item, float value) {
  // The game saves this value: it must stay a finite number.
  value = FiniteHealth(value);
  game::ExtraDataList* list = item.extraList;
  if (list == nullptr) return;
  if (game::ExtraHealth* health = HealthEntryOf(list)) {
    health->health = value;
    return;
  }
  // A list without a bit field cannot announce a new entry; a set bit with
  // no entry behind it is a list we do not understand: leave both alone.
  if (game::PresenceBitsOf(list) == nullptr || game::HasExtraType(list, game::kExtraHealth)) return;
  const game::GameBindings& g = game::Bindings;
  void* block = g.GameHeapAlloc(g.Heap, sizeof(game::ExtraHealth), 0, false);
  // Out of game memory: the instance keeps no entry rather than a write
  // through null.
  if (block == nullptr) return;
  auto* entry = static_cast<game::ExtraHealth*>(block);
  entry->base.dispatch = g.HealthExtraDispatch;
  game::ExtraDataEntry*& first = game::FirstExtraOf(list);
  entry->base.next = first;
  entry->health = value;
  entry->pad14 = 0;
  first = &entry->base;
  SetPresenceBit(list, game::kExtraHealth);
}

ItemEntry FindWornWeapon(game::InventoryChanges* changes, const game::TESForm* weapon, bool leftHand) {
  if (changes == nullptr || weapon == nullptr) return {};
  const std::uint32_t wornBit = leftHand ? game::kExtraWornLeft : game::kExtraWorn;
  for (auto* node = changes->entries; node != nullptr; node = node->next) {
    game::InventoryEntry* entry = node->item;
    if (entry == nullptr || entry->form != weapon) continue;
    for (auto* listNode = entry->extraLists; listNode != nullptr; listNode = listNode->next) {
      if (game::HasExtraType(listNode->item, wornBit)) return ItemEntry{entry->form, listNode->item, {}};
    }
  }
  return {};
}

ItemEntry FindWornArmor(game::InventoryChanges* changes, std::uint32_t slotMask) {
  if (changes == nullptr) return {};
  for (auto* node = changes->entries; node != nullptr; node = node->next) {
    game::InventoryEntry* entry = node->item;
    if (entry == nullptr || entry->form == nullptr || entry->form->formType != game::kFormArmor) continue;
    if ((game::AsArmor(entry->form)->slotMask & slotMask) == 0) continue;
    for (auto* listNode = entry->extraLists; listNode != nullptr; listNode = listNode->next) {
      game::ExtraDataList* list = listNode->item;
      if (game::HasExtraType(list, game::kExtraWorn) || game::HasExtraType(list, game::kExtraWornLeft)) {
        return ItemEntry{entry->form, list, {}};
      }
    }
  }
  return {};
}

bool IsDurabilityItem(const ItemEntry& item) {
  const game::TESForm* form = item.form;
  if (form == nullptr) return false;
  if (form->formType == game::kFormWeapon) {
    const game::TESObjectWEAP* weapon = game::AsWeapon(form);
    return weapon->weaponType != game::kWeaponTypeStaff && (weapon->weaponFlags & game::kWeaponNoDurability) == 0;
  }
  if (form->formType == game::kFormArmor) {
    const game::TESObjectARMO* armor = game::AsArmor(form);
    if ((armor->slotMask & kDurabilitySlots) == 0) return false;
    const game::TESForm* clothing = game::ClothingKeyword();
    return clothing == nullptr || !game::HoldsKeyword(armor->keywords, clothing);
  }
  return false;
}

}  // namespace qm::engine
