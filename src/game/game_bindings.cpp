#include "game/game_bindings.h"

#include "game/game_ids.h"
#include "game/game_offsets.h"

#include <type_traits>

namespace qm::game {
namespace {

// Nothing in the library: found another way on the runtimes that have one.
constexpr ids::LibraryId kNoLibraryId{0, 0};

template <typename T>
T At(std::uintptr_t base, std::uintptr_t offset) {
  return reinterpret_cast<T>(base + offset);
}

// Every binding, with where each runtime keeps it: its offset on 1.5.39 and
// its library id on the others. `place(field, offset, id)` fills the field;
// the visits always go in this order, so a library's offsets can be handed
// over as a plain array.
template <typename Place>
void PlaceBindings(GameBindings& b, Place&& place) {
  namespace o = offsets;
  place(b.StackCountOf, o::StackCountOf, ids::StackCountOf);
  place(b.ExtraListUnbreakable, o::ExtraListUnbreakable, ids::ExtraListUnbreakable);
  place(b.PostMenuMessage, o::PostMenuMessage, ids::PostMenuMessage);
  place(b.ScriptEventSources, o::ScriptEventSources, ids::ScriptEventSources);
  place(b.FindFormById, o::FindFormById, ids::FindFormById);
  place(b.EntryDisplayName, o::EntryDisplayName, ids::EntryDisplayName);
  place(b.ReferenceOwner, o::ReferenceOwner, ids::ReferenceOwner);
  place(b.DetachSink, o::DetachSink, ids::DetachSink);
  place(b.AttachSink, o::AttachSink, ids::AttachSink);
  place(b.ActorLevel, o::ActorLevel, ids::ActorLevel);
  place(b.RefreshAfterRemoval, o::RefreshAfterRemoval, ids::RefreshAfterRemoval);
  place(b.HudNotify, o::HudNotify, ids::DebugNotification);
  place(b.GameHeapAlloc, o::GameHeapAlloc, ids::GameHeapAlloc);
  place(b.GameHeapRelease, o::GameHeapRelease, ids::GameHeapRelease);
  place(b.HashInternedKey, o::HashInternedKey, ids::HashInternedKey);
  place(b.InternString, o::InternString, ids::InternString);
  place(b.MenuOpenQuery, o::MenuOpenQuery, ids::MenuOpenQuery);
  place(b.RegisterMenuFactory, o::RegisterMenuFactory, ids::RegisterMenuFactory);
  place(b.MovieValueRetain, o::MovieValueRetain, ids::MovieValueRetain);
  place(b.MovieValueDrop, o::MovieValueDrop, ids::MovieValueDrop);
  place(b.MovieArrayAppend, o::MovieArrayAppend, ids::MovieArrayAppend);
  place(b.MenuBaseDestroy, o::MenuBaseDestroy, ids::MenuBaseDestroy);
  place(b.MenuBaseSlot5, o::MenuBaseSlot5, ids::MenuBaseSlot5);
  place(b.MenuBaseSlot8, o::MenuBaseSlot8, ids::MenuBaseSlot8);
  place(b.AttachMovieToMenu, o::AttachMovieToMenu, ids::AttachMovieToMenu);
  place(b.CastRuntimeType, o::CastRuntimeType, ids::CastRuntimeType);

  place(b.HealthExtraDispatch, o::HealthExtraDispatch, ids::HealthExtraDispatch);
  place(b.TypeFormBase, o::TypeFormBase, ids::TypeFormBase);
  place(b.TypeFullName, o::TypeFullName, ids::TypeFullName);
  place(b.TypeExtraDataBase, o::TypeExtraDataBase, ids::TypeExtraDataBase);
  place(b.TypeInputEvent, o::TypeInputEvent, ids::TypeInputEvent);
  place(b.TypeButtonEvent, o::TypeButtonEvent, ids::TypeButtonEvent);
  place(b.Heap, o::GameHeap, ids::GameHeap);
  place(b.DataHandler, o::DataHandler, ids::DataHandler);
  place(b.MenuManagerPtr, o::MenuManager, ids::MenuManager);
  place(b.MenuMessageQueue, o::MenuMessageQueue, ids::MenuMessageQueue);
  place(b.InterfaceStrings, o::InterfaceStrings, ids::InterfaceStrings);
  place(b.MovieManager, o::MovieManager, ids::MovieManager);
  place(b.InputEventSource, o::InputEventSource, ids::InputEventSource);
  place(b.World, o::World, ids::World);
  place(b.Player, o::Player, ids::Player);
  place(b.UpdateEventSource, o::UpdateEventSource, kNoLibraryId);
  place(b.MovieHeap, o::MovieHeap, ids::MovieHeap);
  for (std::uint32_t type = 0; type < kExtraDataTypeCount; ++type) {
    if (o::ExtraTypeDescriptor(type) != 0) {
      place(b.ExtraTypeDescriptors[type], o::ExtraTypeDescriptor(type), ids::ExtraTypeDescriptor(type));
    }
  }
}

std::uint64_t IdOf(const ids::LibraryId& id, RuntimeFamily family) {
  return family == RuntimeFamily::kSpecialEdition ? id.se : id.ae;
}

}  // namespace

GameBindings FormBindings(std::uintptr_t base) {
  GameBindings b{};
  PlaceBindings(b, [base](auto& field, std::uintptr_t offset, const ids::LibraryId&) {
    field = At<std::remove_reference_t<decltype(field)>>(base, offset);
  });
  return b;
}

std::size_t LibraryIdsNeeded(RuntimeFamily family, std::uint64_t* out, std::size_t capacity) {
  GameBindings unused{};
  std::size_t count = 0;
  PlaceBindings(unused, [&](auto&, std::uintptr_t, const ids::LibraryId& id) {
    const std::uint64_t wanted = IdOf(id, family);
    if (wanted == 0) return;
    if (count < capacity) out[count] = wanted;
    ++count;
  });
  return count;
}

GameBindings FormBindingsFromLibrary(std::uintptr_t base, RuntimeFamily family, const std::uint64_t* offsets) {
  GameBindings b{};
  std::size_t next = 0;
  PlaceBindings(b, [&](auto& field, std::uintptr_t, const ids::LibraryId& id) {
    if (IdOf(id, family) == 0) return;  // stays null
    field = At<std::remove_reference_t<decltype(field)>>(base, offsets[next++]);
  });
  return b;
}

}  // namespace qm::game
