#pragma once
// The event sources the widget's sinks are added to; each is null when the
// game or the script extender does not offer it.
#include "game/game_ui.h"

namespace qm::widget {

game::MenuManager* TheMenuManager();
// The menu manager's menu open/close source, 8 bytes into the manager.
game::EventSource* MenuOpenCloseSource();
// The script extender's action events (dispatcher 3).
game::EventSource* ActionEventSource();
game::EventSource* InputEventSource();

}  // namespace qm::widget
