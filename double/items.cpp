#include "items.h"

namespace gd {

Items::Items(World& world) : world_(world) { world.Component<References>(); }

void Items::Fill(ExtraList& list, const InstanceSpec& spec) {
  ExtraData& extra = world_.Component<ExtraData>();
  if (spec.poison != nullptr) extra.AddPoison(list, spec.poison, spec.poisonCount);
  if (spec.health.has_value()) extra.AddHealth(list, *spec.health);
  if (spec.worn != Worn::No) extra.AddWorn(list, spec.worn == Worn::Left);
  if (spec.healthBitWithoutEntry) extra.SetPresenceBit(list, extra_type::kHealth, true);
  if (spec.unbreakable) extra.SetUnbreakable(list, true);
}

InventoryEntryRec& Items::Give(ReferenceRec& holder, FormHeader* form, std::int32_t count,
                               const std::vector<InstanceSpec>& instances) {
  References& refs = world_.Component<References>();
  Inventories& inventories = world_.Component<Inventories>();
  InventoryEntryRec& entry = inventories.AddEntry(refs.Inventory(holder), form, count);
  for (const InstanceSpec& spec : instances) {
    ExtraList& list = inventories.AddInstance(entry, spec.presenceBits);
    Fill(list, spec);
    if (!spec.id.empty()) {
      if (byId_.count(spec.id) != 0) world_.Violation("two items are named " + spec.id);
      byId_[spec.id] = items_.size();
      items_.push_back({spec.id, &holder, form, &list, false});
    }
    if (References::IsActor(&holder) && IsWeapon(form) && spec.worn != Worn::No) {
      auto& actor = reinterpret_cast<ActorRec&>(holder);
      if (ProcessRec* process = actor.process(); process != nullptr)
        (spec.worn == Worn::Left ? process->leftHand : process->rightHand) = form;
    }
  }
  return entry;
}

ExtraList& Items::GiveOne(ReferenceRec& holder, FormHeader* form, const InstanceSpec& spec) {
  InventoryEntryRec& entry = Give(holder, form, 1, {spec});
  return *static_cast<ExtraList*>(entry.extraLists->item);
}

ReferenceRec& Items::Lay(const std::string& name, std::uint32_t formId, FormHeader* form, const InstanceSpec& spec) {
  ReferenceRec& reference = world_.Component<References>().AddLooseItem(name, formId, form, spec.presenceBits);
  Fill(reference.extraList, spec);
  if (byId_.count(name) != 0) world_.Violation("two items are named " + name);
  byId_[name] = items_.size();
  items_.push_back({name, &reference, form, &reference.extraList, true});
  return reference;
}

const NamedItem* Items::Find(const std::string& id) const {
  auto it = byId_.find(id);
  return it == byId_.end() ? nullptr : &items_[it->second];
}

std::vector<const NamedItem*> Items::Of(const ReferenceRec* holder) const {
  std::vector<const NamedItem*> result;
  for (const NamedItem& item : items_) {
    if (item.holder == holder && !item.loose) result.push_back(&item);
  }
  return result;
}

bool Items::Present(const NamedItem& item) const {
  if (item.loose) return true;
  InventoryChangesRec* changes = world_.Component<References>().FindInventory(*item.holder);
  return changes != nullptr && world_.Component<Inventories>().Holds(*changes, item.list);
}

std::optional<float> Items::Health(const NamedItem& item) const {
  return world_.Component<ExtraData>().HealthOf(*item.list);
}

}  // namespace gd
