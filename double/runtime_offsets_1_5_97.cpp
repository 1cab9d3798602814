// Where runtime 1.5.97 keeps everything the double places, with each thing's
// Address Library id (version-1-5-97-0.bin). Offsets are skse64 v2.0.20's
// (ianpatt/skse64 tag v2.0.20, file:line beside each); the ids are those whose
// records in the real library file hold exactly these offsets. The few things
// skse64 does not name are identified in docs/runtimes.md.
#include "runtime_offsets.h"

namespace gd {

const RuntimeOffsets& Runtime1_5_97() {
  static const RuntimeOffsets kTable{
      .name = "1.5.97",
      .runtimeVersion = 0x01050610,
      .libraryFormat = 1,
      .layout = LayoutFamily::kSpecialEdition,
      .stackCountOf = {11558, 0x001137B0},              // the real library file; identified in docs/runtimes.md
      .extraListUnbreakable = {11913, 0x00126650},      // the real library file; identified in docs/runtimes.md
      .postMenuMessage = {13530, 0x001652D0},           // skse64 v2.0.20 GameMenus.h:843
      .scriptEventSources = {14108, 0x00186790},        // skse64 v2.0.20 GameEvents.cpp:4
      .findFormById = {14461, 0x00194230},              // skse64 v2.0.20 GameForms.cpp:4
      .entryDisplayName = {15780, 0x001D73C0},          // skse64 v2.0.20 GameExtraData.h:70
      .referenceOwner = {19789, 0x002A6670},            // the real library file; identified in docs/runtimes.md
      .detachSink = {28367, 0x00423B70},                // skse64 v2.0.20 GameEvents.h:45
      .attachSink = {34381, 0x0056B600},                // skse64 v2.0.20 GameEvents.h:43
      .actorLevel = {36344, 0x005D62E0},                // skse64 v2.0.20 GameReferences.h:557
      .refreshAfterRemoval = {38404, 0x00650DF0},       // skse64 v2.0.20 GameFormComponents.h:1300
      .hudNotify = {0, 0},                              // no public source identifies it on this runtime
      .debugNotification = {52050, 0x008DA3D0},         // the real library file; identified in docs/runtimes.md
      .gameHeapAlloc = {66859, 0x00C02260},             // skse64 v2.0.20 GameAPI.h:11
      .gameHeapRelease = {66861, 0x00C02560},           // skse64 v2.0.20 GameAPI.h:12
      .hashInternedKey = {66964, 0x00C06570},           // skse64 v2.0.20 GameUtilities.cpp:3
      .internString = {67819, 0x00C28BF0},              // skse64 v2.0.20 GameTypes.h:130
      .menuOpenQuery = {79937, 0x00EBE150},             // skse64 v2.0.20 GameMenus.h:1100
      .registerMenuFactory = {79949, 0x00EBF9C0},       // skse64 v2.0.20 GameMenus.h:1101
      .movieValueRetain = {80244, 0x00ECB080},          // skse64 v2.0.20 ScaleformValue.h:147
      .movieValueDrop = {80245, 0x00ECB0E0},            // skse64 v2.0.20 ScaleformValue.h:148
      .movieArrayAppend = {80248, 0x00ECB300},          // skse64 v2.0.20 ScaleformValue.h:135
      .menuBaseDestroy = {80282, 0x00ECD7F0},           // skse64 v2.0.20 GameMenus.h:104
      .menuBaseSlot5 = {80284, 0x00ECD8A0},             // skse64 v2.0.20 GameMenus.h:102
      .menuBaseSlot8 = {80287, 0x00ECD970},             // skse64 v2.0.20 GameMenus.h:101
      .attachMovieToMenu = {80302, 0x00ECE790},         // skse64 v2.0.20 ScaleformLoader.h:40
      .castRuntimeType = {102238, 0x0134BDB0},          // skse64 v2.0.20 GameRTTI.cpp:5
      .healthExtraVtable = {229541, 0x0152C060},        // skse64 v2.0.20 GameExtraData.cpp:9
      .tdFormBase = {513848, 0x01E10E30},               // skse64 v2.0.20 GameRTTI.inl:245
      .tdFullName = {513854, 0x01E10F00},               // skse64 v2.0.20 GameRTTI.inl:8
      .tdExtraData = {513883, 0x01E12060},              // skse64 v2.0.20 GameRTTI.inl:29
      .tdExtraWorn = {684650, 0x01E12260},              // skse64 v2.0.20 GameRTTI.inl:41
      .tdExtraWornLeft = {684651, 0x01E12280},          // skse64 v2.0.20 GameRTTI.inl:42
      .tdExtraHealth = {684654, 0x01E122F8},            // skse64 v2.0.20 GameRTTI.inl:45
      .tdExtraPoison = {684665, 0x01E12588},            // skse64 v2.0.20 GameRTTI.inl:60
      .tdExtraMarker = {684725, 0x01E12FE0},            // skse64 v2.0.20 GameRTTI.inl:119
      .tdExtraContainerChanges = {684776, 0x01E13C70},  // skse64 v2.0.20 GameRTTI.inl:171
      .tdInputEvent = {687041, 0x01E43830},             // skse64 v2.0.20 GameRTTI.inl:1149
      .tdButtonEvent = {687042, 0x01E43858},            // skse64 v2.0.20 GameRTTI.inl:1150
      .memoryManager = {514110, 0x01EBD280},            // skse64 v2.0.20 GameAPI.cpp:4
      .dataHandlerPtr = {514141, 0x01EBE428},           // skse64 v2.0.20 GameData.cpp:7
      .menuManagerPtr = {514178, 0x01EBEB20},           // skse64 v2.0.20 GameMenus.h:1108
      .uiMessageQueuePtr = {514285, 0x01EC0A70},        // skse64 v2.0.20 GameMenus.h:849
      .interfaceStringsPtr = {514286, 0x01EC0A78},      // skse64 v2.0.20 GameMenus.h:946
      .movieManagerPtr = {516573, 0x02F257A0},          // skse64 v2.0.20 ScaleformLoader.cpp:8
      .inputEventSourcePtr = {516574, 0x02F257A8},      // skse64 v2.0.20 GameInput.cpp:11
      .worldPtr = {516923, 0x02F26B20},                 // the real library file; identified in docs/runtimes.md
      .playerPtr = {517014, 0x02F26EF8},                // skse64 v2.0.20 GameAPI.cpp:16
      .updateEventSource = {0, 0},                      // no public source identifies it on this runtime
      .movieHeapPtr = {525584, 0x03032C50},             // skse64 v2.0.20 ScaleformAPI.cpp:22
      // The first 64 KiB boundary at least 64 KiB above the highest offset (the
      // GFx heap pointer at 0x03032C50).
      .doubleScratch = 0x03050000,
  };
  return kTable;
}

}  // namespace gd
