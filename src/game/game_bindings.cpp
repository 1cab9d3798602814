#include "game/game_bindings.h"

#include "game/game_offsets.h"

namespace qm::game {
namespace {

template <typename T>
T At(std::uintptr_t base, std::uintptr_t offset) {
  return reinterpret_cast<T>(base + offset);
}

}  // namespace

GameBindings FormBindings(std::uintptr_t base) {
  namespace o = offsets;
  GameBindings b{};
  b.StackCountOf = At<decltype(b.StackCountOf)>(base, o::StackCountOf);
  b.ExtraListUnbreakable = At<decltype(b.ExtraListUnbreakable)>(base, o::ExtraListUnbreakable);
  b.PostMenuMessage = At<decltype(b.PostMenuMessage)>(base, o::PostMenuMessage);
  b.ScriptEventSources = At<decltype(b.ScriptEventSources)>(base, o::ScriptEventSources);
  b.FindFormById = At<decltype(b.FindFormById)>(base, o::FindFormById);
  b.EntryDisplayName = At<decltype(b.EntryDisplayName)>(base, o::EntryDisplayName);
  b.ReferenceOwner = At<decltype(b.ReferenceOwner)>(base, o::ReferenceOwner);
  b.DetachSink = At<decltype(b.DetachSink)>(base, o::DetachSink);
  b.AttachSink = At<decltype(b.AttachSink)>(base, o::AttachSink);
  b.ActorLevel = At<decltype(b.ActorLevel)>(base, o::ActorLevel);
  b.RefreshAfterRemoval = At<decltype(b.RefreshAfterRemoval)>(base, o::RefreshAfterRemoval);
  b.HudNotify = At<decltype(b.HudNotify)>(base, o::HudNotify);
  b.GameHeapAlloc = At<decltype(b.GameHeapAlloc)>(base, o::GameHeapAlloc);
  b.GameHeapRelease = At<decltype(b.GameHeapRelease)>(base, o::GameHeapRelease);
  b.HashInternedKey = At<decltype(b.HashInternedKey)>(base, o::HashInternedKey);
  b.InternString = At<decltype(b.InternString)>(base, o::InternString);
  b.MenuOpenQuery = At<decltype(b.MenuOpenQuery)>(base, o::MenuOpenQuery);
  b.RegisterMenuFactory = At<decltype(b.RegisterMenuFactory)>(base, o::RegisterMenuFactory);
  b.MovieValueRetain = At<decltype(b.MovieValueRetain)>(base, o::MovieValueRetain);
  b.MovieValueDrop = At<decltype(b.MovieValueDrop)>(base, o::MovieValueDrop);
  b.MovieArrayAppend = At<decltype(b.MovieArrayAppend)>(base, o::MovieArrayAppend);
  b.MenuBaseDestroy = At<decltype(b.MenuBaseDestroy)>(base, o::MenuBaseDestroy);
  b.MenuBaseSlot5 = At<decltype(b.MenuBaseSlot5)>(base, o::MenuBaseSlot5);
  b.MenuBaseSlot8 = At<decltype(b.MenuBaseSlot8)>(base, o::MenuBaseSlot8);
  b.AttachMovieToMenu = At<decltype(b.AttachMovieToMenu)>(base, o::AttachMovieToMenu);
  b.CastRuntimeType = At<decltype(b.CastRuntimeType)>(base, o::CastRuntimeType);

  b.HealthExtraDispatch = At<const void*>(base, o::HealthExtraDispatch);
  b.TypeFormBase = At<const void*>(base, o::TypeFormBase);
  b.TypeFullName = At<const void*>(base, o::TypeFullName);
  b.TypeExtraDataBase = At<const void*>(base, o::TypeExtraDataBase);
  b.TypeInputEvent = At<const void*>(base, o::TypeInputEvent);
  b.TypeButtonEvent = At<const void*>(base, o::TypeButtonEvent);
  b.Heap = At<GameHeap*>(base, o::GameHeap);
  b.DataHandler = At<void**>(base, o::DataHandler);
  b.MenuManagerPtr = At<MenuManager**>(base, o::MenuManager);
  b.MenuMessageQueue = At<void**>(base, o::MenuMessageQueue);
  b.InterfaceStrings = At<void**>(base, o::InterfaceStrings);
  b.MovieManager = At<void**>(base, o::MovieManager);
  b.InputEventSource = At<EventSource**>(base, o::InputEventSource);
  b.World = At<void**>(base, o::World);
  b.Player = At<Actor**>(base, o::Player);
  b.UpdateEventSource = At<EventSource*>(base, o::UpdateEventSource);
  b.MovieHeap = At<void**>(base, o::MovieHeap);
  for (std::uint32_t type = 0; type < kExtraDataTypeCount; ++type) {
    const std::uintptr_t offset = o::ExtraTypeDescriptor(type);
    b.ExtraTypeDescriptors[type] = offset != 0 ? At<const void*>(base, offset) : nullptr;
  }
  return b;
}

}  // namespace qm::game
