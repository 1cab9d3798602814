#pragma once
// Dynamic tempering: the equipment of actors near the player, the contents of
// nearby containers and the gear lying nearby each get decided once, a random
// temper or plain 1.0, and carry a health entry from then on.
#include "game/game_cells.h"

#include <vector>

namespace qm::engine {

// References met in one pass, kept in ascending order of address without
// repeats once the search is done.
using ReferenceSet = std::vector<game::Reference*>;

// One pass over the player's surroundings; nothing without a player.
void DynamicTemperPass();

// Adds the cell's actors and containers to holders and its weapons and
// armour lying in the world to looseItems, when closer to the player's
// position than 7000 units. Call SortReferences on both sets afterwards.
void CollectNearbyReferences(const game::TESObjectCELL* cell, const float (&playerPosition)[3], ReferenceSet& holders,
                             ReferenceSet& looseItems);
void SortReferences(ReferenceSet& references);

}  // namespace qm::engine
