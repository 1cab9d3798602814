// The double's per-runtime tables of where it places the game's functions and
// data: on every runtime, what the double writes at one offset (a 14-byte
// jump, a type descriptor with its decorated name, a pointer) must not run
// into the next thing it places or into its own scratch space, and the
// library runtimes must give every placed thing an id of its own.
#include "runtime_offsets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

// What the double writes at a placed offset, and how many bytes it takes.
struct Footprint {
  const char* field;
  gd::Placed placed;
  std::uintptr_t bytes;
};

constexpr std::uintptr_t kJump = 14;
constexpr std::uintptr_t kPointer = 8;

// A type descriptor: the type_info's table pointer, a spare word, then the
// decorated name and its NUL.
constexpr std::uintptr_t Descriptor(const char* decoratedName) {
  return 0x10 + std::char_traits<char>::length(decoratedName) + 1;
}

std::vector<Footprint> FootprintsOf(const gd::RuntimeOffsets& r) {
  return {
      {"stackCountOf", r.stackCountOf, kJump},
      {"extraListUnbreakable", r.extraListUnbreakable, kJump},
      {"postMenuMessage", r.postMenuMessage, kJump},
      {"scriptEventSources", r.scriptEventSources, kJump},
      {"findFormById", r.findFormById, kJump},
      {"entryDisplayName", r.entryDisplayName, kJump},
      {"referenceOwner", r.referenceOwner, kJump},
      {"detachSink", r.detachSink, kJump},
      {"attachSink", r.attachSink, kJump},
      {"actorLevel", r.actorLevel, kJump},
      {"refreshAfterRemoval", r.refreshAfterRemoval, kJump},
      {"hudNotify", r.hudNotify, kJump},
      {"debugNotification", r.debugNotification, kJump},
      {"gameHeapAlloc", r.gameHeapAlloc, kJump},
      {"gameHeapRelease", r.gameHeapRelease, kJump},
      {"hashInternedKey", r.hashInternedKey, kJump},
      {"internString", r.internString, kJump},
      {"menuOpenQuery", r.menuOpenQuery, kJump},
      {"registerMenuFactory", r.registerMenuFactory, kJump},
      {"movieValueRetain", r.movieValueRetain, kJump},
      {"movieValueDrop", r.movieValueDrop, kJump},
      {"movieArrayAppend", r.movieArrayAppend, kJump},
      {"menuBaseDestroy", r.menuBaseDestroy, kJump},
      {"menuBaseSlot5", r.menuBaseSlot5, kJump},
      {"menuBaseSlot8", r.menuBaseSlot8, kJump},
      {"attachMovieToMenu", r.attachMovieToMenu, kJump},
      {"castRuntimeType", r.castRuntimeType, kJump},
      {"healthExtraVtable", r.healthExtraVtable, kPointer},
      {"tdFormBase", r.tdFormBase, Descriptor(".?AVTESForm@@")},
      {"tdFullName", r.tdFullName, Descriptor(".?AVTESFullName@@")},
      {"tdExtraData", r.tdExtraData, Descriptor(".?AVBSExtraData@@")},
      {"tdExtraWorn", r.tdExtraWorn, Descriptor(".?AVExtraWorn@@")},
      {"tdExtraWornLeft", r.tdExtraWornLeft, Descriptor(".?AVExtraWornLeft@@")},
      {"tdExtraHealth", r.tdExtraHealth, Descriptor(".?AVExtraHealth@@")},
      {"tdExtraPoison", r.tdExtraPoison, Descriptor(".?AVExtraPoison@@")},
      {"tdExtraMarker", r.tdExtraMarker, Descriptor(".?AVExtraLocationRefType@@")},
      {"tdExtraContainerChanges", r.tdExtraContainerChanges, Descriptor(".?AVExtraContainerChanges@@")},
      {"tdInputEvent", r.tdInputEvent, Descriptor(".?AVInputEvent@@")},
      {"tdButtonEvent", r.tdButtonEvent, Descriptor(".?AVButtonEvent@@")},
      {"memoryManager", r.memoryManager, kPointer},
      {"dataHandlerPtr", r.dataHandlerPtr, kPointer},
      {"menuManagerPtr", r.menuManagerPtr, kPointer},
      {"uiMessageQueuePtr", r.uiMessageQueuePtr, kPointer},
      {"interfaceStringsPtr", r.interfaceStringsPtr, kPointer},
      {"movieManagerPtr", r.movieManagerPtr, kPointer},
      {"inputEventSourcePtr", r.inputEventSourcePtr, kPointer},
      {"worldPtr", r.worldPtr, kPointer},
      {"playerPtr", r.playerPtr, kPointer},
      {"updateEventSource", r.updateEventSource, kPointer},
      {"movieHeapPtr", r.movieHeapPtr, kPointer},
  };
}

class RuntimeTable : public testing::TestWithParam<const gd::RuntimeOffsets& (*)()> {};

TEST_P(RuntimeTable, PlacedThingsNeitherOverlapNorReachTheScratchSpace) {
  const gd::RuntimeOffsets& table = GetParam()();
  SCOPED_TRACE(table.name);
  EXPECT_EQ(table.doubleScratch % 0x10000, 0u);
  std::vector<Footprint> placed;
  for (const Footprint& f : FootprintsOf(table)) {
    if (f.placed.offset != 0) placed.push_back(f);
  }
  std::sort(placed.begin(), placed.end(),
            [](const Footprint& a, const Footprint& b) { return a.placed.offset < b.placed.offset; });
  for (std::size_t i = 0; i < placed.size(); ++i) {
    const std::uintptr_t end = placed[i].placed.offset + placed[i].bytes;
    const std::uintptr_t limit = i + 1 < placed.size() ? placed[i + 1].placed.offset : table.doubleScratch;
    EXPECT_LE(end, limit) << placed[i].field << " at 0x" << std::hex << placed[i].placed.offset << " runs into "
                          << (i + 1 < placed.size() ? placed[i + 1].field : "the scratch space");
  }
}

TEST_P(RuntimeTable, IdsAreGivenExactlyWhereTheRuntimeHasALibrary) {
  const gd::RuntimeOffsets& table = GetParam()();
  SCOPED_TRACE(table.name);
  std::set<std::uint64_t> ids;
  for (const Footprint& f : FootprintsOf(table)) {
    if (f.placed.offset == 0 || table.libraryFormat == 0) {
      EXPECT_EQ(f.placed.id, 0u) << f.field;
    } else {
      EXPECT_NE(f.placed.id, 0u) << f.field;
      EXPECT_TRUE(ids.insert(f.placed.id).second) << f.field << " repeats id " << f.placed.id;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryRuntime, RuntimeTable,
                         testing::Values(&gd::Runtime1_5_39, &gd::Runtime1_5_97, &gd::Runtime1_6_1170),
                         [](const testing::TestParamInfo<RuntimeTable::ParamType>& info) {
                           std::string name = std::string("Runtime") + info.param().name;
                           std::replace(name.begin(), name.end(), '.', '_');
                           return name;
                         });

}  // namespace
