#pragma once
// The wear step: one hit's effect on one item of one actor.
#include "engine/item_entry.h"

namespace qm::engine {

// A break roll when the item is worn out, then a random loss of health while
// it is above 1.0. Does nothing for an actor already worn since the recent
// hits were last cleared.
void WearItem(const ItemEntry& item, game::Actor* actor, bool powerAttack);

}  // namespace qm::engine
