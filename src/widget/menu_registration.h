#pragma once
namespace qm::widget {

// Registers "Durability Menu" with the game's menu manager and arms the first
// automatic opening. False when the game has no menu manager.
bool RegisterDurabilityMenu();

}  // namespace qm::widget
