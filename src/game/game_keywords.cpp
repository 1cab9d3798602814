#include "game/game_keywords.h"

#include "game/game_bindings.h"
#include "game/game_constants.h"

namespace qm::game {

const TESForm* WarhammerKeyword() {
  static const TESForm* const keyword = Bindings.FindFormById(kWarhammerKeywordId);
  return keyword;
}

const TESForm* ClothingKeyword() {
  static const TESForm* const keyword = Bindings.FindFormById(kClothingKeywordId);
  return keyword;
}

const TESForm* JewelryKeyword() {
  static const TESForm* const keyword = Bindings.FindFormById(kJewelryKeywordId);
  return keyword;
}

const TESForm* NoEnchantKeyword() {
  static const TESForm* const keyword = Bindings.FindFormById(kNoEnchantKeywordId);
  return keyword;
}

bool HoldsKnownKeyword(const KeywordList& keywords, const TESForm* keyword) {
  return keyword != nullptr && HoldsKeyword(keywords, keyword);
}

}  // namespace qm::game
