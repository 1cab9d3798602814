// Whether an item instance may break, and the breaking itself: the unit
// leaves its holder's inventory for good, and the player is told its name.
#include "config/config_store.h"
#include "engine/display_name.h"
#include "engine/item_entry.h"
#include "game/game_bindings.h"
#include "game/game_keywords.h"

namespace qm::engine {
namespace {

bool CarriesNoEnchantKeyword(const game::TESForm* form) {
  const game::TESForm* keyword = game::NoEnchantKeyword();
  if (keyword == nullptr) return false;
  if (form->formType == game::kFormWeapon) return game::HoldsKeyword(game::AsWeapon(form)->keywords, keyword);
  if (form->formType == game::kFormArmor) return game::HoldsKeyword(game::AsArmor(form)->keywords, keyword);
  return false;
}

}  // namespace

BreakRuleSettings ReadBreakRuleSettings() {
  return {config::Store().Get<config::Setting::NoBreakMagicDisallowEnchanting>() == 1};
}

bool IsBreakable(const ItemEntry& item) { return IsBreakable(item, ReadBreakRuleSettings()); }

bool IsBreakable(const ItemEntry& item, const BreakRuleSettings& settings) {
  if (item.form == nullptr || item.extraList == nullptr) return false;
  if (settings.noBreakWithoutEnchanting && CarriesNoEnchantKeyword(item.form)) return false;
  if (item.form->formId == game::kNeverBreaksFormId) return false;
  if (config::Store().NoBreakFormList.Contains(item.form->formId)) return false;
  if (game::Bindings.ExtraListUnbreakable(item.extraList)) return false;
  return true;
}

void BreakItem(ItemEntry item, game::Actor* actor) {
  if (actor == nullptr || item.form == nullptr) return;
  const game::GameBindings& g = game::Bindings;
  if (actor == *g.Player) {
    BuildDisplayName(item);
    g.HudNotify(item.displayName.c_str(), nullptr, false);
  }
  // Slot 86 returns a handle by value, hence the result slot after the
  // actor. No destination: the unit leaves the game.
  std::uint32_t handle = 0;
  game::DispatchOf(actor)->RemoveItem(actor, &handle, item.form, 1, 0, item.extraList, nullptr, nullptr, nullptr);
  if (game::ActorProcess* process = game::ProcessOf(actor); process != nullptr) g.RefreshAfterRemoval(process, actor);
}

}  // namespace qm::engine
