#pragma once
// The name an item instance shows in the widget and in the break notice: the
// game's inventory name, with the poison and its charges for a poisoned weapon.
#include "engine/item_entry.h"

namespace qm::engine {

// Replaces the entry's display name; an entry without form or extra-data
// list keeps the name it had.
void BuildDisplayName(ItemEntry& item);

}  // namespace qm::engine
