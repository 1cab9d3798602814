#include "extra_data.h"

#include "runtime_offsets.h"
#include "runtime_types.h"
#include "stub_registry.h"

#include <array>
#include <cstring>

namespace gd {
namespace {

struct ExtraClass {
  std::uint32_t type;
  Placed RuntimeOffsets::*descriptor;
  const char* decoratedName;
};

constexpr std::array<ExtraClass, 6> kExtraClasses{{
    {extra_type::kInventoryChanges, &RuntimeOffsets::tdExtraContainerChanges, ".?AVExtraContainerChanges@@"},
    {extra_type::kWorn, &RuntimeOffsets::tdExtraWorn, ".?AVExtraWorn@@"},
    {extra_type::kWornLeft, &RuntimeOffsets::tdExtraWornLeft, ".?AVExtraWornLeft@@"},
    {extra_type::kHealth, &RuntimeOffsets::tdExtraHealth, ".?AVExtraHealth@@"},
    {extra_type::kPoison, &RuntimeOffsets::tdExtraPoison, ".?AVExtraPoison@@"},
    {extra_type::kReferenceMarker, &RuntimeOffsets::tdExtraMarker, ".?AVExtraLocationRefType@@"},
}};

void* DestroyEntry(ExtraEntry*, std::uint32_t) {
  World::Active().Violation("the plug-in destroyed an extra-data entry the game owns");
  return nullptr;
}

template <std::uint32_t Type>
std::uint32_t TypeOf(const ExtraEntry*) {
  return Type;
}

// Class tables of the types other than health live in the double's own
// memory; the plug-in never names them.
ExtraVtbl gInventoryChangesTable{&DestroyEntry, &TypeOf<extra_type::kInventoryChanges>};
ExtraVtbl gWornTable{&DestroyEntry, &TypeOf<extra_type::kWorn>};
ExtraVtbl gWornLeftTable{&DestroyEntry, &TypeOf<extra_type::kWornLeft>};
ExtraVtbl gPoisonTable{&DestroyEntry, &TypeOf<extra_type::kPoison>};
ExtraVtbl gMarkerTable{&DestroyEntry, &TypeOf<extra_type::kReferenceMarker>};

}  // namespace

ExtraData::ExtraData(World& world) : world_(world) {
  // The health class table is the game's datum: the plug-in stores its
  // address in the entries it makes.
  world.region().SetReadOnly(Off().healthExtraVtable.offset, sizeof(ExtraVtbl), false);
  *world.region().At<ExtraVtbl>(Off().healthExtraVtable.offset) = ExtraVtbl{&DestroyEntry, &TypeOf<extra_type::kHealth>};
  world.region().SetReadOnly(Off().healthExtraVtable.offset, sizeof(ExtraVtbl), true);

  WriteTypeDescriptor(world, Off().tdExtraData.offset, ".?AVBSExtraData@@");
  auto& types = world.Component<RuntimeTypes>();
  for (const ExtraClass& extra : kExtraClasses) {
    WriteTypeDescriptor(world, (world.runtime().*extra.descriptor).offset, extra.decoratedName);
    const void* table = ClassTableOf(extra.type);
    types.Register(table, types.Descriptor(Off().tdExtraData.offset), 0);
    types.Register(table, types.Descriptor((world.runtime().*extra.descriptor).offset), 0);
  }
}

const void* ExtraData::ClassTableOf(std::uint32_t type) const {
  switch (type) {
    case extra_type::kInventoryChanges: return &gInventoryChangesTable;
    case extra_type::kWorn: return &gWornTable;
    case extra_type::kWornLeft: return &gWornLeftTable;
    case extra_type::kHealth: return world_.region().At<const void>(Off().healthExtraVtable.offset);
    case extra_type::kPoison: return &gPoisonTable;
    case extra_type::kReferenceMarker: return &gMarkerTable;
    default: return nullptr;
  }
}

std::optional<std::uint32_t> ExtraData::TypeOfClassTable(const void* table) const {
  for (const ExtraClass& extra : kExtraClasses) {
    if (ClassTableOf(extra.type) == table) return extra.type;
  }
  return std::nullopt;
}

ExtraList& ExtraData::NewList(bool presenceBits) {
  ExtraList& list = *lists_.emplace_back(std::make_unique<ExtraList>());
  InitList(list, presenceBits);
  return list;
}

void ExtraData::InitList(ExtraList& list, bool presenceBits) {
  list.first = nullptr;
  list.lock = 0;
  list.presence = presenceBits ? bits_.emplace_back(std::make_unique<PresenceBits>()).get() : nullptr;
  if (presenceBits) knownBits_[&list] = PresenceBits{};
}

void ExtraData::SetPresenceBit(ExtraList& list, std::uint32_t type, bool on) {
  if (list.presence == nullptr) return;
  const auto bit = static_cast<std::uint8_t>(1u << (type % 8));
  if (on) {
    list.presence->bits[type / 8] |= bit;
  } else {
    list.presence->bits[type / 8] &= static_cast<std::uint8_t>(~bit);
  }
  knownBits_[&list] = *list.presence;
}

void ExtraData::AtEnd() {
  for (const auto& [list, known] : knownBits_) {
    if (list->presence == nullptr) continue;
    for (std::uint32_t type = 0; type < sizeof(PresenceBits) * 8; ++type) {
      const auto bit = static_cast<std::uint8_t>(1u << (type % 8));
      const bool setByPlugin = (list->presence->bits[type / 8] & bit) != 0 && (known.bits[type / 8] & bit) == 0;
      if (setByPlugin && Find(*list, type) == nullptr) {
        world_.Violation("the presence bit of extra-data type " + std::to_string(type) +
                         " was set on a list that holds no such entry");
      }
    }
  }
}

bool ExtraData::HasPresenceBit(const ExtraList& list, std::uint32_t type) {
  return list.presence != nullptr && (list.presence->bits[type / 8] & (1u << (type % 8))) != 0;
}

// New entries go to the head of the list, as the game adds them.
ExtraEntry& ExtraData::Link(ExtraList& list, std::uint32_t type, std::size_t size) {
  auto& storage = entries_.emplace_back(std::make_unique<std::uint64_t[]>((size + 7) / 8));
  auto* entry = reinterpret_cast<ExtraEntry*>(storage.get());
  entry->vtbl = ClassTableOf(type);
  entry->next = list.first;
  list.first = entry;
  SetPresenceBit(list, type, true);
  return *entry;
}

void ExtraData::AddWorn(ExtraList& list, bool leftHand) {
  Link(list, leftHand ? extra_type::kWornLeft : extra_type::kWorn, sizeof(ExtraEntry));
}

ExtraHealthEntry& ExtraData::AddHealth(ExtraList& list, float health) {
  auto& entry = reinterpret_cast<ExtraHealthEntry&>(Link(list, extra_type::kHealth, sizeof(ExtraHealthEntry)));
  entry.health = health;
  return entry;
}

void ExtraData::AddPoison(ExtraList& list, FormHeader* poison, std::uint32_t count) {
  auto& entry = reinterpret_cast<ExtraPoisonEntry&>(Link(list, extra_type::kPoison, sizeof(ExtraPoisonEntry)));
  entry.poison = poison;
  entry.count = count;
}

void ExtraData::AddPointer(ExtraList& list, std::uint32_t type, void* payload) {
  reinterpret_cast<ExtraPointerEntry&>(Link(list, type, sizeof(ExtraPointerEntry))).payload = payload;
}

ExtraEntry* ExtraData::Find(const ExtraList& list, std::uint32_t type) const {
  const void* table = ClassTableOf(type);
  for (ExtraEntry* entry = list.first; entry != nullptr; entry = entry->next) {
    if (entry->vtbl == table) return entry;
  }
  return nullptr;
}

std::optional<float> ExtraData::HealthOf(const ExtraList& list) const {
  ExtraEntry* entry = Find(list, extra_type::kHealth);
  if (entry == nullptr) return std::nullopt;
  return reinterpret_cast<ExtraHealthEntry*>(entry)->health;
}

void ExtraData::SetUnbreakable(const ExtraList& list, bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (on) {
    unbreakable_.insert(&list);
  } else {
    unbreakable_.erase(&list);
  }
}

bool ExtraData::IsUnbreakable(const ExtraList& list) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return unbreakable_.count(&list) != 0;
}

namespace {

bool ExtraListUnbreakable(ExtraList* list) {
  World& world = World::Active();
  if (list == nullptr) {
    world.Violation("ExtraListUnbreakable with no extra-data list");
    return false;
  }
  return world.Component<ExtraData>().IsUnbreakable(*list);
}
GD_REGISTER_STUB(&::gd::RuntimeOffsets::extraListUnbreakable, ExtraListUnbreakable);

}  // namespace
}  // namespace gd
