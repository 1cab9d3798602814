#pragma once
// Filling the widget's seven rows: icon, name, durability and colour of each
// of the player's equipped items, handed to the movie in four arrays.
namespace qm::widget {

struct DurabilityMenu;

// Sends nothing while the menu has no movie or the movie is hidden.
void UpdateWidgetContent(DurabilityMenu* menu);

}  // namespace qm::widget
