// Runtime 1.5.39: the offsets of double_offsets.h. It has no Address Library,
// and the function Papyrus's notification calls is not placed: the plug-in
// shows its messages through the HUD's own function there.
#include "double_offsets.h"
#include "runtime_offsets.h"

namespace gd {

const RuntimeOffsets& Runtime1_5_39() {
  static const RuntimeOffsets table{
      .name = "1.5.39",
      .runtimeVersion = 0x01050270,
      .libraryFormat = 0,
      .layout = LayoutFamily::kSpecialEdition,
      .stackCountOf = {0, off::kStackCountOf},
      .extraListUnbreakable = {0, off::kExtraListUnbreakable},
      .postMenuMessage = {0, off::kPostMenuMessage},
      .scriptEventSources = {0, off::kScriptEventSources},
      .findFormById = {0, off::kFindFormById},
      .entryDisplayName = {0, off::kEntryDisplayName},
      .referenceOwner = {0, off::kReferenceOwner},
      .detachSink = {0, off::kDetachSink},
      .attachSink = {0, off::kAttachSink},
      .actorLevel = {0, off::kActorLevel},
      .refreshAfterRemoval = {0, off::kRefreshAfterRemoval},
      .hudNotify = {0, off::kHudNotify},
      .debugNotification = {0, 0},
      .gameHeapAlloc = {0, off::kGameHeapAlloc},
      .gameHeapRelease = {0, off::kGameHeapRelease},
      .hashInternedKey = {0, off::kHashInternedKey},
      .internString = {0, off::kInternString},
      .menuOpenQuery = {0, off::kMenuOpenQuery},
      .registerMenuFactory = {0, off::kRegisterMenuFactory},
      .movieValueRetain = {0, off::kMovieValueRetain},
      .movieValueDrop = {0, off::kMovieValueDrop},
      .movieArrayAppend = {0, off::kMovieArrayAppend},
      .menuBaseDestroy = {0, off::kMenuBaseDestroy},
      .menuBaseSlot5 = {0, off::kMenuBaseSlot5},
      .menuBaseSlot8 = {0, off::kMenuBaseSlot8},
      .attachMovieToMenu = {0, off::kAttachMovieToMenu},
      .castRuntimeType = {0, off::kCastRuntimeType},
      .healthExtraVtable = {0, off::kHealthExtraVtable},
      .tdFormBase = {0, off::kTdFormBase},
      .tdFullName = {0, off::kTdFullName},
      .tdExtraData = {0, off::kTdExtraData},
      .tdExtraWorn = {0, off::kTdExtraWorn},
      .tdExtraWornLeft = {0, off::kTdExtraWornLeft},
      .tdExtraHealth = {0, off::kTdExtraHealth},
      .tdExtraPoison = {0, off::kTdExtraPoison},
      .tdExtraMarker = {0, off::kTdExtraMarker},
      .tdExtraContainerChanges = {0, off::kTdExtraContainerChanges},
      .tdInputEvent = {0, off::kTdInputEvent},
      .tdButtonEvent = {0, off::kTdButtonEvent},
      .memoryManager = {0, off::kMemoryManager},
      .dataHandlerPtr = {0, off::kDataHandlerPtr},
      .menuManagerPtr = {0, off::kMenuManagerPtr},
      .uiMessageQueuePtr = {0, off::kUIMessageQueuePtr},
      .interfaceStringsPtr = {0, off::kInterfaceStringsPtr},
      .movieManagerPtr = {0, off::kMovieManagerPtr},
      .inputEventSourcePtr = {0, off::kInputEventSourcePtr},
      .worldPtr = {0, off::kWorldPtr},
      .playerPtr = {0, off::kPlayerPtr},
      .updateEventSource = {0, off::kUpdateEventSource},
      .movieHeapPtr = {0, off::kMovieHeapPtr},
      .doubleScratch = off::kDoubleScratch,
  };
  return table;
}

}  // namespace gd
