#pragma once
// Every key of the five settings tables with its default, in the order the
// settings file documents them. The store is built from these lists and the
// log lists each section in this order.
#include <array>
#include <cstdint>

namespace qm::config {

struct IntegerDefault {
  const char* key;
  std::uint32_t value;
};

struct RealDefault {
  const char* key;
  double value;
};

inline constexpr std::array<IntegerDefault, 5> kDegradationDefaults{{
    {"disabledegradation", 0},
    {"onlyplayer", 1},
    {"nobreakmagicdisallowenchanting", 1},
    {"increasedurability", 1},
    {"equipmenthealththreshold", 0},
}};

inline constexpr std::array<RealDefault, 16> kDegradationRateDefaults{{
    {"weaponsword", 3.0},
    {"weapondagger", 3.0},
    {"weaponwaraxe", 3.0},
    {"weaponmace", 3.0},
    {"weapongreatsword", 3.0},
    {"weaponhammer", 3.0},
    {"weaponbattleaxe", 3.0},
    {"weaponbow", 3.0},
    {"weaponcrossbow", 3.0},
    {"lightarmor", 3.0},
    {"heavyarmor", 3.0},
    {"clothing", 3.0},
    {"defaultarmor", 3.0},
    {"powerattackmultiplier", 2.0},
    {"followermultiplier", 1.0},
    {"npcmultiplier", 1.0},
}};

inline constexpr std::array<RealDefault, 16> kBreakChanceDefaults{{
    {"weaponsword", 0.0},
    {"weapondagger", 0.0},
    {"weaponwaraxe", 0.0},
    {"weaponmace", 0.0},
    {"weapongreatsword", 0.0},
    {"weaponhammer", 0.0},
    {"weaponbattleaxe", 0.0},
    {"weaponbow", 0.0},
    {"weaponcrossbow", 0.0},
    {"lightarmor", 0.0},
    {"heavyarmor", 0.0},
    {"clothing", 0.0},
    {"defaultarmor", 0.0},
    {"powerattackmultiplier", 2.0},
    {"followermultiplier", 1.0},
    {"npcmultiplier", 1.0},
}};

inline constexpr std::array<IntegerDefault, 3> kDynamicTemperDefaults{{
    {"disabledynamictemper", 0},
    {"temperchance", 40},
    {"bosstemperchance", 80},
}};

inline constexpr std::array<IntegerDefault, 10> kWidgetDefaults{{
    {"disablewidget", 0},
    {"positionx", 3},
    {"positiony", 73},
    {"scale", 100},
    {"unbreakablecolor", 0xFFFFFF},
    {"breakablecolor", 0xFFD700},
    {"hidepoisonname", 0},
    {"hidewithweaponssheathed", 0},
    {"togglekeycode", 0},
    {"flags", 8},
}};

}  // namespace qm::config
