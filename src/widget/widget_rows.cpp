#include "widget/widget_rows.h"

#include "game/game_bindings.h"
#include "game/game_constants.h"

namespace qm::widget {
namespace {

engine::ItemEntry FormOnly(game::TESForm* form) {
  engine::ItemEntry row;
  row.form = form;
  return row;
}

engine::ItemEntry Head(game::InventoryChanges* changes) {
  engine::ItemEntry row = engine::FindWornArmor(changes, game::kSlotHead);
  return row.form != nullptr ? row : engine::FindWornArmor(changes, game::kSlotHair);
}

engine::ItemEntry LeftHand(game::InventoryChanges* changes, game::TESForm* form) {
  if (form == nullptr) return {};
  if (form->formType == game::kFormWeapon) return engine::FindWornWeapon(changes, form, true);
  if (form->formType == game::kFormArmor && (game::AsArmor(form)->slotMask & game::kSlotShield) != 0) {
    return engine::FindWornArmor(changes, game::kSlotShield);
  }
  return FormOnly(form);
}

engine::ItemEntry RightHand(game::InventoryChanges* changes, game::TESForm* form) {
  if (form == nullptr) return {};
  if (form->formType == game::kFormWeapon) return engine::FindWornWeapon(changes, form, false);
  return FormOnly(form);
}

void Blank(WidgetRows& rows) {
  for (engine::ItemEntry& row : rows) {
    row.form = nullptr;
    row.extraList = nullptr;
    row.displayName.clear();
  }
}

}  // namespace

void CollectWidgetRows(bool showItems, WidgetRows& rows) {
  Blank(rows);
  game::Actor* player = *game::Bindings.Player;
  if (player == nullptr || !showItems) return;
  game::InventoryChanges* changes = engine::InventoryChangesOf(&player->reference.extraList);
  if (changes == nullptr) return;

  const game::ActorProcess* process = game::ProcessOf(player);
  rows[0] = Head(changes);
  rows[1] = engine::FindWornArmor(changes, game::kSlotBody);
  rows[2] = engine::FindWornArmor(changes, game::kSlotHands);
  rows[3] = engine::FindWornArmor(changes, game::kSlotFeet);
  rows[4] = LeftHand(changes, process != nullptr ? process->leftHand : nullptr);
  rows[5] = RightHand(changes, process != nullptr ? process->rightHand : nullptr);
  rows[6] = FormOnly(game::SelectedPowerOf(player));
}

}  // namespace qm::widget
