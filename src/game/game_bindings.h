#pragma once
// GameBindings: every function and datum of the game the plug-in uses, each
// formed as ModuleBase + its offset: during static initialisation from the
// compiled 1.5.39 offsets, and again at the query on a runtime whose offsets
// come from the Address Library. The
// types are the calls as MSVC compiled them: a by-value class result becomes
// a hidden pointer after the object, strings passed by reference arrive as the
// address of the handle, and yes/no answers are one-byte bools.
#include "game/game_constants.h"
#include "game/game_runtime.h"
#include "game/game_types.h"

#include <cstdint>

namespace qm::game {

struct GameHeap;
struct MenuManager;
struct IMenu;
struct MovieView;
struct MovieValue;
struct InventoryEntryRecord;

using MenuFactory = IMenu* (*)();

struct GameBindings {
  std::int16_t (*StackCountOf)(ExtraDataList* list);
  bool (*ExtraListUnbreakable)(ExtraDataList* list);
  void (*PostMenuMessage)(void* queue, const InternedString* menuName, std::uint32_t type, void* data);
  void* (*ScriptEventSources)();
  TESForm* (*FindFormById)(std::uint32_t formId);
  const char* (*EntryDisplayName)(InventoryEntryRecord* record);
  TESForm* (*ReferenceOwner)(Reference* reference);
  void (*DetachSink)(EventSource* source, Sink* sink);
  void (*AttachSink)(EventSource* source, Sink* sink);
  std::uint16_t (*ActorLevel)(Actor* actor);
  void (*RefreshAfterRemoval)(void* process, Actor* actor);
  void (*HudNotify)(const char* text, const char* sound, bool cancelIfQueued);
  void* (*GameHeapAlloc)(GameHeap* heap, std::size_t size, std::uint32_t alignment, bool aligned);
  void (*GameHeapRelease)(GameHeap* heap, void* memory, bool aligned);
  void (*HashInternedKey)(std::uint32_t* hash, const char* key);
  InternedString* (*InternString)(InternedString* out, const char* text);
  bool (*MenuOpenQuery)(MenuManager* manager, const InternedString* menuName);
  void (*RegisterMenuFactory)(MenuManager* manager, const char* menuName, MenuFactory create);
  void (*MovieValueRetain)(void* objectInterface, MovieValue* value, void* payload);
  void (*MovieValueDrop)(void* objectInterface, MovieValue* value, void* payload);
  bool (*MovieArrayAppend)(void* objectInterface, void* arrayPayload, const MovieValue* element);
  void (*MenuBaseDestroy)(IMenu* menu);
  void (*MenuBaseSlot5)(IMenu* menu, float interval, std::uint32_t time);
  void (*MenuBaseSlot8)(IMenu* menu, MovieView* view, void* a3, void* a4);
  bool (*AttachMovieToMenu)(void* movieManager, IMenu* menu, MovieView** viewField, const char* movieName,
                            std::int32_t mode, float scale);
  void* (*CastRuntimeType)(void* object, std::int32_t vfDelta, const void* fromType, const void* toType,
                           std::int32_t isReference);

  const void* HealthExtraDispatch;  // the table itself
  const void* TypeFormBase;         // type descriptors
  const void* TypeFullName;
  const void* TypeExtraDataBase;
  const void* TypeInputEvent;
  const void* TypeButtonEvent;
  GameHeap* Heap;      // the heap object itself
  void** DataHandler;  // each of these holds a pointer
  MenuManager** MenuManagerPtr;
  void** MenuMessageQueue;
  void** InterfaceStrings;
  void** MovieManager;
  EventSource** InputEventSource;
  void** World;
  Actor** Player;
  EventSource* UpdateEventSource;  // the source itself; null where no public source identifies it
  void** MovieHeap;

  // Cast targets of the extra-data look-up, by extra-data type; null for
  // types the plug-in never asks for.
  const void* ExtraTypeDescriptors[kExtraDataTypeCount];
};

// From the offsets compiled in (runtime 1.5.39).
GameBindings FormBindings(std::uintptr_t moduleBase);

// The library ids a runtime family needs, in the order FormBindingsFromLibrary
// takes their offsets. Returns how many there are (more than capacity: only
// the first capacity are written).
std::size_t LibraryIdsNeeded(RuntimeFamily family, std::uint64_t* ids, std::size_t capacity);
inline constexpr std::size_t kMaxLibraryIds = 64;
// offsets[i] is where the library puts the i-th id LibraryIdsNeeded gave.
// Bindings with no id in the family (the update event source) stay null.
GameBindings FormBindingsFromLibrary(std::uintptr_t moduleBase, RuntimeFamily family, const std::uint64_t* offsets);

// The game executable's load address, read once during static
// initialisation before any binding is formed.
extern const std::uintptr_t ModuleBase;
// Formed for 1.5.39 at static initialisation; formed anew by a query that
// accepts a runtime of the library, before anything calls the game.
extern GameBindings Bindings;

}  // namespace qm::game
