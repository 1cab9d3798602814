// Whether an item instance may break, and the breaking itself: the unit
// leaves its holder's inventory for good, and the player is told its name.
#include "config/config_store.h"
#include "engine/item_entry.h"
#include "plugin/game_bindings.h"
#include "widget/display_name.h"

namespace qm::engine {
namespace {

constexpr std::uint32_t kNoEnchantKeywordId = 0x000C27BD;
constexpr std::uint32_t kNeverBreaksFormId = 0x000001F4;

const game::TESForm* NoEnchantKeyword() {
  static const game::TESForm* const keyword = game::Bindings.FindFormById(kNoEnchantKeywordId);
  return keyword;
}

bool CarriesNoEnchantKeyword(const game::TESForm* form) {
  const game::TESForm* keyword = NoEnchantKeyword();
  if (keyword == nullptr) return false;
  if (form->formType == game::kFormWeapon) return game::HoldsKeyword(game::AsWeapon(form)->keywords, keyword);
  if (form->formType == game::kFormArmor) return game::HoldsKeyword(game::AsArmor(form)->keywords, keyword);
  return false;
}

}  // namespace

BreakRuleSettings ReadBreakRuleSettings() {
  return {config::Store().GetDegradation("NoBreakMagicDisallowEnchanting") == 1};
}

bool IsBreakable(const ItemEntry& item) { return IsBreakable(item, ReadBreakRuleSettings()); }

bool IsBreakable(const ItemEntry& item, const BreakRuleSettings& settings) {
  if (item.form == nullptr || item.extraList == nullptr) return false;
  if (settings.noBreakWithoutEnchanting && CarriesNoEnchantKeyword(item.form)) return false;
  if (item.form->formId == kNeverBreaksFormId) return false;
  if (config::Store().NoBreakFormList.Contains(item.form->formId)) return false;
  if (game::Bindings.ExtraListUnbreakable(item.extraList)) return false;
  return true;
}

void BreakItem(ItemEntry item, game::Actor* actor) {
  if (actor == nullptr || item.form == nullptr) return;
  const game::GameBindings& g = game::Bindings;
  if (actor == *g.Player) {
    widget::BuildDisplayName(item);
    g.HudNotify(item.displayName.c_str(), nullptr, false);
  }
  // Slot 86 returns a handle by value, hence the result slot after the
  // actor. No destination: the unit leaves the game.
  std::uint32_t handle = 0;
  game::DispatchOf(actor)->RemoveItem(actor, &handle, item.form, 1, 0, item.extraList, nullptr, nullptr, nullptr);
  if (actor->process != nullptr) g.RefreshAfterRemoval(actor->process, actor);
}

}  // namespace qm::engine
