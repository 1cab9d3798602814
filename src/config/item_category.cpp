#include "config/item_category.h"

#include "config/config_store.h"
#include "engine/game_forms.h"
#include "plugin/game_bindings.h"

namespace qm::config {
namespace {

constexpr std::uint32_t kHammerKeywordId = 0x0006D930;
constexpr std::uint32_t kClothingKeywordId = 0x0008F95B;

// A keyword the game does not know is held by no record.
bool Holds(const game::KeywordList& list, const game::TESForm* keyword) {
  return keyword != nullptr && game::HoldsKeyword(list, keyword);
}

ItemCategory WeaponCategory(const game::TESObjectWEAP* weapon) {
  switch (weapon->weaponType) {
    case 2: return ItemCategory::WeaponDagger;
    case 3: return ItemCategory::WeaponWarAxe;
    case 4: return ItemCategory::WeaponMace;
    case 5: return ItemCategory::WeaponGreatSword;
    case 6: return Holds(weapon->keywords, HammerKeyword()) ? ItemCategory::WeaponHammer : ItemCategory::WeaponBattleAxe;
    case 7: return ItemCategory::WeaponBow;
    case 9: return ItemCategory::WeaponCrossbow;
    default: return ItemCategory::WeaponSword;  // 0, 1, 8 and 10 to 255
  }
}

ItemCategory ArmorCategory(const game::TESObjectARMO* armor) {
  switch (armor->weightClass) {
    case 0: return ItemCategory::LightArmor;
    case 1: return ItemCategory::HeavyArmor;
    default: return Holds(armor->keywords, ClothingKeyword()) ? ItemCategory::Clothing : ItemCategory::DefaultArmor;
  }
}

}  // namespace

// Function-local statics: the first fetch happens once even when several
// game threads classify at the same moment.
const game::TESForm* HammerKeyword() {
  static const game::TESForm* const keyword = game::Bindings.FindFormById(kHammerKeywordId);
  return keyword;
}

const game::TESForm* ClothingKeyword() {
  static const game::TESForm* const keyword = game::Bindings.FindFormById(kClothingKeywordId);
  return keyword;
}

ItemCategory CategoryOf(const game::TESForm* record) {
  if (record == nullptr) return ItemCategory::DefaultArmor;
  if (record->formType == game::kFormWeapon) return WeaponCategory(game::AsWeapon(record));
  if (record->formType == game::kFormArmor) return ArmorCategory(game::AsArmor(record));
  return ItemCategory::DefaultArmor;
}

double GetDegradationRateFor(const game::TESForm* record) { return Store().GetDegradationRate(NameOf(CategoryOf(record))); }

double GetBreakChanceFor(const game::TESForm* record) { return Store().GetBreakChance(NameOf(CategoryOf(record))); }

}  // namespace qm::config
