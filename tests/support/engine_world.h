#pragma once
// A small world for the durability engine's tests: actors, containers and
// loose items with worn equipment, built in the game double before the
// plug-in starts, and the events the game sends.
#include "cells.h"
#include "engine_events.h"
#include "extra_data.h"
#include "forms.h"
#include "hud.h"
#include "inventory.h"
#include "references.h"
#include "support/plugin_fixture.h"

#include <optional>
#include <string>

namespace qmtest {

inline constexpr std::uint32_t kPlayerRecordId = 0x00000007;

class EngineWorld : public PluginFixture {
 protected:
  gd::Forms& forms() { return world().Component<gd::Forms>(); }
  gd::References& references() { return world().Component<gd::References>(); }
  gd::Inventories& inventories() { return world().Component<gd::Inventories>(); }
  gd::ExtraData& extra() { return world().Component<gd::ExtraData>(); }
  gd::Cells& cells() { return world().Component<gd::Cells>(); }

  void WriteSettings(const std::string& ini) { WriteGameFile("data/SKSE/Plugins/Quellmark/Quellmark.ini", ini); }

  gd::WeaponForm& Weapon(std::uint32_t id, std::uint8_t type = 1, std::uint16_t flags = 0) {
    return forms().AddWeapon(id, "Weapon" + std::to_string(id), type, flags);
  }
  // Heavy armour (weight class 1) covering the given slots.
  gd::ArmorForm& Armor(std::uint32_t id, std::uint32_t slots, std::uint32_t weightClass = 1) {
    return forms().AddArmor(id, "Armor" + std::to_string(id), slots, weightClass);
  }

  // An actor with an actor base and a process; the first one named "player"
  // becomes the player.
  gd::ActorRec& Actor(const std::string& name) {
    const std::uint32_t id = nextReferenceId_++;
    gd::FormHeader& base = forms().AddForm(0x00F00000 + id, gd::form_type::kNpc, name).form;
    gd::ActorRec& actor = references().AddActor(name, id, &base);
    references().GiveProcess(actor);
    references().Inventory(actor.ref);
    if (name == "player") references().SetPlayer(&actor);
    return actor;
  }
  gd::ReferenceRec& Container(const std::string& name) {
    const std::uint32_t id = nextReferenceId_++;
    gd::FormHeader& base = forms().AddForm(0x00F00000 + id, gd::form_type::kContainer, name).form;
    gd::ReferenceRec& container = references().AddContainer(name, id, &base);
    references().Inventory(container);
    return container;
  }
  gd::ReferenceRec& Loose(const std::string& name, gd::FormHeader& item, bool presenceBits = true) {
    return references().AddLooseItem(name, nextReferenceId_++, &item, presenceBits);
  }

  // One instance of the item in the holder's inventory, with its own list.
  gd::ExtraList& Give(gd::ReferenceRec& holder, gd::FormHeader& item, std::optional<float> health = std::nullopt) {
    gd::InventoryChangesRec& changes = references().Inventory(holder);
    gd::InventoryEntryRec* entry = inventories().EntryOf(changes, &item);
    if (entry == nullptr) entry = &inventories().AddEntry(changes, &item, 0);
    ++entry->countDelta;
    gd::ExtraList& list = inventories().AddInstance(*entry);
    if (health) extra().AddHealth(list, *health);
    return list;
  }
  // Worn armour or a weapon in a hand (the process's hand follows).
  gd::ExtraList& Wear(gd::ActorRec& actor, gd::FormHeader& item, std::optional<float> health = std::nullopt,
                      bool leftHand = false) {
    gd::ExtraList& list = Give(actor.ref, item, health);
    extra().AddWorn(list, leftHand);
    if (gd::IsWeapon(&item)) {
      gd::ProcessRec& process = references().GiveProcess(actor);
      (leftHand ? process.leftHand : process.rightHand) = &item;
    }
    return list;
  }

  // The instance's health as the game reads it: 1.0 without an entry.
  float Health(const gd::ExtraList& list) { return extra().HealthOf(list).value_or(1.0f); }
  bool Decided(const gd::ExtraList& list) { return extra().HealthOf(list).has_value(); }
  bool Holds(gd::ReferenceRec& holder, const gd::ExtraList& list) {
    return inventories().Holds(references().Inventory(holder), &list);
  }

  void Hit(gd::ActorRec& target, gd::ActorRec& cause, std::uint32_t sourceId, std::uint32_t flags = 0) {
    gd::DispatchHit(world(), &target.ref, &cause.ref, sourceId, flags);
  }
  void Updates(int count) {
    for (int i = 0; i < count; ++i) gd::DispatchUpdate(world());
  }
  // Two update events empty the recent hits when nothing new was marked.
  void ForgetRecentHits() { Updates(2); }

  std::uint32_t nextReferenceId_ = 0x00100000;
};

}  // namespace qmtest
