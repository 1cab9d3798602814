#pragma once
// The game's numbers that the plug-in's rules are written in (runtime 1.5.39):
// equipment slots, weapon types and flags, the records fetched by id, the
// extra-data types and the actor flags. Each is named here once.
#include <cstdint>

namespace qm::game {

// Equipment slots: bit n of an armour's slot mask is body slot 30 + n.
inline constexpr std::uint32_t kSlotHead = 0x1;
inline constexpr std::uint32_t kSlotHair = 0x2;
inline constexpr std::uint32_t kSlotBody = 0x4;
inline constexpr std::uint32_t kSlotHands = 0x8;
inline constexpr std::uint32_t kSlotForearms = 0x10;
inline constexpr std::uint32_t kSlotAmulet = 0x20;
inline constexpr std::uint32_t kSlotRing = 0x40;
inline constexpr std::uint32_t kSlotFeet = 0x80;
inline constexpr std::uint32_t kSlotCalves = 0x100;
inline constexpr std::uint32_t kSlotShield = 0x200;
inline constexpr std::uint32_t kSlotTail = 0x400;
inline constexpr std::uint32_t kSlotLongHair = 0x800;
inline constexpr std::uint32_t kSlotCirclet = 0x1000;

// Weapon types, the byte at TESObjectWEAP::weaponType.
inline constexpr std::uint8_t kWeaponTypeSword = 1;
inline constexpr std::uint8_t kWeaponTypeDagger = 2;
inline constexpr std::uint8_t kWeaponTypeWarAxe = 3;
inline constexpr std::uint8_t kWeaponTypeMace = 4;
inline constexpr std::uint8_t kWeaponTypeGreatSword = 5;
inline constexpr std::uint8_t kWeaponTypeTwoHandedAxe = 6;  // battle axes and warhammers
inline constexpr std::uint8_t kWeaponTypeBow = 7;
inline constexpr std::uint8_t kWeaponTypeStaff = 8;
inline constexpr std::uint8_t kWeaponTypeCrossbow = 9;

// Armour weight classes; any other class is clothing, jewellery or neither.
inline constexpr std::uint32_t kArmorLight = 0;
inline constexpr std::uint32_t kArmorHeavy = 1;

// A weapon flag that keeps the weapon out of wear and out of the widget's
// durability column.
inline constexpr std::uint16_t kWeaponNoDurability = 0x2000;

// Records fetched by id.
inline constexpr std::uint32_t kPlayerRecordId = 0x00000007;
inline constexpr std::uint32_t kNeverBreaksFormId = 0x000001F4;
inline constexpr std::uint32_t kWarhammerKeywordId = 0x0006D930;
inline constexpr std::uint32_t kJewelryKeywordId = 0x0008F95A;
inline constexpr std::uint32_t kClothingKeywordId = 0x0008F95B;
inline constexpr std::uint32_t kNoEnchantKeywordId = 0x000C27BD;

// Extra-data types, and how many there are.
inline constexpr std::uint32_t kExtraInventoryChanges = 0x15;
inline constexpr std::uint32_t kExtraWorn = 0x16;
inline constexpr std::uint32_t kExtraWornLeft = 0x17;
inline constexpr std::uint32_t kExtraHealth = 0x25;
inline constexpr std::uint32_t kExtraPoison = 0x3E;
inline constexpr std::uint32_t kExtraReferenceMarker = 0x8B;
inline constexpr std::uint32_t kExtraDataTypeCount = 180;

// Actor flags: a follower of the player.
inline constexpr std::uint32_t kActorFollowerOfPlayer = 0x4000000;

}  // namespace qm::game
