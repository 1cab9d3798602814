#include "stub_registry.h"

#include "double_offsets.h"

namespace gd {

std::vector<StubEntry>& StubEntries() {
  static std::vector<StubEntry> entries;
  return entries;
}

const std::vector<BindingName>& AllFunctionBindings() {
  static const std::vector<BindingName> names = {
      {off::kStackCountOf, "StackCountOf"},
      {off::kExtraListUnbreakable, "ExtraListUnbreakable"},
      {off::kPostMenuMessage, "PostMenuMessage"},
      {off::kScriptEventSources, "ScriptEventSources"},
      {off::kFindFormById, "FindFormById"},
      {off::kEntryDisplayName, "EntryDisplayName"},
      {off::kReferenceOwner, "ReferenceOwner"},
      {off::kDetachSink, "DetachSink"},
      {off::kAttachSink, "AttachSink"},
      {off::kActorLevel, "ActorLevel"},
      {off::kRefreshAfterRemoval, "RefreshAfterRemoval"},
      {off::kHudNotify, "HudNotify"},
      {off::kGameHeapAlloc, "GameHeapAlloc"},
      {off::kGameHeapRelease, "GameHeapRelease"},
      {off::kHashInternedKey, "HashInternedKey"},
      {off::kInternString, "InternString"},
      {off::kMenuOpenQuery, "MenuOpenQuery"},
      {off::kRegisterMenuFactory, "RegisterMenuFactory"},
      {off::kMovieValueRetain, "MovieValueRetain"},
      {off::kMovieValueDrop, "MovieValueDrop"},
      {off::kMovieArrayAppend, "MovieArrayAppend"},
      {off::kMenuBaseDestroy, "MenuBaseDestroy"},
      {off::kMenuBaseSlot5, "MenuBaseSlot5"},
      {off::kMenuBaseSlot8, "MenuBaseSlot8"},
      {off::kAttachMovieToMenu, "AttachMovieToMenu"},
      {off::kCastRuntimeType, "CastRuntimeType"},
  };
  return names;
}

}  // namespace gd
