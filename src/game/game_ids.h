#pragma once
// Every function and datum of the game the plug-in uses, by its Address
// Library id: one id for the Special Edition runtimes (1.5.97, files
// version-*.bin) and one for the Anniversary Edition (1.6.629 and later,
// files versionlib-*.bin). The library file installed for the running game
// turns an id into that runtime's offset from the image base. Names follow
// game_offsets.h; docs/runtimes.md records each id's source and how it was
// checked on every runtime.
#include "game/game_constants.h"

#include <cstdint>

namespace qm::game::ids {

struct LibraryId {
  std::uint64_t se;  // 1.5.97
  std::uint64_t ae;  // 1.6.629 and later (and 1.6.317 to 1.6.353)
};

// Functions.
inline constexpr LibraryId StackCountOf{11558, 11704};          // ExtraDataList::GetCount (AE id inferred, see docs)
inline constexpr LibraryId ExtraListUnbreakable{11913, 12052};  // ExtraDataList::HasQuestObjectAlias
inline constexpr LibraryId PostMenuMessage{13530, 13631};       // UIMessageQueue::AddMessage (UIManager)
inline constexpr LibraryId ScriptEventSources{14108, 14298};    // ScriptEventSourceHolder::GetSingleton
inline constexpr LibraryId FindFormById{14461, 14617};          // LookupFormByID
inline constexpr LibraryId EntryDisplayName{15780, 16018};      // InventoryEntryData::GenerateName
inline constexpr LibraryId ReferenceOwner{19789, 20194};        // TESObjectREFR::GetOwner
inline constexpr LibraryId DetachSink{28367, 29117};            // BSTEventSource::RemoveEventSink_Internal
inline constexpr LibraryId AttachSink{34381, 35182};            // BSTEventSource::AddEventSink_Internal
inline constexpr LibraryId ActorLevel{36344, 37334};            // Actor::GetLevel
inline constexpr LibraryId RefreshAfterRemoval{38404, 39395};   // AIProcess::Update3DModel (UpdateEquipment)
inline constexpr LibraryId DebugNotification{52050, 52933};     // DebugNotification (Papyrus Debug.Notification)
inline constexpr LibraryId GameHeapAlloc{66859, 68115};         // MemoryManager::Allocate
inline constexpr LibraryId GameHeapRelease{66861, 68117};       // MemoryManager::Deallocate (Heap::Free)
inline constexpr LibraryId HashInternedKey{66964, 68221};       // CalculateCRC32_64
inline constexpr LibraryId InternString{67819, 69161};          // BSFixedString constructor (StringCache::Ref)
inline constexpr LibraryId MenuOpenQuery{79937, 82074};         // UI::IsMenuOpen (MenuManager)
inline constexpr LibraryId RegisterMenuFactory{79949, 82086};   // UI::Register (MenuManager::Register_internal)
inline constexpr LibraryId MovieValueRetain{80244, 82269};      // GFxValue::ObjectInterface::ObjectAddRef
inline constexpr LibraryId MovieValueDrop{80245, 82270};        // GFxValue::ObjectInterface::ObjectRelease
inline constexpr LibraryId MovieArrayAppend{80248, 82273};      // GFxValue::ObjectInterface::PushBack
inline constexpr LibraryId MenuBaseDestroy{80282, 82305};       // IMenu destructor
inline constexpr LibraryId MenuBaseSlot5{80284, 82307};         // IMenu::AdvanceMovie (NextFrame)
inline constexpr LibraryId MenuBaseSlot8{80287, 82310};         // IMenu::RefreshPlatform (InitMovie)
inline constexpr LibraryId AttachMovieToMenu{80302, 82325};     // BSScaleformManager::LoadMovie
inline constexpr LibraryId CastRuntimeType{102238, 109689};     // __RTDynamicCast

// Data.
inline constexpr LibraryId HealthExtraDispatch{229541, 186687};  // ExtraHealth's virtual table
inline constexpr LibraryId TypeFormBase{513848, 392216};         // RTTI_TESForm
inline constexpr LibraryId TypeFullName{513854, 392222};         // RTTI_TESFullName
inline constexpr LibraryId TypeExtraDataBase{513883, 392300};    // RTTI_BSExtraData
inline constexpr LibraryId TypeInputEvent{687041, 394890};       // RTTI_InputEvent
inline constexpr LibraryId TypeButtonEvent{687042, 394891};      // RTTI_ButtonEvent
inline constexpr LibraryId GameHeap{514110, 400188};             // MemoryManager object (g_mainHeap)
inline constexpr LibraryId DataHandler{514141, 400269};          // TESDataHandler singleton pointer
inline constexpr LibraryId MenuManager{514178, 400327};          // UI singleton pointer (g_menuManager)
inline constexpr LibraryId MenuMessageQueue{514285, 400445};     // UIMessageQueue singleton pointer (g_UIManager)
inline constexpr LibraryId InterfaceStrings{514286, 400446};     // InterfaceStrings pointer (g_UIStringHolder)
inline constexpr LibraryId MovieManager{516573, 402775};         // BSScaleformManager pointer (g_GFxLoader)
inline constexpr LibraryId InputEventSource{516574, 402776};     // BSInputDeviceManager pointer
inline constexpr LibraryId World{516923, 403450};                // TES singleton pointer
inline constexpr LibraryId Player{517014, 403521};               // PlayerCharacter singleton pointer
inline constexpr LibraryId MovieHeap{525584, 412058};            // GFx global heap pointer (g_scaleformHeap)

// Type descriptors of the extra-data classes the plug-in casts to, by
// extra-data type; {0, 0} for every other type.
constexpr LibraryId ExtraTypeDescriptor(std::uint32_t type) {
  switch (type) {
    case kExtraInventoryChanges: return {684776, 392466};  // RTTI_ExtraContainerChanges
    case kExtraWorn: return {684650, 392313};              // RTTI_ExtraWorn
    case kExtraWornLeft: return {684651, 392314};          // RTTI_ExtraWornLeft
    case kExtraHealth: return {684654, 392317};            // RTTI_ExtraHealth
    case kExtraPoison: return {684665, 392332};            // RTTI_ExtraPoison
    case kExtraReferenceMarker: return {684725, 392392};   // RTTI_ExtraLocationRefType
    default: return {0, 0};
  }
}

}  // namespace qm::game::ids
