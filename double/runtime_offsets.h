#pragma once
// Where one runtime of the game keeps everything the double places in its
// image, with each thing's Address Library id on the runtimes that have one.
// The double's own tables, written from the public sources independently of
// the plug-in's: a wrong id or offset on either side fails a test.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gd {

// One function or datum of the game: its offset from the image base and its
// Address Library id (0 on 1.5.39, which has no library, and for the things
// no public source identifies on that runtime).
struct Placed {
  std::uint64_t id;
  std::uintptr_t offset;  // 0: this runtime's double does not place it
};

enum class LayoutFamily : std::uint8_t {
  kSpecialEdition,  // 1.5.x
  kAnniversary,     // 1.6.629 and later: the moved extra-data list, actor and cell fields
};

struct RuntimeOffsets {
  const char* name;              // "1.5.97"
  std::uint32_t runtimeVersion;  // as the script extender reports it
  std::uint32_t libraryFormat;   // 0: no library (1.5.39); 1: version-*.bin; 2: versionlib-*.bin
  LayoutFamily layout;

  // Functions: a jump to the double's implementation is written here.
  Placed stackCountOf, extraListUnbreakable, postMenuMessage, scriptEventSources, findFormById, entryDisplayName,
      referenceOwner, detachSink, attachSink, actorLevel, refreshAfterRemoval, hudNotify, debugNotification,
      gameHeapAlloc, gameHeapRelease, hashInternedKey, internString, menuOpenQuery, registerMenuFactory,
      movieValueRetain, movieValueDrop, movieArrayAppend, menuBaseDestroy, menuBaseSlot5, menuBaseSlot8,
      attachMovieToMenu, castRuntimeType;

  // Data placed in the image.
  Placed healthExtraVtable, tdFormBase, tdFullName, tdExtraData, tdExtraWorn, tdExtraWornLeft, tdExtraHealth,
      tdExtraPoison, tdExtraMarker, tdExtraContainerChanges, tdInputEvent, tdButtonEvent, memoryManager, dataHandlerPtr,
      menuManagerPtr, uiMessageQueuePtr, interfaceStringsPtr, movieManagerPtr, inputEventSourcePtr, worldPtr, playerPtr,
      updateEventSource, movieHeapPtr;

  // The double's own scratch space, above everything the game uses.
  std::uintptr_t doubleScratch;
};

// The double's scratch space: the physics plug-in's information and class
// tables, and the update event source where no public source places it.
inline constexpr std::uintptr_t kScratchBytes = 0x60000;
// How large the world's image is for the runtime: up to the end of scratch.
inline constexpr std::uintptr_t ImageSizeOf(const RuntimeOffsets& runtime) {
  return runtime.doubleScratch + kScratchBytes;
}

// The runtime the active world simulates.
const RuntimeOffsets& Off();

const RuntimeOffsets& Runtime1_5_39();
const RuntimeOffsets& Runtime1_5_97();
const RuntimeOffsets& Runtime1_6_1170();

// The simulated runtime of that name ("1.5.97"), or null.
const RuntimeOffsets* FindRuntime(const std::string& name);
// "1.5.39, 1.5.97, 1.6.1170", for messages.
std::string SimulatedRuntimeNames();
// Every entry of the table, functions and data.
std::vector<Placed> EveryPlaced(const RuntimeOffsets& runtime);

}  // namespace gd
