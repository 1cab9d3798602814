// The runtimes the double simulates, by name, and every entry of their tables.
#include "runtime_offsets.h"

#include <array>

namespace gd {
namespace {

using Entry = Placed RuntimeOffsets::*;

constexpr std::array<Entry, 50> kEveryEntry = {
    &RuntimeOffsets::stackCountOf,
    &RuntimeOffsets::extraListUnbreakable,
    &RuntimeOffsets::postMenuMessage,
    &RuntimeOffsets::scriptEventSources,
    &RuntimeOffsets::findFormById,
    &RuntimeOffsets::entryDisplayName,
    &RuntimeOffsets::referenceOwner,
    &RuntimeOffsets::detachSink,
    &RuntimeOffsets::attachSink,
    &RuntimeOffsets::actorLevel,
    &RuntimeOffsets::refreshAfterRemoval,
    &RuntimeOffsets::hudNotify,
    &RuntimeOffsets::debugNotification,
    &RuntimeOffsets::gameHeapAlloc,
    &RuntimeOffsets::gameHeapRelease,
    &RuntimeOffsets::hashInternedKey,
    &RuntimeOffsets::internString,
    &RuntimeOffsets::menuOpenQuery,
    &RuntimeOffsets::registerMenuFactory,
    &RuntimeOffsets::movieValueRetain,
    &RuntimeOffsets::movieValueDrop,
    &RuntimeOffsets::movieArrayAppend,
    &RuntimeOffsets::menuBaseDestroy,
    &RuntimeOffsets::menuBaseSlot5,
    &RuntimeOffsets::menuBaseSlot8,
    &RuntimeOffsets::attachMovieToMenu,
    &RuntimeOffsets::castRuntimeType,
    &RuntimeOffsets::healthExtraVtable,
    &RuntimeOffsets::tdFormBase,
    &RuntimeOffsets::tdFullName,
    &RuntimeOffsets::tdExtraData,
    &RuntimeOffsets::tdExtraWorn,
    &RuntimeOffsets::tdExtraWornLeft,
    &RuntimeOffsets::tdExtraHealth,
    &RuntimeOffsets::tdExtraPoison,
    &RuntimeOffsets::tdExtraMarker,
    &RuntimeOffsets::tdExtraContainerChanges,
    &RuntimeOffsets::tdInputEvent,
    &RuntimeOffsets::tdButtonEvent,
    &RuntimeOffsets::memoryManager,
    &RuntimeOffsets::dataHandlerPtr,
    &RuntimeOffsets::menuManagerPtr,
    &RuntimeOffsets::uiMessageQueuePtr,
    &RuntimeOffsets::interfaceStringsPtr,
    &RuntimeOffsets::movieManagerPtr,
    &RuntimeOffsets::inputEventSourcePtr,
    &RuntimeOffsets::worldPtr,
    &RuntimeOffsets::playerPtr,
    &RuntimeOffsets::updateEventSource,
    &RuntimeOffsets::movieHeapPtr,
};
static_assert(sizeof(RuntimeOffsets) ==
                  offsetof(RuntimeOffsets, stackCountOf) + kEveryEntry.size() * sizeof(Placed) + sizeof(std::uintptr_t),
              "every Placed of the table is listed once");

const RuntimeOffsets* const kSimulated[] = {&Runtime1_5_39(), &Runtime1_5_97(), &Runtime1_6_1170()};

}  // namespace

std::vector<Placed> EveryPlaced(const RuntimeOffsets& runtime) {
  std::vector<Placed> placed;
  for (Entry entry : kEveryEntry) placed.push_back(runtime.*entry);
  return placed;
}

const RuntimeOffsets* FindRuntime(const std::string& name) {
  for (const RuntimeOffsets* runtime : kSimulated) {
    if (name == runtime->name) return runtime;
  }
  return nullptr;
}

std::string SimulatedRuntimeNames() {
  std::string names;
  for (const RuntimeOffsets* runtime : kSimulated) names += (names.empty() ? "" : ", ") + std::string(runtime->name);
  return names;
}

}  // namespace gd
