#pragma once
// Keyword records the rules test for, fetched by id on first use and kept for
// the process. A keyword the game does not know is null, and no record holds it.
#include "game/game_forms.h"

namespace qm::game {

const TESForm* WarhammerKeyword();  // tells a warhammer from a battle axe
const TESForm* ClothingKeyword();
const TESForm* JewelryKeyword();
const TESForm* NoEnchantKeyword();  // marks items that may not be enchanted

// True when the keyword exists and the list holds it.
bool HoldsKnownKeyword(const KeywordList& keywords, const TESForm* keyword);

}  // namespace qm::game
