#include "widget/widget_sources.h"

#include "plugin/game_bindings.h"
#include "plugin/plugin_entry.h"

namespace qm::widget {

game::MenuManager* TheMenuManager() { return *game::Bindings.MenuManagerPtr; }

game::EventSource* MenuOpenCloseSource() {
  game::MenuManager* manager = TheMenuManager();
  return manager != nullptr ? &manager->openCloseSource : nullptr;
}

game::EventSource* ActionEventSource() {
  plugin::MessagingInterfaceRecord* messaging = plugin::Messaging();
  if (messaging == nullptr) return nullptr;
  return static_cast<game::EventSource*>(messaging->GetEventDispatcher(plugin::kActionEventDispatcherId));
}

game::EventSource* InputEventSource() { return *game::Bindings.InputEventSource; }

}  // namespace qm::widget
