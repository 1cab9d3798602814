#include "widget/widget_open.h"

#include "config/config_store.h"
#include "game/game_bindings.h"
#include "game/game_forms.h"
#include "widget/auto_open_sink.h"
#include "widget/durability_menu.h"
#include "widget/movie_value.h"
#include "widget/widget_sources.h"
#include "widget/widget_state.h"

#include <array>

namespace qm::widget {
namespace {

double WidgetNumber(config::Setting setting) { return static_cast<double>(config::Store().Whole(setting)); }

bool FollowsWeaponState() { return config::Store().Get<config::Setting::HideWithWeaponsSheathed>() == 1; }
bool HasToggleKey() { return config::Store().Get<config::Setting::ToggleKeyCode>() != 0; }

void SetUpMovie(game::MovieView* view) {
  std::array<game::MovieValue, 4> args{
      NumberValue(WidgetNumber(config::Setting::PositionX) / 100.0),
      NumberValue(WidgetNumber(config::Setting::PositionY) / 100.0),
      NumberValue(WidgetNumber(config::Setting::Scale)),
      NumberValue(WidgetNumber(config::Setting::Flags)),
  };
  view->dispatch->Invoke(view, "_root.widget.Setup", nullptr, args.data(), static_cast<std::uint32_t>(args.size()));
  for (game::MovieValue& value : args) DropMovieValue(value);
}

// The weapon state lives in bits 5 to 7 of the actor's state word; 3 and
// above mean the weapon is out.
bool PlayerWeaponDrawn() {
  const game::Actor* player = *game::Bindings.Player;
  return player != nullptr && (game::ActorStateOf(player) & 0xE0) >= 0x60;
}

void Attach(game::EventSource* source, game::Sink* sink) {
  if (source != nullptr) game::Bindings.AttachSink(source, sink);
}

void Detach(game::EventSource* source, game::Sink* sink) {
  if (source != nullptr) game::Bindings.DetachSink(source, sink);
}

}  // namespace

void OnWidgetOpen(DurabilityMenu* menu) {
  if (OpenWidgetMenu != nullptr) return;

  SetUpMovie(menu->menu.view);
  Attach(MenuOpenCloseSource(), &menu->menuOpenCloseSink);
  if (FollowsWeaponState()) {
    Attach(ActionEventSource(), &menu->actionSink);
    menu->showItems = PlayerWeaponDrawn() ? 1 : 0;
  }
  if (HasToggleKey()) Attach(InputEventSource(), &menu->inputSink);
  OpenWidgetMenu = menu;
}

void OnWidgetClose(DurabilityMenu* menu) {
  // Only the menu that was opened has sinks on the sources; a second menu
  // object closing must not leave the open one's sinks behind.
  if (OpenWidgetMenu != nullptr && OpenWidgetMenu == menu) {
    OpenWidgetMenu = nullptr;
    Detach(MenuOpenCloseSource(), &menu->menuOpenCloseSink);
    if (FollowsWeaponState()) Detach(ActionEventSource(), &menu->actionSink);
    if (HasToggleKey()) Detach(InputEventSource(), &menu->inputSink);
  }
  ArmAutoOpen();
}

}  // namespace qm::widget
