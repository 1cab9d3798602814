#pragma once
// Where everything the plug-in uses lies in the game executable of runtime
// 1.5.39, as offsets from its load address. Valid for that runtime only; the
// runtime check at query time is the only guard.
#include "game/game_constants.h"

#include <cstdint>

namespace qm::game::offsets {

// Functions.
inline constexpr std::uintptr_t StackCountOf = 0x113930;
inline constexpr std::uintptr_t ExtraListUnbreakable = 0x1267D0;
inline constexpr std::uintptr_t PostMenuMessage = 0x165450;
inline constexpr std::uintptr_t ScriptEventSources = 0x186910;
inline constexpr std::uintptr_t FindFormById = 0x1943B0;
inline constexpr std::uintptr_t EntryDisplayName = 0x1D75A0;
inline constexpr std::uintptr_t ReferenceOwner = 0x2A68D0;
inline constexpr std::uintptr_t DetachSink = 0x423EB0;
inline constexpr std::uintptr_t AttachSink = 0x56BAB0;
inline constexpr std::uintptr_t ActorLevel = 0x5D6790;
inline constexpr std::uintptr_t RefreshAfterRemoval = 0x6512A0;
inline constexpr std::uintptr_t HudNotify = 0x8800A0;
inline constexpr std::uintptr_t GameHeapAlloc = 0xC02770;
inline constexpr std::uintptr_t GameHeapRelease = 0xC02A70;
inline constexpr std::uintptr_t HashInternedKey = 0xC06A80;
inline constexpr std::uintptr_t InternString = 0xC28C50;
inline constexpr std::uintptr_t MenuOpenQuery = 0xEBE1B0;
inline constexpr std::uintptr_t RegisterMenuFactory = 0xEBFA20;
inline constexpr std::uintptr_t MovieValueRetain = 0xECB160;
inline constexpr std::uintptr_t MovieValueDrop = 0xECB1C0;
inline constexpr std::uintptr_t MovieArrayAppend = 0xECB3E0;
inline constexpr std::uintptr_t MenuBaseDestroy = 0xECD8D0;
inline constexpr std::uintptr_t MenuBaseSlot5 = 0xECD980;
inline constexpr std::uintptr_t MenuBaseSlot8 = 0xECDA50;
inline constexpr std::uintptr_t AttachMovieToMenu = 0xECE870;
inline constexpr std::uintptr_t CastRuntimeType = 0x1363522;

// Data.
inline constexpr std::uintptr_t HealthExtraDispatch = 0x15460B0;
inline constexpr std::uintptr_t TypeFormBase = 0x1E36E80;
inline constexpr std::uintptr_t TypeFullName = 0x1E36F50;
inline constexpr std::uintptr_t TypeExtraDataBase = 0x1E380B0;
inline constexpr std::uintptr_t TypeInputEvent = 0x1E69880;
inline constexpr std::uintptr_t TypeButtonEvent = 0x1E698A8;
inline constexpr std::uintptr_t GameHeap = 0x1EE4280;
inline constexpr std::uintptr_t DataHandler = 0x1EE5428;
inline constexpr std::uintptr_t MenuManager = 0x1EE5B20;
inline constexpr std::uintptr_t MenuMessageQueue = 0x1EE7A70;
inline constexpr std::uintptr_t InterfaceStrings = 0x1EE7A78;
inline constexpr std::uintptr_t MovieManager = 0x2F4C7A0;
inline constexpr std::uintptr_t InputEventSource = 0x2F4C7A8;
inline constexpr std::uintptr_t World = 0x2F4DB20;
inline constexpr std::uintptr_t Player = 0x2F4DEF8;
inline constexpr std::uintptr_t UpdateEventSource = 0x2F4F028;
inline constexpr std::uintptr_t MovieHeap = 0x3059C50;

// Type descriptors of the extra-data classes, indexed by extra-data type.
// Only the types the plug-in reads have one; the rest are 0.
inline constexpr std::uintptr_t ExtraTypeDescriptor(std::uint32_t type) {
  switch (type) {
    case kExtraInventoryChanges: return 0x1E39CC0;
    case kExtraWorn: return 0x1E382B0;
    case kExtraWornLeft: return 0x1E382D0;
    case kExtraHealth: return 0x1E38348;
    case kExtraPoison: return 0x1E385D8;
    case kExtraReferenceMarker: return 0x1E39030;
    default: return 0;
  }
}

}  // namespace qm::game::offsets
