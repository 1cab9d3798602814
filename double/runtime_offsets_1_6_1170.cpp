// Where runtime 1.6.1170 keeps everything the double places, with each
// thing's Address Library id (versionlib-1-6-1170-0.bin). Offsets are skse64
// v2.2.6's (ianpatt/skse64 tag v2.2.6, file:line beside each); the ids are
// those whose lines in alandtse/skyrim_vr_address_library's
// offsets-1-6-1170.0.csv (commit d078b594) hold exactly these offsets. The few
// things skse64 does not name are identified in docs/runtimes.md.
#include "runtime_offsets.h"

namespace gd {

const RuntimeOffsets& Runtime1_6_1170() {
  static const RuntimeOffsets kTable{
      .name = "1.6.1170",
      .runtimeVersion = 0x01064920,
      .libraryFormat = 2,
      .layout = LayoutFamily::kAnniversary,
      .stackCountOf = {11704, 0x0015F360},              // csv 1.6.1170; identified in docs/runtimes.md
      .extraListUnbreakable = {12052, 0x0016D7A0},      // csv 1.6.1170; identified in docs/runtimes.md
      .postMenuMessage = {13631, 0x001AF260},           // skse64 v2.2.6 GameMenus.h:844
      .scriptEventSources = {14298, 0x001D5230},        // skse64 v2.2.6 GameEvents.cpp:4
      .findFormById = {14617, 0x001E01A0},              // skse64 v2.2.6 GameForms.cpp:4
      .entryDisplayName = {16018, 0x00223D80},          // skse64 v2.2.6 GameExtraData.h:70
      .referenceOwner = {20194, 0x002F9E40},            // csv 1.6.1170; identified in docs/runtimes.md
      .detachSink = {29117, 0x0047E310},                // skse64 v2.2.6 GameEvents.h:45
      .attachSink = {35182, 0x005DC8C0},                // skse64 v2.2.6 GameEvents.h:43
      .actorLevel = {37334, 0x00666D00},                // skse64 v2.2.6 GameReferences.h:558
      .refreshAfterRemoval = {39395, 0x006E3B70},       // skse64 v2.2.6 GameFormComponents.h:1300
      .hudNotify = {0, 0},                              // no public source identifies it on this runtime
      .debugNotification = {52933, 0x0097A5E0},         // csv 1.6.1170; identified in docs/runtimes.md
      .gameHeapAlloc = {68115, 0x00CC40C0},             // skse64 v2.2.6 GameAPI.h:25
      .gameHeapRelease = {68117, 0x00CC4510},           // skse64 v2.2.6 GameAPI.h:26
      .hashInternedKey = {68221, 0x00CC8460},           // skse64 v2.2.6 GameUtilities.cpp:3
      .internString = {69161, 0x00CEC5D0},              // skse64 v2.2.6 GameTypes.h:130
      .menuOpenQuery = {82074, 0x00FA37B0},             // skse64 v2.2.6 GameMenus.h:1094
      .registerMenuFactory = {82086, 0x00FA5480},       // skse64 v2.2.6 GameMenus.h:1095
      .movieValueRetain = {82269, 0x00FAC6F0},          // skse64 v2.2.6 ScaleformValue.h:147
      .movieValueDrop = {82270, 0x00FAC750},            // skse64 v2.2.6 ScaleformValue.h:148
      .movieArrayAppend = {82273, 0x00FAC970},          // skse64 v2.2.6 ScaleformValue.h:135
      .menuBaseDestroy = {82305, 0x00FAED00},           // skse64 v2.2.6 GameMenus.h:104
      .menuBaseSlot5 = {82307, 0x00FAEDB0},             // skse64 v2.2.6 GameMenus.h:102
      .menuBaseSlot8 = {82310, 0x00FAF020},             // skse64 v2.2.6 GameMenus.h:101
      .attachMovieToMenu = {82325, 0x00FB0110},         // skse64 v2.2.6 ScaleformLoader.h:39
      .castRuntimeType = {109689, 0x0153CF2A},          // skse64 v2.2.6 GameRTTI.cpp:6
      .healthExtraVtable = {186687, 0x01770910},        // skse64 v2.2.6 GameExtraData.cpp:9
      .tdFormBase = {392216, 0x02038168},               // skse64 v2.2.6 GameRTTI.inl:2256
      .tdFullName = {392222, 0x02038140},               // skse64 v2.2.6 GameRTTI.inl:2258
      .tdExtraData = {392300, 0x020392B0},              // skse64 v2.2.6 GameRTTI.inl:405
      .tdExtraWorn = {392313, 0x020394B0},              // skse64 v2.2.6 GameRTTI.inl:1327
      .tdExtraWornLeft = {392314, 0x020394D0},          // skse64 v2.2.6 GameRTTI.inl:1328
      .tdExtraHealth = {392317, 0x02039548},            // skse64 v2.2.6 GameRTTI.inl:1231
      .tdExtraPoison = {392332, 0x020397D8},            // skse64 v2.2.6 GameRTTI.inl:1278
      .tdExtraMarker = {392392, 0x0203A230},            // skse64 v2.2.6 GameRTTI.inl:1251
      .tdExtraContainerChanges = {392466, 0x0203AEE8},  // skse64 v2.2.6 GameRTTI.inl:1196
      .tdInputEvent = {394890, 0x0206CDE8},             // skse64 v2.2.6 GameRTTI.inl:1561
      .tdButtonEvent = {394891, 0x0206CE10},            // skse64 v2.2.6 GameRTTI.inl:952
      .memoryManager = {400188, 0x035F11E0},            // skse64 v2.2.6 GameAPI.cpp:7
      .dataHandlerPtr = {400269, 0x020F6320},           // skse64 v2.2.6 GameData.cpp:7
      .menuManagerPtr = {400327, 0x020F6A00},           // skse64 v2.2.6 GameMenus.h:1102
      .uiMessageQueuePtr = {400445, 0x020F8950},        // skse64 v2.2.6 GameMenus.h:850
      .interfaceStringsPtr = {400446, 0x020F8958},      // skse64 v2.2.6 GameMenus.h:947
      .movieManagerPtr = {402775, 0x035F11C8},          // skse64 v2.2.6 ScaleformLoader.cpp:8
      .inputEventSourcePtr = {402776, 0x0315CEA0},      // skse64 v2.2.6 GameInput.cpp:11
      .worldPtr = {403450, 0x031872C8},                 // csv 1.6.1170; identified in docs/runtimes.md
      .playerPtr = {403521, 0x031874F8},                // skse64 v2.2.6 GameAPI.cpp:19
      .updateEventSource = {0, 0},                      // no public source identifies it on this runtime
      .movieHeapPtr = {412058, 0x03292490},             // skse64 v2.2.6 ScaleformAPI.cpp:22
      // The first 64 KiB boundary at least 64 KiB above the highest offset (the
      // memory manager at 0x035F11E0).
      .doubleScratch = 0x03610000,
  };
  return kTable;
}

}  // namespace gd
