#include "widget/menu_base.h"

#include "game/game_bindings.h"

namespace qm::widget {
namespace {

game::MovieHeap* MovieHeapObject() { return static_cast<game::MovieHeap*>(*game::Bindings.MovieHeap); }

void* DestroyRefCountCore(game::IMenu* menu, std::uint32_t freeFlag) {
  if ((freeFlag & kFreeMemory) != 0) FreeToMovieHeap(menu);
  return menu;
}

}  // namespace

void EmptyMenuSlot(game::IMenu*) {}

void MenuBaseAdvanceMovie(game::IMenu* menu, float interval, std::uint32_t time) {
  game::Bindings.MenuBaseSlot5(menu, interval, time);
}

// The game's base takes the movie view in place of the slot's own second
// argument.
void MenuBaseSlot8(game::IMenu* menu, void*, void* a3, void* a4) {
  game::Bindings.MenuBaseSlot8(menu, menu->view, a3, a4);
}

const game::RefCountCoreDispatch kRefCountCoreDispatch{DestroyRefCountCore};

const game::IMenuDispatch kMenuBaseDispatch{
    DestroyMenuBase,         // 0
    EmptyMenuSlot,           // 1
    EmptyMenuSlot,           // 2
    EmptyMenuSlot,           // 3
    MenuBaseProcessMessage,  // 4
    MenuBaseAdvanceMovie,    // 5
    MenuBasePostDisplay,     // 6
    EmptyMenuSlot,           // 7
    MenuBaseSlot8,           // 8
};

void* AllocateFromMovieHeap(std::size_t size) {
  game::MovieHeap* heap = MovieHeapObject();
  if (heap == nullptr) return nullptr;
  return heap->dispatch->Alloc(heap, size, nullptr);
}

void FreeToMovieHeap(void* memory) {
  game::MovieHeap* heap = MovieHeapObject();
  if (heap != nullptr && memory != nullptr) heap->dispatch->Free(heap, memory);
}

void ConstructMenuBase(game::IMenu* menu) {
  menu->refCount = 1;  // the reference-counting root's part
  menu->pad0C = 0;
  menu->dispatch = &kMenuBaseDispatch;
  menu->view = nullptr;
  menu->depth = 3;
  menu->menuFlags = 0;
  menu->context = 0x12;
  menu->gameField28 = 0;
}

void* DestroyMenuBase(game::IMenu* menu, std::uint32_t freeFlag) {
  menu->dispatch = &kMenuBaseDispatch;
  game::Bindings.MenuBaseDestroy(menu);
  menu->dispatch = &kRefCountCoreDispatch;
  return DestroyRefCountCore(menu, freeFlag);
}

std::uint32_t MenuBaseProcessMessage(game::IMenu* menu, game::UIMessage* message) {
  if (message->type == game::kMessageScaleformEvent && menu->view != nullptr && message->data != nullptr) {
    const void* event = *reinterpret_cast<void* const*>(static_cast<const std::uint8_t*>(message->data) + 0x10);
    menu->view->dispatch->HandleEvent(menu->view, event);
    return 0;
  }
  return 2;
}

void MenuBasePostDisplay(game::IMenu* menu) {
  if (menu->view != nullptr) menu->view->dispatch->Display(menu->view);
}

}  // namespace qm::widget
