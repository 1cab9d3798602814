#include "widget/durability_menu.h"

#include "game/game_bindings.h"
#include "log/debug_log.h"
#include "widget/menu_base.h"
#include "widget/visibility_sinks.h"
#include "widget/widget_content.h"
#include "widget/widget_open.h"

namespace qm::widget {
namespace {

DurabilityMenu* AsDurabilityMenu(game::IMenu* menu) { return reinterpret_cast<DurabilityMenu*>(menu); }

void* DestroyDurabilityMenu(game::IMenu* menu, std::uint32_t freeFlag) {
  DurabilityMenu* self = AsDurabilityMenu(menu);
  self->menuOpenCloseSink.dispatch = &kEventSinkBaseDispatch;
  self->actionSink.dispatch = &kEventSinkBaseDispatch;
  self->inputSink.dispatch = &kEventSinkBaseDispatch;
  return DestroyMenuBase(menu, freeFlag);
}

std::uint32_t ProcessMessage(game::IMenu* menu, game::UIMessage* message) {
  if (menu->view == nullptr) return 2;
  switch (message->type) {
    case game::kMessageOpen: OnWidgetOpen(AsDurabilityMenu(menu)); return 0;
    case game::kMessageClose: OnWidgetClose(AsDurabilityMenu(menu)); return 0;
    default: return 2;
  }
}

// The game calls this once per frame; the rows are rebuilt on every 11th.
void PostDisplay(game::IMenu* menu) {
  DurabilityMenu* self = AsDurabilityMenu(menu);
  if (++self->frameCount > 10) {
    self->frameCount = 0;
    UpdateWidgetContent(self);
  }
  MenuBasePostDisplay(menu);
}

void ConstructDurabilityMenu(DurabilityMenu* self) {
  ConstructMenuBase(&self->menu);
  self->menu.dispatch = &kDurabilityMenuDispatch;
  self->menuOpenCloseSink.dispatch = &kMenuOpenCloseSinkDispatch;
  self->actionSink.dispatch = &kActionSinkDispatch;
  self->inputSink.dispatch = &kInputSinkDispatch;
  self->frameCount = 0;
  self->showItems = 1;

  void* movieManager = *game::Bindings.MovieManager;
  if (game::Bindings.AttachMovieToMenu(movieManager, &self->menu, &self->menu.view, kMovieName, 0, 0.0f)) {
    log::LogMessage("loaded Inteface/%s.swf", kMovieName);
    self->menu.depth = 2;
    self->menu.menuFlags = 0x10802;
  }
}

}  // namespace

const game::IMenuDispatch kDurabilityMenuDispatch{
    DestroyDurabilityMenu,  // 0
    EmptyMenuSlot,          // 1
    EmptyMenuSlot,          // 2
    EmptyMenuSlot,          // 3
    ProcessMessage,         // 4
    MenuBaseAdvanceMovie,   // 5
    PostDisplay,            // 6
    EmptyMenuSlot,          // 7
    MenuBaseSlot8,          // 8
};

game::IMenu* CreateDurabilityMenu() {
  void* memory = AllocateFromMovieHeap(sizeof(DurabilityMenu));
  if (memory == nullptr) return nullptr;
  auto* menu = static_cast<DurabilityMenu*>(memory);
  try {
    ConstructDurabilityMenu(menu);
  } catch (...) {
    FreeToMovieHeap(memory);
    throw;
  }
  return &menu->menu;
}

}  // namespace qm::widget
