#pragma once
// The three event sinks embedded in the widget's menu: hiding behind other
// menus, following drawn and sheathed weapons, and the toggle key.
#include "game/game_types.h"

namespace qm::widget {

// The base sink class's table: a destructor with nothing to do and a
// receive function that ignores every event.
extern const game::SinkDispatch kEventSinkBaseDispatch;

extern const game::SinkDispatch kMenuOpenCloseSinkDispatch;
extern const game::SinkDispatch kActionSinkDispatch;
extern const game::SinkDispatch kInputSinkDispatch;

}  // namespace qm::widget
