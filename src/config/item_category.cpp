#include "config/item_category.h"

#include "config/config_store.h"
#include "game/game_constants.h"
#include "game/game_forms.h"
#include "game/game_keywords.h"

namespace qm::config {
namespace {

ItemCategory WeaponCategory(const game::TESObjectWEAP* weapon) {
  switch (weapon->weaponType) {
    case game::kWeaponTypeDagger: return ItemCategory::WeaponDagger;
    case game::kWeaponTypeWarAxe: return ItemCategory::WeaponWarAxe;
    case game::kWeaponTypeMace: return ItemCategory::WeaponMace;
    case game::kWeaponTypeGreatSword: return ItemCategory::WeaponGreatSword;
    case game::kWeaponTypeTwoHandedAxe:
      return game::HoldsKnownKeyword(weapon->keywords, game::WarhammerKeyword()) ? ItemCategory::WeaponHammer
                                                                                 : ItemCategory::WeaponBattleAxe;
    case game::kWeaponTypeBow: return ItemCategory::WeaponBow;
    case game::kWeaponTypeCrossbow: return ItemCategory::WeaponCrossbow;
    default: return ItemCategory::WeaponSword;  // 0, 1, 8 and 10 to 255
  }
}

ItemCategory ArmorCategory(const game::TESObjectARMO* armor) {
  switch (armor->weightClass) {
    case game::kArmorLight: return ItemCategory::LightArmor;
    case game::kArmorHeavy: return ItemCategory::HeavyArmor;
    default:
      return game::HoldsKnownKeyword(armor->keywords, game::ClothingKeyword()) ? ItemCategory::Clothing
                                                                               : ItemCategory::DefaultArmor;
  }
}

}  // namespace

ItemCategory CategoryOf(const game::TESForm* record) {
  if (record == nullptr) return ItemCategory::DefaultArmor;
  if (record->formType == game::kFormWeapon) return WeaponCategory(game::AsWeapon(record));
  if (record->formType == game::kFormArmor) return ArmorCategory(game::AsArmor(record));
  return ItemCategory::DefaultArmor;
}

double GetDegradationRateFor(const game::TESForm* record) { return Store().Real(RateOf(CategoryOf(record))); }

double GetBreakChanceFor(const game::TESForm* record) { return Store().Real(ChanceOf(CategoryOf(record))); }

}  // namespace qm::config
