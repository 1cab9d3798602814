#include "widget/widget_sources.h"

#include "game/game_bindings.h"
#include "game/host_records.h"

namespace qm::widget {

game::MenuManager* TheMenuManager() { return *game::Bindings.MenuManagerPtr; }

game::EventSource* MenuOpenCloseSource() {
  game::MenuManager* manager = TheMenuManager();
  return manager != nullptr ? &manager->openCloseSource : nullptr;
}

game::EventSource* ActionEventSource() {
  game::MessagingInterfaceRecord* messaging = game::HostMessaging();
  if (messaging == nullptr) return nullptr;
  return static_cast<game::EventSource*>(messaging->GetEventDispatcher(game::kActionEventDispatcherId));
}

game::EventSource* InputEventSource() { return *game::Bindings.InputEventSource; }

}  // namespace qm::widget
