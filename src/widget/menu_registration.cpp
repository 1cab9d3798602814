#include "widget/menu_registration.h"

#include "game/game_bindings.h"
#include "widget/auto_open_sink.h"
#include "widget/durability_menu.h"
#include "widget/widget_sources.h"

namespace qm::widget {

bool RegisterDurabilityMenu() {
  game::MenuManager* manager = TheMenuManager();
  if (manager == nullptr) return false;
  game::Bindings.RegisterMenuFactory(manager, kMenuName, CreateDurabilityMenu);
  ArmAutoOpen();  // reads the manager again
  return true;
}

}  // namespace qm::widget
