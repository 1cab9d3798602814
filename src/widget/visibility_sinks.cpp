#include "widget/visibility_sinks.h"

#include "config/config_store.h"
#include "game/game_bindings.h"
#include "widget/durability_menu.h"
#include "widget/menu_base.h"
#include "widget/menu_table.h"
#include "widget/toggle_code.h"
#include "widget/widget_sources.h"

namespace qm::widget {
namespace {

constexpr std::uint32_t kHidingMenuFlags = 0x4001;

// The base class's table: nothing to destroy, every event ignored.
void* DestroySinkBase(game::Sink* sink, std::uint32_t) { return sink; }
std::uint32_t IgnoreEvent(game::Sink*, const void*, game::EventSource*) { return 0; }

// The sinks are parts of the menu: destroying through one of them destroys
// the whole menu.
template <std::size_t SinkOffset>
void* DestroyMenuThroughSink(game::Sink* sink, std::uint32_t freeFlag) {
  DurabilityMenu* menu = MenuOfSink<SinkOffset>(sink);
  return kDurabilityMenuDispatch.Destroy(&menu->menu, freeFlag);
}

// Hides the movie while a menu that covers it is open, and shows it again
// once the manager reports no such menu left.
std::uint32_t OnMenuOpenClose(game::Sink* sink, const void* event, game::EventSource*) {
  DurabilityMenu* menu = MenuOfSink<offsetof(DurabilityMenu, menuOpenCloseSink)>(sink);
  game::MovieView* view = menu->menu.view;
  const game::MenuManager* manager = TheMenuManager();
  const auto* change = static_cast<const game::MenuOpenCloseEvent*>(event);
  if (view == nullptr || manager == nullptr || change == nullptr) return 0;

  if (change->opening != 0) {
    const game::IMenu* opened = LookUpMenu(*manager, change->menuName);
    if (opened != nullptr && (opened->menuFlags & kHidingMenuFlags) != 0) view->dispatch->SetVisible(view, false);
  } else if (manager->counter160 == 0 && manager->counter170 == 0 && !view->dispatch->GetVisible(view)) {
    view->dispatch->SetVisible(view, true);
  }
  return 0;
}

// The rows follow the player's weapons being drawn and sheathed.
std::uint32_t OnAction(game::Sink* sink, const void* event, game::EventSource*) {
  DurabilityMenu* menu = MenuOfSink<offsetof(DurabilityMenu, actionSink)>(sink);
  const auto* action = static_cast<const game::ActionEvent*>(event);
  if (action == nullptr || action->actor == nullptr || action->actor != *game::Bindings.Player) return 0;
  if (action->type == game::kActionWeaponDrawn) menu->showItems = 1;
  if (action->type == game::kActionWeaponSheathed) menu->showItems = 0;
  return 0;
}

const game::ButtonEvent* AsButton(game::InputEvent* event) {
  return static_cast<const game::ButtonEvent*>(
      game::Bindings.CastRuntimeType(event, 0, game::Bindings.TypeInputEvent, game::Bindings.TypeButtonEvent, 0));
}

// Only the first event of a press counts: not the repeats while the button
// is held, nor its release.
bool IsFreshPress(const game::ButtonEvent& button) { return button.value != 0.0f && button.heldSeconds == 0.0f; }

// Every fresh press of the toggle button in the delivery inverts the rows.
std::uint32_t OnInput(game::Sink* sink, const void* event, game::EventSource*) {
  DurabilityMenu* menu = MenuOfSink<offsetof(DurabilityMenu, inputSink)>(sink);
  const auto* first = static_cast<game::InputEvent* const*>(event);
  if (first == nullptr) return 0;
  const std::uint32_t toggleKey = config::Store().Get<config::Setting::ToggleKeyCode>();
  for (game::InputEvent* input = *first; input != nullptr; input = input->next) {
    if (input->eventType != game::kInputButton) continue;
    const game::ButtonEvent* button = AsButton(input);
    if (button == nullptr || !IsFreshPress(*button)) continue;
    const std::uint32_t code = ToggleCode(input->device, button->keyCode);
    if (code >= kNoToggleCode) continue;
    if (code == toggleKey) menu->showItems = menu->showItems != 0 ? 0 : 1;
  }
  return 0;
}

}  // namespace

const game::SinkDispatch kEventSinkBaseDispatch{DestroySinkBase, IgnoreEvent};

const game::SinkDispatch kMenuOpenCloseSinkDispatch{DestroyMenuThroughSink<offsetof(DurabilityMenu, menuOpenCloseSink)>,
                                                    OnMenuOpenClose};
const game::SinkDispatch kActionSinkDispatch{DestroyMenuThroughSink<offsetof(DurabilityMenu, actionSink)>, OnAction};
const game::SinkDispatch kInputSinkDispatch{DestroyMenuThroughSink<offsetof(DurabilityMenu, inputSink)>, OnInput};

}  // namespace qm::widget
