#pragma once
// Finding an open menu by name in the menu manager's table.
#include "game/game_ui.h"

namespace qm::widget {

// The menu registered under the name, or null.
game::IMenu* LookUpMenu(const game::MenuManager& manager, game::InternedString name);

}  // namespace qm::widget
