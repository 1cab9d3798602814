#pragma once
#include "game/game_types.h"

namespace qm::plugin {

// Puts FreezeEventFilter in front of the physics plug-in's freeze handler on
// the menu open/close source, so that the widget's own opening and closing
// never freeze the physics.
void InstallFreezeFilter(game::EventSource* menuOpenCloseSource);

}  // namespace qm::plugin
