#pragma once
// The menu base class the plug-in supplies itself: its dispatch table, whose
// slots are empty or forward to the game's own base implementations, and the
// root of its reference-counting chain. Menus live on the movie heap.
#include "game/game_ui.h"

namespace qm::widget {

extern const game::IMenuDispatch kMenuBaseDispatch;
extern const game::RefCountCoreDispatch kRefCountCoreDispatch;

// Runs the base constructors in order: the reference-counting root (count
// 1), then the menu base with its fields at their construction values.
void ConstructMenuBase(game::IMenu* menu);

// The base destructor's steps: the game's menu destructor body, then the
// root's, which returns the memory to the movie heap when asked to.
void* DestroyMenuBase(game::IMenu* menu, std::uint32_t freeFlag);

// The base's slots, for menus that inherit or defer to them.
void EmptyMenuSlot(game::IMenu* menu);
std::uint32_t MenuBaseProcessMessage(game::IMenu* menu, game::UIMessage* message);
void MenuBaseAdvanceMovie(game::IMenu* menu, float interval, std::uint32_t time);
void MenuBasePostDisplay(game::IMenu* menu);
void MenuBaseSlot8(game::IMenu* menu, void* a2, void* a3, void* a4);

void* AllocateFromMovieHeap(std::size_t size);
void FreeToMovieHeap(void* memory);

inline constexpr std::uint32_t kFreeMemory = 0x1;

}  // namespace qm::widget
