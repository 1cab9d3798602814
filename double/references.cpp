#include "references.h"

#include "dispatch_traps.h"
#include "runtime_offsets.h"
#include "stub_registry.h"

#include <array>
#include <cstring>
#include <new>
#include <type_traits>

namespace gd {
namespace {

References& Refs() { return World::Active().Component<References>(); }

std::uint32_t* RemoveItemSlot(ActorRec* self, std::uint32_t* handleOut, FormHeader* item, std::int32_t count,
                              std::uint32_t reason, ExtraList* extraList, ReferenceRec* moveTo,
                              const float* dropLocation, const float* rotation) {
  return Refs().RemoveItem(self, handleOut, item, count, reason, extraList, moveTo, dropLocation, rotation);
}

bool MembershipSlot(const ActorRec* self, const FormHeader* group) { return Refs().IsMember(self, group); }

bool GraphVariableBoolSlot(const GraphHolderObj* self, const BSFixedString* name, bool* out) {
  return Refs().ReadGraphVariable(self, name, out);
}

const std::array<void*, kReferenceSlots>& ActorTable() {
  static const std::array<void*, kReferenceSlots> table = [] {
    auto t = SlotTraps<kReferenceSlots>();
    t[kRemoveItemSlot] = reinterpret_cast<void*>(&RemoveItemSlot);
    t[kMembershipSlot] = reinterpret_cast<void*>(&MembershipSlot);
    return t;
  }();
  return table;
}

// Containers and items lying in the world: the plug-in calls none of their
// slots.
const std::array<void*, kReferenceSlots>& ReferenceTable() {
  static const std::array<void*, kReferenceSlots> table = SlotTraps<kReferenceSlots>();
  return table;
}

const GraphHolderVtbl& GraphHolderTable() {
  static const GraphHolderVtbl table = [] {
    GraphHolderVtbl t{};
    const auto traps = SlotTraps<24>();
    for (std::size_t i = 0; i < 18; ++i) t.slots0to17[i] = traps[i];
    for (std::size_t i = 0; i < 5; ++i) t.slots19to23[i] = traps[19 + i];
    t.getVariableBool = &GraphVariableBoolSlot;
    return t;
  }();
  return table;
}

}  // namespace

References::References(World& world) : world_(world) {
  world.Component<Forms>();
  world.Component<ExtraData>();
  world.Component<Inventories>();
  SetPlayer(nullptr);  // an adopted image may still name an earlier world's player
}

ReferenceRec& References::Register(ReferenceRec& reference, const std::string& name, std::uint32_t formId,
                                   std::uint8_t formType, FormHeader* base, bool presenceBits) {
  if (byName_.count(name) != 0) world_.Violation("two references are named " + name);
  reference.maker = this;
  reference.form.formId = formId;
  reference.form.formType = formType;
  reference.graphHolder.vtbl = &GraphHolderTable();
  reference.baseForm = base;
  world_.Component<ExtraData>().InitList(reference.extraList, presenceBits);
  known_.Set(&reference, true);
  names_[&reference] = name;
  byName_[name] = &reference;
  return reference;
}

template <class Record>
Record& References::Make() {
  static_assert(std::is_trivially_destructible_v<Record>, "records are never destroyed one by one");
  constexpr std::size_t size = (sizeof(Record) + 15) & ~std::size_t{15};
  static_assert(size <= kBlockBytes);
  if (blocks_.empty() || blockUsed_ + size > kBlockBytes) {
    blocks_.push_back(std::make_unique<std::byte[]>(kBlockBytes));
    blockUsed_ = 0;
  }
  void* at = blocks_.back().get() + blockUsed_;
  blockUsed_ += size;
  return *new (at) Record{};
}

ActorRec& References::AddActor(const std::string& name, std::uint32_t formId, FormHeader* base) {
  ActorRec& actor = Make<ActorRec>();
  Register(actor.ref, name, formId, form_type::kActor, base, true);
  actor.ref.form.vtbl = ActorTable().data();
  facts_[&actor];
  return actor;
}

ReferenceRec& References::AddContainer(const std::string& name, std::uint32_t formId, FormHeader* containerBase) {
  ReferenceRec& reference = Make<ReferenceRec>();
  Register(reference, name, formId, form_type::kReference, containerBase, true);
  reference.form.vtbl = ReferenceTable().data();
  return reference;
}

ReferenceRec& References::AddLooseItem(const std::string& name, std::uint32_t formId, FormHeader* itemBase,
                                       bool presenceBits) {
  ReferenceRec& reference = Make<ReferenceRec>();
  Register(reference, name, formId, form_type::kReference, itemBase, presenceBits);
  reference.form.vtbl = ReferenceTable().data();
  return reference;
}

void References::SetPlayer(ActorRec* actor) { *world_.region().At<ActorRec*>(Off().playerPtr.offset) = actor; }
ActorRec* References::Player() const { return *world_.region().At<ActorRec*>(Off().playerPtr.offset); }

ProcessRec& References::GiveProcess(ActorRec& actor) {
  if (actor.process == nullptr) actor.process = processes_.emplace_back(std::make_unique<ProcessRec>()).get();
  return *actor.process;
}

void References::SetLevel(ActorRec& actor, std::uint16_t level) { facts_[&actor].level = level; }
void References::AddMembership(ActorRec& actor, const FormHeader* group) { facts_[&actor].groups.insert(group); }
void References::SetLeftHandAttack(ActorRec& actor, std::optional<bool> value) {
  facts_[&actor].leftHandAttack = value;
}
const ReferenceRec* References::FindOwn(const ReferenceRec* reference) const {
  return reference != nullptr && reference->maker == this ? reference : nullptr;
}

void References::SetOwner(ReferenceRec& reference, FormHeader* owner) {
  if (!Knows(&reference)) {
    world_.Violation("an owner for something that is not a reference");
    return;
  }
  reference.owner = owner;
}
void References::SetPosition(ReferenceRec& reference, float x, float y, float z) {
  reference.position[0] = x;
  reference.position[1] = y;
  reference.position[2] = z;
}

InventoryChangesRec& References::Inventory(ReferenceRec& holder) {
  return world_.Component<Inventories>().ChangesOf(holder.extraList, &holder);
}

InventoryChangesRec* References::FindInventory(const ReferenceRec& holder) const {
  return world_.Component<Inventories>().FindChanges(holder.extraList);
}

std::string References::NameOf(const ReferenceRec* reference) const {
  if (reference == nullptr) return "(none)";
  auto it = names_.find(reference);
  return it == names_.end() ? "(unknown reference)" : it->second;
}

ReferenceRec* References::Find(const std::string& name) const {
  auto it = byName_.find(name);
  return it == byName_.end() ? nullptr : it->second;
}

bool References::IsActor(const ReferenceRec* reference) {
  return reference != nullptr && reference->form.formType == form_type::kActor;
}

std::vector<Removal> References::Removals() const {
  std::lock_guard<std::mutex> lock(callsMutex_);
  return removals_;
}

std::size_t References::RemovalCount() const {
  std::lock_guard<std::mutex> lock(callsMutex_);
  return removals_.size();
}

std::vector<Removal> References::RemovalsSince(std::size_t first) const {
  std::lock_guard<std::mutex> lock(callsMutex_);
  if (first >= removals_.size()) return {};
  return std::vector<Removal>(removals_.begin() + static_cast<std::ptrdiff_t>(first), removals_.end());
}

std::uint32_t References::RefreshCalls(const ActorRec* actor) const {
  std::lock_guard<std::mutex> lock(callsMutex_);
  auto it = refreshCalls_.find(actor);
  return it == refreshCalls_.end() ? 0 : it->second;
}

std::uint32_t References::GraphReads(const ActorRec* actor) const {
  std::lock_guard<std::mutex> lock(callsMutex_);
  auto it = graphReads_.find(actor);
  return it == graphReads_.end() ? 0 : it->second;
}

// Slot 86 as MSVC compiled it: the handle result comes back through the
// pointer after the actor. The engine only ever removes one unit of an
// instance it found, with no destination.
std::uint32_t* References::RemoveItem(ActorRec* self, std::uint32_t* handleOut, FormHeader* item, std::int32_t count,
                                      std::uint32_t reason, ExtraList* extraList, ReferenceRec* moveTo,
                                      const float* dropLocation, const float* rotation) {
  Forms& forms = world_.Component<Forms>();
  if (handleOut == nullptr || forms.IsForm(handleOut) || Knows(handleOut)) {
    world_.Violation("inventory removal (slot 86) without the handle result pointer after the actor");
    return handleOut;
  }
  *handleOut = 0;
  if (!forms.IsForm(item)) {
    world_.Violation("inventory removal (slot 86) of something that is not a record");
    return handleOut;
  }
  if (count != 1 || reason != 0 || moveTo != nullptr || dropLocation != nullptr || rotation != nullptr) {
    world_.Violation("inventory removal (slot 86) expects (item, 1, 0, list, null, null, null)");
    return handleOut;
  }
  InventoryChangesRec* changes = FindInventory(self->ref);
  std::lock_guard<std::mutex> lock(callsMutex_);
  if (changes == nullptr || !world_.Component<Inventories>().RemoveOne(*changes, item, extraList)) {
    world_.Violation(NameOf(&self->ref) + " was asked to remove an instance of " + forms.NameOf(item) +
                     " it does not hold");
    return handleOut;
  }
  removals_.push_back({self, item, extraList});
  return handleOut;
}

// After a removal the actor's hands follow its worn instances.
void References::RefreshAfterRemoval(ProcessRec* process, ActorRec* actor) {
  if (!Knows(actor) || !IsActor(&actor->ref)) {
    world_.Violation("RefreshAfterRemoval with something that is not an actor");
    return;
  }
  if (process == nullptr || process != actor->process) {
    world_.Violation("RefreshAfterRemoval expects (the actor's process, the actor)");
    return;
  }
  std::lock_guard<std::mutex> lock(callsMutex_);
  ++refreshCalls_[actor];
  InventoryChangesRec* changes = FindInventory(actor->ref);
  auto stillWorn = [&](FormHeader* form, std::uint32_t bit) {
    if (form == nullptr || changes == nullptr) return false;
    InventoryEntryRec* entry = world_.Component<Inventories>().EntryOf(*changes, form);
    if (entry == nullptr) return false;
    for (ExtraList* list : Inventories::Instances(*entry)) {
      if (ExtraData::HasPresenceBit(*list, bit)) return true;
    }
    return false;
  };
  if (!stillWorn(process->rightHand, extra_type::kWorn)) process->rightHand = nullptr;
  if (!stillWorn(process->leftHand, extra_type::kWornLeft)) process->leftHand = nullptr;
}

bool References::IsMember(const ActorRec* actor, const FormHeader* group) const {
  auto it = facts_.find(actor);
  if (it == facts_.end()) {
    world_.Violation("membership asked (slot 249) of something that is not an actor");
    return false;
  }
  return group != nullptr && it->second.groups.count(group) != 0;
}

bool References::ReadGraphVariable(const GraphHolderObj* holder, const BSFixedString* name, bool* out) {
  const auto* actor = reinterpret_cast<const ActorRec*>(reinterpret_cast<const std::uint8_t*>(holder) -
                                                        offsetof(ReferenceRec, graphHolder));
  if (name == nullptr || !world_.strings().Owns(name->text)) {
    world_.Violation("graph variable read (slot 18) expects the address of an interned string");
    return false;
  }
  if (out == nullptr) {
    world_.Violation("graph variable read (slot 18) without an output byte");
    return false;
  }
  auto it = facts_.find(actor);
  if (it == facts_.end()) return false;
  {
    std::lock_guard<std::mutex> lock(callsMutex_);
    ++graphReads_[actor];
  }
  if (std::strcmp(name->text, "bLeftHandAttack") != 0 || !it->second.leftHandAttack.has_value()) return false;
  *out = *it->second.leftHandAttack;
  return true;
}

std::uint16_t References::LevelOf(const ActorRec* actor) const {
  auto it = facts_.find(actor);
  if (it == facts_.end()) {
    world_.Violation("ActorLevel of something that is not an actor");
    return 0;
  }
  return it->second.level;
}

FormHeader* References::OwnerOf(const ReferenceRec* reference) const {
  const ReferenceRec* own = FindOwn(reference);
  if (own == nullptr) {
    world_.Violation("ReferenceOwner of something that is not a reference");
    return nullptr;
  }
  return own->owner;
}

namespace {

std::uint16_t ActorLevel(ActorRec* actor) { return Refs().LevelOf(actor); }
GD_REGISTER_STUB(&::gd::RuntimeOffsets::actorLevel, ActorLevel);

FormHeader* ReferenceOwner(ReferenceRec* reference) { return Refs().OwnerOf(reference); }
GD_REGISTER_STUB(&::gd::RuntimeOffsets::referenceOwner, ReferenceOwner);

void RefreshAfterRemoval(ProcessRec* process, ActorRec* actor) { Refs().RefreshAfterRemoval(process, actor); }
GD_REGISTER_STUB(&::gd::RuntimeOffsets::refreshAfterRemoval, RefreshAfterRemoval);

}  // namespace
}  // namespace gd
