#pragma once
// The movie's icon vocabulary and the rules that pick a row's icon.
#include "game/game_forms.h"

#include <array>
#include <cstdint>

namespace qm::widget {

// The 108 icon names the movie knows, at their fixed indexes.
inline constexpr std::array<const char*, 108> kWidgetIcons{
    "none", "default_weapon", "weapon_sword", "weapon_greatsword", "weapon_daedra", "weapon_dagger",
    "weapon_waraxe", "weapon_battleaxe", "weapon_mace", "weapon_hammer", "weapon_staff", "weapon_bow",
    "weapon_arrow", "weapon_pickaxe", "weapon_woodaxe", "weapon_crossbow", "weapon_bolt", "default_armor",
    "lightarmor_body", "lightarmor_head", "lightarmor_hands", "lightarmor_forearms", "lightarmor_feet",
    "lightarmor_calves", "lightarmor_shield", "lightarmor_mask", "armor_body", "armor_head", "armor_hands",
    "armor_forearms", "armor_feet", "armor_calves", "armor_shield", "armor_mask", "armor_bracer", "armor_daedra",
    "clothing_body", "clothing_robe", "clothing_head", "clothing_pants", "clothing_hands", "clothing_forearms",
    "clothing_feet", "clothing_calves", "clothing_shoes", "clothing_shield", "clothing_mask", "armor_amulet",
    "armor_ring", "armor_circlet", "default_scroll", "default_book", "default_book_read", "book_tome",
    "book_tome_read", "book_journal", "book_note", "book_map", "default_food", "food_wine", "food_beer",
    "default_ingredient", "default_key", "key_house", "default_potion", "potion_health", "potion_stam",
    "potion_magic", "potion_poison", "potion_frost", "potion_fire", "potion_shock", "default_misc",
    "misc_artifact", "misc_clutter", "misc_lockpick", "misc_soulgem", "soulgem_empty", "soulgem_partial",
    "soulgem_full", "soulgem_grandempty", "soulgem_grandpartial", "soulgem_grandfull", "soulgem_azura",
    "misc_gem", "misc_ore", "misc_ingot", "misc_hide", "misc_strips", "misc_leather", "misc_wood",
    "misc_remains", "misc_trollskull", "misc_torch", "misc_goldsack", "misc_gold", "misc_dragonclaw",
    "default_alteration", "default_illusion", "default_destruction", "default_conjuration", "default_restoration",
    "default_shout", "default_power", "default_effect", "magic_fire", "magic_frost", "magic_shock",
};

// The icon of any row's form; "none" for no form.
const char* IconFor(const game::TESForm* form);

// The rules for each kind of form.
const char* WeaponIcon(const game::TESForm* weapon);
const char* ArmorIcon(const game::TESForm* armor);
const char* SpellIcon(const game::TESForm* spell);

}  // namespace qm::widget
