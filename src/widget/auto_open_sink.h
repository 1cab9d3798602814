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

// Whether the sink is one of the widget's own on the menu open/close source
// (this auto-open sink, or the open menu's): their tables carry no type
// information in front, so nothing may read it there.
bool IsWidgetOpenCloseSink(const game::Sink* sink);

}  // namespace qm::widget
