#pragma once
// The game double's own table of where the game keeps its functions and data
// (runtime 1.5.39). Written independently of the plug-in's table, so that a
// wrong offset on either side makes a test fail instead of agreeing with
// itself.
#include <cstdint>

namespace gd::off {

// Functions: an absolute jump to the double's implementation is written here.
constexpr std::uintptr_t kStackCountOf = 0x00113930;
constexpr std::uintptr_t kExtraListUnbreakable = 0x001267D0;
constexpr std::uintptr_t kPostMenuMessage = 0x00165450;
constexpr std::uintptr_t kScriptEventSources = 0x00186910;
constexpr std::uintptr_t kFindFormById = 0x001943B0;
constexpr std::uintptr_t kEntryDisplayName = 0x001D75A0;
constexpr std::uintptr_t kReferenceOwner = 0x002A68D0;
constexpr std::uintptr_t kDetachSink = 0x00423EB0;
constexpr std::uintptr_t kAttachSink = 0x0056BAB0;
constexpr std::uintptr_t kActorLevel = 0x005D6790;
constexpr std::uintptr_t kRefreshAfterRemoval = 0x006512A0;
constexpr std::uintptr_t kHudNotify = 0x008800A0;
constexpr std::uintptr_t kGameHeapAlloc = 0x00C02770;
constexpr std::uintptr_t kGameHeapRelease = 0x00C02A70;
constexpr std::uintptr_t kHashInternedKey = 0x00C06A80;
constexpr std::uintptr_t kInternString = 0x00C28C50;
constexpr std::uintptr_t kMenuOpenQuery = 0x00EBE1B0;
constexpr std::uintptr_t kRegisterMenuFactory = 0x00EBFA20;
constexpr std::uintptr_t kMovieValueRetain = 0x00ECB160;
constexpr std::uintptr_t kMovieValueDrop = 0x00ECB1C0;
constexpr std::uintptr_t kMovieArrayAppend = 0x00ECB3E0;
constexpr std::uintptr_t kMenuBaseDestroy = 0x00ECD8D0;
constexpr std::uintptr_t kMenuBaseSlot5 = 0x00ECD980;
constexpr std::uintptr_t kMenuBaseSlot8 = 0x00ECDA50;
constexpr std::uintptr_t kAttachMovieToMenu = 0x00ECE870;
constexpr std::uintptr_t kCastRuntimeType = 0x01363522;

// Data placed in the image.
constexpr std::uintptr_t kHealthExtraVtable = 0x015460B0;
constexpr std::uintptr_t kTdFormBase = 0x01E36E80;
constexpr std::uintptr_t kTdFullName = 0x01E36F50;
constexpr std::uintptr_t kTdExtraData = 0x01E380B0;
constexpr std::uintptr_t kTdExtraWorn = 0x01E382B0;
constexpr std::uintptr_t kTdExtraWornLeft = 0x01E382D0;
constexpr std::uintptr_t kTdExtraHealth = 0x01E38348;
constexpr std::uintptr_t kTdExtraPoison = 0x01E385D8;
constexpr std::uintptr_t kTdExtraMarker = 0x01E39030;
constexpr std::uintptr_t kTdExtraContainerChanges = 0x01E39CC0;
constexpr std::uintptr_t kTdInputEvent = 0x01E69880;
constexpr std::uintptr_t kTdButtonEvent = 0x01E698A8;
constexpr std::uintptr_t kMemoryManager = 0x01EE4280;
constexpr std::uintptr_t kDataHandlerPtr = 0x01EE5428;
constexpr std::uintptr_t kMenuManagerPtr = 0x01EE5B20;
constexpr std::uintptr_t kUIMessageQueuePtr = 0x01EE7A70;
constexpr std::uintptr_t kInterfaceStringsPtr = 0x01EE7A78;
constexpr std::uintptr_t kMovieManagerPtr = 0x02F4C7A0;
constexpr std::uintptr_t kInputEventSourcePtr = 0x02F4C7A8;
constexpr std::uintptr_t kWorldPtr = 0x02F4DB20;
constexpr std::uintptr_t kPlayerPtr = 0x02F4DEF8;
constexpr std::uintptr_t kUpdateEventSource = 0x02F4F028;
constexpr std::uintptr_t kMovieHeapPtr = 0x03059C50;

// The double's own scratch space inside the image, above everything the
// game uses: type descriptors and class tables it builds at run time.
constexpr std::uintptr_t kDoubleScratch = 0x030A0000;
constexpr std::uintptr_t kImageSize = 0x03670000;

constexpr std::uintptr_t kLowestBinding = kStackCountOf;

}  // namespace gd::off
