#pragma once
// AutoOpenDurabilityMenuSink: waits on the menu open/close source for the
// closing that means the game is ready (a save has loaded), asks the game to
// open the widget, and removes itself.
#include "game/game_types.h"

namespace qm::widget {

struct AutoOpenDurabilityMenuSink {
  game::Sink sink;  // 0x00: BSTEventSink<MenuOpenCloseEvent>
};
static_assert(sizeof(AutoOpenDurabilityMenuSink) == 0x8);

// Creates a sink and adds it to the menu manager's open/close source; does
// nothing when the game has no menu manager.
void ArmAutoOpen();

}  // namespace qm::widget
