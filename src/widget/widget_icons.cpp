#include "widget/widget_icons.h"

#include "game/game_constants.h"
#include "game/game_keywords.h"
#include "game/name_records.h"

#include <string_view>

namespace qm::widget {

namespace {

enum Icon : std::uint8_t {
  kNone = 0,
  kWeaponSword = 2,
  kWeaponGreatsword = 3,
  kWeaponDagger = 5,
  kWeaponWaraxe = 6,
  kWeaponBattleaxe = 7,
  kWeaponMace = 8,
  kWeaponHammer = 9,
  kWeaponStaff = 10,
  kWeaponBow = 11,
  kWeaponCrossbow = 15,
  kDefaultArmor = 17,
  kDefaultScroll = 50,
  kDefaultMisc = 72,
  kMiscTorch = 93,
  kDefaultAlteration = 97,
  kDefaultIllusion = 98,
  kDefaultDestruction = 99,
  kDefaultConjuration = 100,
  kDefaultRestoration = 101,
  kDefaultShout = 102,
  kDefaultPower = 103,
  kDefaultEffect = 104,
};

// Armour index (light 0-7, heavy 8-15, clothing 16-23, jewellery 24-26,
// default 27) to icon index.
constexpr std::array<std::uint8_t, 28> kArmorIcons{
    18,
    19,
    20,
    21,
    22,
    23,
    24,
    25,  // light: body head hands forearms feet calves shield mask
    26,
    27,
    28,
    29,
    30,
    31,
    32,
    33,  // heavy
    36,
    38,
    40,
    41,
    42,
    43,
    45,
    46,  // clothing
    47,
    48,
    49,  // amulet, ring, circlet
    kDefaultArmor,
};
constexpr std::uint32_t kDefaultArmorIndex = 27;

const char* Name(std::uint8_t icon) { return kWidgetIcons[icon]; }

constexpr bool IconIs(std::size_t index, std::string_view name) { return kWidgetIcons[index] == name; }
static_assert(IconIs(kNone, "none") && IconIs(kWeaponSword, "weapon_sword") &&
              IconIs(kWeaponCrossbow, "weapon_crossbow"));
static_assert(IconIs(kWeaponGreatsword, "weapon_greatsword") && IconIs(kWeaponDagger, "weapon_dagger"));
static_assert(IconIs(kWeaponWaraxe, "weapon_waraxe") && IconIs(kWeaponBattleaxe, "weapon_battleaxe"));
static_assert(IconIs(kWeaponMace, "weapon_mace") && IconIs(kWeaponHammer, "weapon_hammer"));
static_assert(IconIs(kWeaponStaff, "weapon_staff") && IconIs(kWeaponBow, "weapon_bow"));
static_assert(IconIs(kDefaultIllusion, "default_illusion") && IconIs(kDefaultDestruction, "default_destruction"));
static_assert(IconIs(kDefaultConjuration, "default_conjuration") && IconIs(kDefaultPower, "default_power"));
static_assert(IconIs(kDefaultArmor, "default_armor") && IconIs(kDefaultScroll, "default_scroll"));
static_assert(IconIs(kDefaultMisc, "default_misc") && IconIs(kMiscTorch, "misc_torch"));
static_assert(IconIs(kDefaultAlteration, "default_alteration") && IconIs(kDefaultRestoration, "default_restoration"));
static_assert(IconIs(kDefaultShout, "default_shout") && IconIs(kDefaultEffect, "default_effect"));
static_assert(IconIs(18, "lightarmor_body") && IconIs(33, "armor_mask") && IconIs(36, "clothing_body"));
static_assert(IconIs(38, "clothing_head") && IconIs(46, "clothing_mask") && IconIs(49, "armor_circlet"));

std::uint32_t JewelryIndex(std::uint32_t slotMask) {
  if ((slotMask & game::kSlotAmulet) != 0) return 24;
  if ((slotMask & game::kSlotRing) != 0) return 25;
  if ((slotMask & game::kSlotCirclet) != 0) return 26;
  return kDefaultArmorIndex;
}

// The 76 identifiers from 0x61C8B on are masks worn in the head slots.
bool IsMaskForm(std::uint32_t formId) { return formId - 0x61C8Bu <= 0x4Bu; }

std::uint32_t ArmorIndex(const game::TESForm* form) {
  const game::TESObjectARMO* armor = game::AsArmor(form);
  const std::uint32_t mask = armor->slotMask;
  std::uint32_t base = 0;
  if (armor->weightClass == game::kArmorLight) {
    base = 0;
  } else if (armor->weightClass == game::kArmorHeavy) {
    base = 8;
  } else if (game::HoldsKnownKeyword(armor->keywords, game::ClothingKeyword())) {
    base = 16;
  } else if (game::HoldsKnownKeyword(armor->keywords, game::JewelryKeyword())) {
    return JewelryIndex(mask);
  } else {
    return kDefaultArmorIndex;
  }

  if ((mask & (game::kSlotBody | game::kSlotTail)) != 0) return base + 0;
  if ((mask & (game::kSlotHead | game::kSlotHair | game::kSlotLongHair)) != 0)
    return IsMaskForm(form->formId) ? base + 7 : base + 1;
  if ((mask & game::kSlotHands) != 0) return base + 2;
  if ((mask & game::kSlotForearms) != 0) return base + 3;
  if ((mask & game::kSlotFeet) != 0) return base + 4;
  if ((mask & game::kSlotCalves) != 0) return base + 5;
  if ((mask & game::kSlotShield) != 0) return base + 6;
  return kDefaultArmorIndex;
}

}  // namespace

const char* WeaponIcon(const game::TESForm* form) {
  const game::TESObjectWEAP* weapon = game::AsWeapon(form);
  switch (weapon->weaponType) {
    case game::kWeaponTypeSword: return Name(kWeaponSword);
    case game::kWeaponTypeDagger: return Name(kWeaponDagger);
    case game::kWeaponTypeWarAxe: return Name(kWeaponWaraxe);
    case game::kWeaponTypeMace: return Name(kWeaponMace);
    case game::kWeaponTypeGreatSword: return Name(kWeaponGreatsword);
    case 6:
      return Name(game::HoldsKnownKeyword(weapon->keywords, game::WarhammerKeyword()) ? kWeaponHammer
                                                                                      : kWeaponBattleaxe);
    case game::kWeaponTypeBow: return Name(kWeaponBow);
    case game::kWeaponTypeStaff: return Name(kWeaponStaff);
    case game::kWeaponTypeCrossbow: return Name(kWeaponCrossbow);
    default: return Name(kWeaponSword);
  }
}

const char* ArmorIcon(const game::TESForm* form) { return Name(kArmorIcons[ArmorIndex(form)]); }

const char* SpellIcon(const game::TESForm* form) {
  const game::SpellItem* spell = game::AsSpell(form);
  if (spell->spellType == 2 || spell->spellType == 3) return Name(kDefaultPower);
  if (spell->effect == nullptr) return Name(kDefaultEffect);
  switch (spell->effect->school) {
    case 18: return Name(kDefaultAlteration);
    case 19: return Name(kDefaultConjuration);
    case 20: return Name(kDefaultDestruction);
    case 21: return Name(kDefaultIllusion);
    case 22: return Name(kDefaultRestoration);
    default: return Name(kDefaultEffect);
  }
}

const char* IconFor(const game::TESForm* form) {
  if (form == nullptr) return Name(kNone);
  switch (form->formType) {
    case game::kFormWeapon: return WeaponIcon(form);
    case game::kFormArmor: return ArmorIcon(form);
    case game::kFormSpell: return SpellIcon(form);
    case game::kFormScroll: return Name(kDefaultScroll);
    case game::kFormLight: return Name(kMiscTorch);
    case game::kFormShout: return Name(kDefaultShout);
    default: return Name(kDefaultMisc);
  }
}

}  // namespace qm::widget
