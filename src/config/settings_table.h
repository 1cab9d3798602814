#pragma once
// Every setting of the plug-in, named once: its section of the settings file,
// its key as the store holds it, how the file's text becomes its value, its
// default and the values it accepts. The store, the reader, the log's dump,
// the settings checker and the tuning lab all read this table; code names a
// setting by its `Setting`, so a misspelt name does not compile.
#include <array>
#include <cstddef>
#include <cstdint>

namespace qm::config {

enum class Section : std::uint8_t { Degradation, DegradationRate, BreakChance, DynamicTemper, Widget };

inline constexpr std::array<const char*, 5> kSectionNames{"Degradation", "DegradationRate", "BreakChance",
                                                          "DynamicTemper", "Widget"};

constexpr const char* NameOf(Section section) { return kSectionNames[static_cast<std::size_t>(section)]; }

// The two sections of 64-bit reals; the other three hold unsigned 32-bit values.
constexpr bool HoldsReals(Section section) {
  return section == Section::DegradationRate || section == Section::BreakChance;
}

// How an entry's text becomes the value.
enum class ValueForm : std::uint8_t {
  Word,   // a boolean that changes only on its one word, in any case
  Whole,  // a whole number read as the C library reads it, up to `maximum`
  Real,   // a real number, never negative or NaN
};

// In the order of the table below: sections in file order, keys in the order
// the settings file documents them. The rate and chance sections open with
// one key per item category, in the categories' order.
enum class Setting : std::uint8_t {
  DisableDegradation,
  OnlyPlayer,
  NoBreakMagicDisallowEnchanting,
  IncreaseDurability,
  EquipmentHealthThreshold,
  RateWeaponSword,
  RateWeaponDagger,
  RateWeaponWarAxe,
  RateWeaponMace,
  RateWeaponGreatSword,
  RateWeaponHammer,
  RateWeaponBattleAxe,
  RateWeaponBow,
  RateWeaponCrossbow,
  RateLightArmor,
  RateHeavyArmor,
  RateClothing,
  RateDefaultArmor,
  RatePowerAttackMultiplier,
  RateFollowerMultiplier,
  RateNpcMultiplier,
  ChanceWeaponSword,
  ChanceWeaponDagger,
  ChanceWeaponWarAxe,
  ChanceWeaponMace,
  ChanceWeaponGreatSword,
  ChanceWeaponHammer,
  ChanceWeaponBattleAxe,
  ChanceWeaponBow,
  ChanceWeaponCrossbow,
  ChanceLightArmor,
  ChanceHeavyArmor,
  ChanceClothing,
  ChanceDefaultArmor,
  ChancePowerAttackMultiplier,
  ChanceFollowerMultiplier,
  ChanceNpcMultiplier,
  DisableDynamicTemper,
  TemperChance,
  BossTemperChance,
  DisableWidget,
  PositionX,
  PositionY,
  Scale,
  UnbreakableColor,
  BreakableColor,
  HidePoisonName,
  HideWithWeaponsSheathed,
  ToggleKeyCode,
  Flags,
};

struct SettingInfo {
  Setting setting;
  Section section;
  const char* key;  // lower case, as the store holds it
  ValueForm form;
  double defaultValue;
  // Only the fields of the row's form are given; the others stay zero.
  std::uint32_t maximum{};    // Whole: the largest value taken
  const char* word{};         // Word: the one word that changes the value
  std::uint32_t wordValue{};  // Word: the value that word gives
};

inline constexpr std::uint32_t kAnyWhole = 0xFFFFFFFFu;
inline constexpr std::uint32_t kMaxPosition = 100;
inline constexpr std::uint32_t kMaxColour = 0xFFFFFF;

namespace settings_rows {
using S = Setting;
constexpr SettingInfo Switch(S s, Section section, const char* key, std::uint32_t value, const char* word) {
  return {.setting = s,
          .section = section,
          .key = key,
          .form = ValueForm::Word,
          .defaultValue = static_cast<double>(value),
          .word = word,
          .wordValue = word[0] == 't' ? 1u : 0u};
}
constexpr SettingInfo Whole(S s, Section section, const char* key, std::uint32_t value, std::uint32_t maximum) {
  return {.setting = s,
          .section = section,
          .key = key,
          .form = ValueForm::Whole,
          .defaultValue = static_cast<double>(value),
          .maximum = maximum};
}
constexpr SettingInfo Rate(S s, const char* key, double value) {
  return {
      .setting = s, .section = Section::DegradationRate, .key = key, .form = ValueForm::Real, .defaultValue = value};
}
constexpr SettingInfo Chance(S s, const char* key, double value) {
  return {.setting = s, .section = Section::BreakChance, .key = key, .form = ValueForm::Real, .defaultValue = value};
}
constexpr Section kD = Section::Degradation;
constexpr Section kT = Section::DynamicTemper;
constexpr Section kW = Section::Widget;
}  // namespace settings_rows

inline constexpr std::array<SettingInfo, 50> kSettings{{
    settings_rows::Switch(Setting::DisableDegradation, settings_rows::kD, "disabledegradation", 0, "true"),
    settings_rows::Switch(Setting::OnlyPlayer, settings_rows::kD, "onlyplayer", 1, "false"),
    settings_rows::Switch(Setting::NoBreakMagicDisallowEnchanting, settings_rows::kD, "nobreakmagicdisallowenchanting",
                          1, "false"),
    settings_rows::Switch(Setting::IncreaseDurability, settings_rows::kD, "increasedurability", 1, "false"),
    settings_rows::Whole(Setting::EquipmentHealthThreshold, settings_rows::kD, "equipmenthealththreshold", 0,
                         kAnyWhole),

    settings_rows::Rate(Setting::RateWeaponSword, "weaponsword", 3.0),
    settings_rows::Rate(Setting::RateWeaponDagger, "weapondagger", 3.0),
    settings_rows::Rate(Setting::RateWeaponWarAxe, "weaponwaraxe", 3.0),
    settings_rows::Rate(Setting::RateWeaponMace, "weaponmace", 3.0),
    settings_rows::Rate(Setting::RateWeaponGreatSword, "weapongreatsword", 3.0),
    settings_rows::Rate(Setting::RateWeaponHammer, "weaponhammer", 3.0),
    settings_rows::Rate(Setting::RateWeaponBattleAxe, "weaponbattleaxe", 3.0),
    settings_rows::Rate(Setting::RateWeaponBow, "weaponbow", 3.0),
    settings_rows::Rate(Setting::RateWeaponCrossbow, "weaponcrossbow", 3.0),
    settings_rows::Rate(Setting::RateLightArmor, "lightarmor", 3.0),
    settings_rows::Rate(Setting::RateHeavyArmor, "heavyarmor", 3.0),
    settings_rows::Rate(Setting::RateClothing, "clothing", 3.0),
    settings_rows::Rate(Setting::RateDefaultArmor, "defaultarmor", 3.0),
    settings_rows::Rate(Setting::RatePowerAttackMultiplier, "powerattackmultiplier", 2.0),
    settings_rows::Rate(Setting::RateFollowerMultiplier, "followermultiplier", 1.0),
    settings_rows::Rate(Setting::RateNpcMultiplier, "npcmultiplier", 1.0),

    settings_rows::Chance(Setting::ChanceWeaponSword, "weaponsword", 0.0),
    settings_rows::Chance(Setting::ChanceWeaponDagger, "weapondagger", 0.0),
    settings_rows::Chance(Setting::ChanceWeaponWarAxe, "weaponwaraxe", 0.0),
    settings_rows::Chance(Setting::ChanceWeaponMace, "weaponmace", 0.0),
    settings_rows::Chance(Setting::ChanceWeaponGreatSword, "weapongreatsword", 0.0),
    settings_rows::Chance(Setting::ChanceWeaponHammer, "weaponhammer", 0.0),
    settings_rows::Chance(Setting::ChanceWeaponBattleAxe, "weaponbattleaxe", 0.0),
    settings_rows::Chance(Setting::ChanceWeaponBow, "weaponbow", 0.0),
    settings_rows::Chance(Setting::ChanceWeaponCrossbow, "weaponcrossbow", 0.0),
    settings_rows::Chance(Setting::ChanceLightArmor, "lightarmor", 0.0),
    settings_rows::Chance(Setting::ChanceHeavyArmor, "heavyarmor", 0.0),
    settings_rows::Chance(Setting::ChanceClothing, "clothing", 0.0),
    settings_rows::Chance(Setting::ChanceDefaultArmor, "defaultarmor", 0.0),
    settings_rows::Chance(Setting::ChancePowerAttackMultiplier, "powerattackmultiplier", 2.0),
    settings_rows::Chance(Setting::ChanceFollowerMultiplier, "followermultiplier", 1.0),
    settings_rows::Chance(Setting::ChanceNpcMultiplier, "npcmultiplier", 1.0),

    settings_rows::Switch(Setting::DisableDynamicTemper, settings_rows::kT, "disabledynamictemper", 0, "true"),
    settings_rows::Whole(Setting::TemperChance, settings_rows::kT, "temperchance", 40, kAnyWhole),
    settings_rows::Whole(Setting::BossTemperChance, settings_rows::kT, "bosstemperchance", 80, kAnyWhole),

    settings_rows::Switch(Setting::DisableWidget, settings_rows::kW, "disablewidget", 0, "true"),
    settings_rows::Whole(Setting::PositionX, settings_rows::kW, "positionx", 3, kMaxPosition),
    settings_rows::Whole(Setting::PositionY, settings_rows::kW, "positiony", 73, kMaxPosition),
    settings_rows::Whole(Setting::Scale, settings_rows::kW, "scale", 100, kAnyWhole),
    settings_rows::Whole(Setting::UnbreakableColor, settings_rows::kW, "unbreakablecolor", 0xFFFFFF, kMaxColour),
    settings_rows::Whole(Setting::BreakableColor, settings_rows::kW, "breakablecolor", 0xFFD700, kMaxColour),
    settings_rows::Switch(Setting::HidePoisonName, settings_rows::kW, "hidepoisonname", 0, "true"),
    settings_rows::Switch(Setting::HideWithWeaponsSheathed, settings_rows::kW, "hidewithweaponssheathed", 0, "true"),
    settings_rows::Whole(Setting::ToggleKeyCode, settings_rows::kW, "togglekeycode", 0, kAnyWhole),
    settings_rows::Whole(Setting::Flags, settings_rows::kW, "flags", 8, kAnyWhole),
}};

inline constexpr std::size_t kSettingCount = kSettings.size();

constexpr const SettingInfo& InfoOf(Setting setting) { return kSettings[static_cast<std::size_t>(setting)]; }

// Each row stands at its setting's place, and every section's rows are together.
constexpr bool RowsInOrder() {
  for (std::size_t i = 0; i < kSettings.size(); ++i) {
    if (static_cast<std::size_t>(kSettings[i].setting) != i) return false;
    if (i > 0 && kSettings[i].section < kSettings[i - 1].section) return false;
    if ((kSettings[i].form == ValueForm::Real) != HoldsReals(kSettings[i].section)) return false;
  }
  return true;
}
static_assert(RowsInOrder(), "kSettings must list every Setting in its order, section by section");

}  // namespace qm::config
