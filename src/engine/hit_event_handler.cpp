// HitEventHandler: every hit wears one item of the actor hit (a random armour
// slot, or what blocked the hit) and one item of the actor hitting (the
// weapon or shield it hit with).
#include "config/config_store.h"
#include "engine/engine_random.h"
#include "engine/event_handlers.h"
#include "engine/item_entry.h"
#include "engine/wear_item.h"
#include "game/game_bindings.h"
#include "game/game_constants.h"

#include <array>

namespace qm::engine {
namespace {

// The actor whose equipment a side of the hit wears, with its inventory.
struct Combatant {
  game::Actor* actor = nullptr;
  game::InventoryChanges* changes = nullptr;
};

// An actor that takes part in durability, with inventory changes; otherwise
// an empty combatant.
Combatant CombatantOf(game::Reference* reference) {
  if (reference == nullptr || reference->form.formType != game::kFormActor) return {};
  auto* actor = reinterpret_cast<game::Actor*>(reference);
  if (actor != *game::Bindings.Player && config::Store().Get<config::Setting::OnlyPlayer>() != 0) return {};
  game::InventoryChanges* changes = InventoryChangesOf(&reference->extraList);
  if (changes == nullptr) return {};
  return {actor, changes};
}

// The hit's source form, looked up once per event when first needed.
class HitSource {
 public:
  explicit HitSource(std::uint32_t formId) : formId_(formId) {}
  game::TESForm* Get() {
    if (!looked_) {
      form_ = game::Bindings.FindFormById(formId_);
      looked_ = true;
    }
    return form_;
  }

 private:
  std::uint32_t formId_;
  game::TESForm* form_ = nullptr;
  bool looked_ = false;
};

bool IsShield(const game::TESForm* form) {
  return form->formType == game::kFormArmor && (game::AsArmor(form)->slotMask & game::kSlotShield) != 0;
}

bool IsExcludedWeapon(const game::TESForm* form) {
  const game::TESObjectWEAP* weapon = game::AsWeapon(form);
  return weapon->weaponType == game::kWeaponTypeStaff || (weapon->weaponFlags & game::kWeaponNoDurability) != 0;
}

// Blocked: the worn shield, else the weapon in the right hand.
ItemEntry BlockingItem(const Combatant& target) {
  ItemEntry shield = FindWornArmor(target.changes, game::kSlotShield);
  if (shield.form != nullptr) return shield;
  const game::ActorProcess* process = game::ProcessOf(target.actor);
  if (process == nullptr || process->rightHand == nullptr) return {};
  game::TESForm* right = process->rightHand;
  // Only a weapon carries the exclusion flag; other objects have no field there.
  if (right->formType == game::kFormWeapon && (game::AsWeapon(right)->weaponFlags & game::kWeaponNoDurability) != 0) {
    return {};
  }
  return FindWornWeapon(target.changes, right, false);
}

// Not blocked: the first worn armour of the head, body, hands and feet slots
// in a random order; a helmet that covers only the hair counts for the head.
ItemEntry StruckArmor(const Combatant& target) {
  std::array<std::uint32_t, 4> masks{game::kSlotHead, game::kSlotBody, game::kSlotHands, game::kSlotFeet};
  ShuffleSlots(masks);
  for (const std::uint32_t mask : masks) {
    ItemEntry item = FindWornArmor(target.changes, mask);
    if (item.form == nullptr && mask == game::kSlotHead) item = FindWornArmor(target.changes, game::kSlotHair);
    if (item.form != nullptr) return item;
  }
  return {};
}

void WearTarget(const game::TESHitEvent& hit, HitSource& source) {
  const Combatant target = CombatantOf(hit.target);
  if (target.actor == nullptr) return;
  const game::TESForm* form = source.Get();
  if (form == nullptr) return;
  const bool wearsTarget =
      (form->formType == game::kFormWeapon && game::AsWeapon(form)->weaponType != game::kWeaponTypeStaff) ||
      IsShield(form);
  if (!wearsTarget) return;  // spells, staffs and the like

  const ItemEntry item = (hit.flags & game::kHitBlocked) != 0 ? BlockingItem(target) : StruckArmor(target);
  if (item.form == nullptr) return;
  WearItem(item, target.actor, (hit.flags & game::kHitPowerAttack) != 0);
}

const game::InternedString& LeftHandAttackName() {
  static const game::InternedString name = [] {
    game::InternedString made;
    game::Bindings.InternString(&made, "bLeftHandAttack");
    return made;
  }();
  return name;
}

// Whether the attacker swung with its left hand; false when the graph cannot
// tell.
bool AttacksWithLeftHand(game::Actor* actor) {
  const game::AnimationGraphHolder* holder = game::GraphHolderOf(actor);
  bool leftHand = false;
  if (!holder->dispatch->GetGraphVariableBool(holder, &LeftHandAttackName(), &leftHand)) return false;
  return leftHand;
}

// The weapon the attacker hit with, in the hand that holds it.
ItemEntry AttackingWeapon(const Combatant& attacker, const game::TESForm* weapon) {
  if (IsExcludedWeapon(weapon)) return {};
  const game::ActorProcess* process = game::ProcessOf(attacker.actor);
  const game::TESForm* right = process != nullptr ? process->rightHand : nullptr;
  const game::TESForm* left = process != nullptr ? process->leftHand : nullptr;
  if (weapon == right && weapon == left) {
    return FindWornWeapon(attacker.changes, weapon, AttacksWithLeftHand(attacker.actor));
  }
  if (weapon == right) return FindWornWeapon(attacker.changes, weapon, false);
  if (weapon == left) return FindWornWeapon(attacker.changes, weapon, true);
  return {};
}

void WearAttacker(const game::TESHitEvent& hit, HitSource& source) {
  const Combatant attacker = CombatantOf(hit.cause);
  if (attacker.actor == nullptr) return;
  const game::TESForm* form = source.Get();
  if (form == nullptr) return;

  ItemEntry item;
  if (form->formType == game::kFormWeapon) {
    item = AttackingWeapon(attacker, form);
  } else if (IsShield(form)) {
    item = FindWornArmor(attacker.changes, game::kSlotShield);  // a shield bash
  }
  if (item.form == nullptr) return;
  WearItem(item, attacker.actor, (hit.flags & game::kHitPowerAttack) != 0);
}

std::uint32_t OnHitEvent(game::Sink* /*self*/, const void* event, game::EventSource* /*source*/) {
  if (event == nullptr) return 0;
  const auto& hit = *static_cast<const game::TESHitEvent*>(event);
  HitSource source(hit.sourceFormId);
  WearTarget(hit, source);
  WearAttacker(hit, source);
  return 0;
}

// The sink is a process-wide object; the game never deletes it.
void* DestroyHitEventHandler(game::Sink* self, std::uint32_t /*freeFlag*/) { return self; }

}  // namespace

const game::SinkDispatch kHitEventHandlerDispatch{&DestroyHitEventHandler, &OnHitEvent};

}  // namespace qm::engine
