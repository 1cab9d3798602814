// Runtime 1.5.39, the double's original runtime: the offsets of
// double_offsets.h. There is no Address Library for it, so every id is 0; the
// Papyrus notification is not placed, the HUD's own function is.
#include "double_offsets.h"
#include "runtime_offsets.h"

namespace gd {
namespace {

constexpr Placed At(std::uintptr_t offset) { return {0, offset}; }

}  // namespace

const RuntimeOffsets& Runtime1_5_39() {
  static const RuntimeOffsets kTable{
      .name = "1.5.39",
      .runtimeVersion = 0x01050270,
      .libraryFormat = 0,
      .layout = LayoutFamily::kSpecialEdition,
      .stackCountOf = At(off::kStackCountOf),
      .extraListUnbreakable = At(off::kExtraListUnbreakable),
      .postMenuMessage = At(off::kPostMenuMessage),
      .scriptEventSources = At(off::kScriptEventSources),
      .findFormById = At(off::kFindFormById),
      .entryDisplayName = At(off::kEntryDisplayName),
      .referenceOwner = At(off::kReferenceOwner),
      .detachSink = At(off::kDetachSink),
      .attachSink = At(off::kAttachSink),
      .actorLevel = At(off::kActorLevel),
      .refreshAfterRemoval = At(off::kRefreshAfterRemoval),
      .hudNotify = At(off::kHudNotify),
      .debugNotification = {0, 0},
      .gameHeapAlloc = At(off::kGameHeapAlloc),
      .gameHeapRelease = At(off::kGameHeapRelease),
      .hashInternedKey = At(off::kHashInternedKey),
      .internString = At(off::kInternString),
      .menuOpenQuery = At(off::kMenuOpenQuery),
      .registerMenuFactory = At(off::kRegisterMenuFactory),
      .movieValueRetain = At(off::kMovieValueRetain),
      .movieValueDrop = At(off::kMovieValueDrop),
      .movieArrayAppend = At(off::kMovieArrayAppend),
      .menuBaseDestroy = At(off::kMenuBaseDestroy),
      .menuBaseSlot5 = At(off::kMenuBaseSlot5),
      .menuBaseSlot8 = At(off::kMenuBaseSlot8),
      .attachMovieToMenu = At(off::kAttachMovieToMenu),
      .castRuntimeType = At(off::kCastRuntimeType),
      .healthExtraVtable = At(off::kHealthExtraVtable),
      .tdFormBase = At(off::kTdFormBase),
      .tdFullName = At(off::kTdFullName),
      .tdExtraData = At(off::kTdExtraData),
      .tdExtraWorn = At(off::kTdExtraWorn),
      .tdExtraWornLeft = At(off::kTdExtraWornLeft),
      .tdExtraHealth = At(off::kTdExtraHealth),
      .tdExtraPoison = At(off::kTdExtraPoison),
      .tdExtraMarker = At(off::kTdExtraMarker),
      .tdExtraContainerChanges = At(off::kTdExtraContainerChanges),
      .tdInputEvent = At(off::kTdInputEvent),
      .tdButtonEvent = At(off::kTdButtonEvent),
      .memoryManager = At(off::kMemoryManager),
      .dataHandlerPtr = At(off::kDataHandlerPtr),
      .menuManagerPtr = At(off::kMenuManagerPtr),
      .uiMessageQueuePtr = At(off::kUIMessageQueuePtr),
      .interfaceStringsPtr = At(off::kInterfaceStringsPtr),
      .movieManagerPtr = At(off::kMovieManagerPtr),
      .inputEventSourcePtr = At(off::kInputEventSourcePtr),
      .worldPtr = At(off::kWorldPtr),
      .playerPtr = At(off::kPlayerPtr),
      .updateEventSource = At(off::kUpdateEventSource),
      .movieHeapPtr = At(off::kMovieHeapPtr),
      .doubleScratch = off::kDoubleScratch,
  };
  return kTable;
}

}  // namespace gd
