#pragma once
// The thirteen item categories that wear rates and break chances are keyed by.
#include "config/settings_table.h"
#include "game/game_forms.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

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

// The rate and the break chance of a category: the rate and chance sections
// open with one key per category, in the categories' order.
constexpr Setting RateOf(ItemCategory category) {
  return static_cast<Setting>(static_cast<std::size_t>(Setting::RateWeaponSword) + static_cast<std::size_t>(category));
}
constexpr Setting ChanceOf(ItemCategory category) {
  return static_cast<Setting>(static_cast<std::size_t>(Setting::ChanceWeaponSword) +
                              static_cast<std::size_t>(category));
}

constexpr bool CategoriesMatchTheirSettings() {
  for (const ItemCategoryInfo& info : kItemCategories) {
    if (std::string_view(InfoOf(RateOf(info.category)).key) != info.key) return false;
    if (std::string_view(InfoOf(ChanceOf(info.category)).key) != info.key) return false;
  }
  return true;
}
static_assert(CategoriesMatchTheirSettings(), "the rate and chance keys follow the categories' order");

// Sorts a weapon or armour record into its category; never fails.
ItemCategory CategoryOf(const game::TESForm* record);
double GetDegradationRateFor(const game::TESForm* record);
double GetBreakChanceFor(const game::TESForm* record);

}  // namespace qm::config
