#pragma once
// The thirteen item categories that wear rates and break chances are keyed by.
#include <array>
#include <cstdint>

namespace qm::game {
struct TESForm;
}

namespace qm::config {

enum class ItemCategory : std::uint8_t {
  WeaponSword,
  WeaponDagger,
  WeaponWarAxe,
  WeaponMace,
  WeaponGreatSword,
  WeaponHammer,
  WeaponBattleAxe,
  WeaponBow,
  WeaponCrossbow,
  LightArmor,
  HeavyArmor,
  Clothing,
  DefaultArmor,
};

struct ItemCategoryInfo {
  ItemCategory category;
  const char* name;  // what the classification yields
  const char* key;   // what the settings tables hold
};

inline constexpr std::array<ItemCategoryInfo, 13> kItemCategories{{
    {ItemCategory::WeaponSword, "WeaponSword", "weaponsword"},
    {ItemCategory::WeaponDagger, "WeaponDagger", "weapondagger"},
    {ItemCategory::WeaponWarAxe, "WeaponWarAxe", "weaponwaraxe"},
    {ItemCategory::WeaponMace, "WeaponMace", "weaponmace"},
    {ItemCategory::WeaponGreatSword, "WeaponGreatSword", "weapongreatsword"},
    {ItemCategory::WeaponHammer, "WeaponHammer", "weaponhammer"},
    {ItemCategory::WeaponBattleAxe, "WeaponBattleAxe", "weaponbattleaxe"},
    {ItemCategory::WeaponBow, "WeaponBow", "weaponbow"},
    {ItemCategory::WeaponCrossbow, "WeaponCrossbow", "weaponcrossbow"},
    {ItemCategory::LightArmor, "LightArmor", "lightarmor"},
    {ItemCategory::HeavyArmor, "HeavyArmor", "heavyarmor"},
    {ItemCategory::Clothing, "Clothing", "clothing"},
    {ItemCategory::DefaultArmor, "DefaultArmor", "defaultarmor"},
}};

inline constexpr const char* NameOf(ItemCategory category) {
  return kItemCategories[static_cast<std::size_t>(category)].name;
}

// The keywords that split categories: 0x0006D930 tells a hammer from a
// battle axe, 0x0008F95B marks clothing. Fetched once, on first use; null
// when the game has no such form.
const game::TESForm* HammerKeyword();
const game::TESForm* ClothingKeyword();

// Sorts a weapon or armour record into its category; never fails.
ItemCategory CategoryOf(const game::TESForm* record);
double GetDegradationRateFor(const game::TESForm* record);
double GetBreakChanceFor(const game::TESForm* record);

}  // namespace qm::config
