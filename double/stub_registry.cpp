#include "stub_registry.h"

#include "runtime_offsets.h"

namespace gd {

std::vector<StubEntry>& StubEntries() {
  static std::vector<StubEntry> entries;
  return entries;
}

const std::vector<BindingName>& AllFunctionBindings() {
  static const std::vector<BindingName> names = {
      {&RuntimeOffsets::stackCountOf, "StackCountOf"},
      {&RuntimeOffsets::extraListUnbreakable, "ExtraListUnbreakable"},
      {&RuntimeOffsets::postMenuMessage, "PostMenuMessage"},
      {&RuntimeOffsets::scriptEventSources, "ScriptEventSources"},
      {&RuntimeOffsets::findFormById, "FindFormById"},
      {&RuntimeOffsets::entryDisplayName, "EntryDisplayName"},
      {&RuntimeOffsets::referenceOwner, "ReferenceOwner"},
      {&RuntimeOffsets::detachSink, "DetachSink"},
      {&RuntimeOffsets::attachSink, "AttachSink"},
      {&RuntimeOffsets::actorLevel, "ActorLevel"},
      {&RuntimeOffsets::refreshAfterRemoval, "RefreshAfterRemoval"},
      {&RuntimeOffsets::hudNotify, "HudNotify"},
      {&RuntimeOffsets::debugNotification, "DebugNotification"},
      {&RuntimeOffsets::gameHeapAlloc, "GameHeapAlloc"},
      {&RuntimeOffsets::gameHeapRelease, "GameHeapRelease"},
      {&RuntimeOffsets::hashInternedKey, "HashInternedKey"},
      {&RuntimeOffsets::internString, "InternString"},
      {&RuntimeOffsets::menuOpenQuery, "MenuOpenQuery"},
      {&RuntimeOffsets::registerMenuFactory, "RegisterMenuFactory"},
      {&RuntimeOffsets::movieValueRetain, "MovieValueRetain"},
      {&RuntimeOffsets::movieValueDrop, "MovieValueDrop"},
      {&RuntimeOffsets::movieArrayAppend, "MovieArrayAppend"},
      {&RuntimeOffsets::menuBaseDestroy, "MenuBaseDestroy"},
      {&RuntimeOffsets::menuBaseSlot5, "MenuBaseSlot5"},
      {&RuntimeOffsets::menuBaseSlot8, "MenuBaseSlot8"},
      {&RuntimeOffsets::attachMovieToMenu, "AttachMovieToMenu"},
      {&RuntimeOffsets::castRuntimeType, "CastRuntimeType"},
  };
  return names;
}

}  // namespace gd
