#pragma once
// What the widget does when the game opens and closes its menu.
namespace qm::widget {

struct DurabilityMenu;

// Message 1: sets the movie up, adds the menu's sinks and marks it open.
void OnWidgetOpen(DurabilityMenu* menu);
// Message 3: removes the sinks and arms the next automatic opening.
void OnWidgetClose(DurabilityMenu* menu);

}  // namespace qm::widget
