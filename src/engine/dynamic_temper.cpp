#include "engine/dynamic_temper.h"

#include "config/config_store.h"
#include "engine/engine_random.h"
#include "engine/item_entry.h"
#include "game/game_bindings.h"

#include <immintrin.h>

#include <algorithm>
#include <array>
#include <bit>
#include <utility>

namespace qm::engine {
namespace {

// 7000 units, compared squared.
constexpr double kSearchRadiusSquared = 49000000.0;

// Forms the pass asks about, fetched on first use and kept.
struct TemperForms {
  game::TESForm* untemperedGroups[2];  // an actor in either keeps its gear at 1.0
  game::TESForm* bossMarkers[2];
};

const TemperForms& Forms() {
  static const TemperForms forms = [] {
    const auto find = game::Bindings.FindFormById;
    return TemperForms{{find(0x05C84D), find(0x09A7B2)}, {find(0x0130F7), find(0x0130F8)}};
  }();
  return forms;
}

// Asks for a reference's first two cache lines (its type, base form,
// position and extra-data list) ahead of use: the cell's table lists
// references in no order, so each would otherwise be a miss of its own.
// A prefetch never faults, whatever the address; a free slot's null holds
// no reference to step into, though, and is left alone.
void PrefetchReference(const game::Reference* reference) {
  if (reference == nullptr) return;
  const char* bytes = reinterpret_cast<const char*>(reference);
  _mm_prefetch(bytes, _MM_HINT_T0);
  _mm_prefetch(bytes + 64, _MM_HINT_T0);
}

constexpr std::size_t kPrefetchDistance = 16;

// The presence bit field of a loose item's list is an allocation of its own,
// read first thing for every item: asked for half the distance ahead, when
// the reference itself has arrived.
void PrefetchPresenceBits(const game::Reference* reference) {
  _mm_prefetch(reinterpret_cast<const char*>(game::PresenceBitsOf(&reference->extraList)), _MM_HINT_T0);
}

bool WithinSearchRadius(const game::Reference* reference, const float (&player)[3]) {
  // Differences in single precision, squared and summed in double.
  double sum = 0.0;
  for (int axis = 0; axis < 3; ++axis) {
    const float difference = reference->position[axis] - player[axis];
    sum += static_cast<double>(difference) * static_cast<double>(difference);
  }
  return sum < kSearchRadiusSquared;
}

// A temper between 1.0001 and 1.1001 + 0.01 * level, in single precision.
float TemperValue(std::uint32_t level) {
  return static_cast<float>(UniformScaled(10001.0, static_cast<double>((level + 10) * 100 + 10001)));
}

game::Actor* PlayerActor() { return *game::Bindings.Player; }
std::uint32_t PlayerLevel() { return game::Bindings.ActorLevel(PlayerActor()); }

// The two temper chances and the breaking rules' setting, read once per
// pass: the settings do not change once the game's data has loaded.
struct PassSettings {
  std::uint32_t usual = 0;
  std::uint32_t boss = 0;
  BreakRuleSettings breakRules;
};

PassSettings ReadPassSettings() {
  const config::ConfigStore& store = config::Store();
  return {store.Get<config::Setting::TemperChance>(), store.Get<config::Setting::BossTemperChance>(),
          ReadBreakRuleSettings()};
}

// An item lying in the world: tempered by chance when someone other than the
// player owns it.
void DecideLooseItem(game::Reference* loose, const PassSettings& settings) {
  const ItemEntry item{loose->baseForm, &loose->extraList, {}};
  if (!IsDurabilityItem(item)) return;
  if (game::HasExtraType(item.extraList, game::kExtraHealth)) return;

  float value = 1.0f;
  const game::TESForm* owner = game::Bindings.ReferenceOwner(loose);
  if (owner != nullptr && owner->formId != game::kPlayerRecordId) {
    const std::uint32_t level = PlayerLevel();
    if (level != 0 && IsBreakable(item, settings.breakRules) && RollIntPercent(settings.usual)) {
      value = TemperValue(level);
    }
  }
  SetItemHealth(item, value);
}

bool IsBossHolder(game::Reference* holder) {
  const auto* marker = reinterpret_cast<const game::ExtraPayloadPointer*>(
      FindExtraData(&holder->extraList, game::kExtraReferenceMarker));
  if (marker == nullptr || marker->payload == nullptr) return false;
  const TemperForms& forms = Forms();
  return marker->payload == forms.bossMarkers[0] || marker->payload == forms.bossMarkers[1];
}

bool BelongsToUntemperedGroup(game::Actor* actor) {
  const game::ActorDispatch* dispatch = game::DispatchOf(actor);
  for (const game::TESForm* group : Forms().untemperedGroups) {
    // A group the game does not know has no members.
    if (group != nullptr && dispatch->IsInFaction(actor, group)) return true;
  }
  return false;
}

// What the holder's items are decided with; worked out once per holder, on
// the first entry that needs it.
struct HolderTerms {
  bool untempered = false;  // the player, or a member of an untempered group
  std::uint32_t level = 0;
  bool boss = false;  // carries a boss marker: the boss chance applies
  bool known = false;
};

void WorkOutTerms(game::Reference* holder, HolderTerms& terms) {
  terms.known = true;
  if (holder->form.formType != game::kFormActor) {
    terms.level = PlayerLevel();  // a container
  } else {
    auto* actor = reinterpret_cast<game::Actor*>(holder);
    if (actor == PlayerActor() || BelongsToUntemperedGroup(actor)) {
      terms.untempered = true;
      return;
    }
    terms.level = game::Bindings.ActorLevel(actor);
  }
  terms.boss = IsBossHolder(holder);
}

// An actor or container: the first instance of every durability item it
// holds that has not been decided yet.
void DecideHolderItems(game::Reference* holder, const PassSettings& settings) {
  game::InventoryChanges* changes = InventoryChangesOf(&holder->extraList);
  if (changes == nullptr) return;

  HolderTerms terms;
  for (game::ListNode<game::InventoryEntry>* node = changes->entries; node != nullptr; node = node->next) {
    const game::InventoryEntry* entry = node->item;
    if (entry == nullptr || entry->form == nullptr || entry->extraLists == nullptr) continue;
    if (!IsDurabilityItem(ItemEntry{entry->form, nullptr, {}})) continue;

    game::ExtraDataList* list = nullptr;
    for (game::ListNode<game::ExtraDataList>* lists = entry->extraLists; lists != nullptr; lists = lists->next) {
      if (lists->item != nullptr) {
        list = lists->item;
        break;
      }
    }
    if (list == nullptr || game::HasExtraType(list, game::kExtraHealth)) continue;

    const ItemEntry instance{entry->form, list, {}};
    if (!terms.known) WorkOutTerms(holder, terms);
    float value = 1.0f;
    if (!terms.untempered && terms.level != 0 && IsBreakable(instance, settings.breakRules)) {
      if (RollIntPercent(terms.boss ? settings.boss : settings.usual)) value = TemperValue(terms.level);
    }
    SetItemHealth(instance, value);
  }
}

}  // namespace

void CollectNearbyReferences(const game::TESObjectCELL* cell, const float (&playerPosition)[3], ReferenceSet& holders,
                             ReferenceSet& looseItems) {
  if (cell == nullptr || cell->cellState != game::kCellAttached) return;
  const std::uint32_t slotCount = game::SlotCountOf(cell);
  if (slotCount == 0) return;
  const game::CellReferenceSlot* slots = game::SlotsOf(cell);
  for (std::uint32_t i = 0; i < slotCount; ++i) {
    if (i + kPrefetchDistance < slotCount) PrefetchReference(slots[i + kPrefetchDistance].reference);
    const game::CellReferenceSlot& slot = slots[i];
    if (slot.link == nullptr) continue;  // a free slot
    game::Reference* reference = slot.reference;
    if (reference == nullptr || reference->baseForm == nullptr) continue;

    ReferenceSet* set = nullptr;
    const std::uint8_t baseType = reference->baseForm->formType;
    if (reference->form.formType == game::kFormActor || baseType == game::kFormContainer) {
      set = &holders;
    } else if (baseType == game::kFormArmor || baseType == game::kFormWeapon) {
      set = &looseItems;
    } else {
      continue;
    }
    if (WithinSearchRadius(reference, playerPosition)) set->push_back(reference);
  }
}

void SortReferences(ReferenceSet& references) {
  // A radix sort over the address bits in which the references differ:
  // linear in their number, where a comparison sort would grow by a
  // logarithm with the crowd around the player.
  constexpr std::size_t kSmallSet = 64;
  if (references.size() < kSmallSet) {
    std::sort(references.begin(), references.end());
  } else {
    const auto address = [](const game::Reference* reference) { return reinterpret_cast<std::uintptr_t>(reference); };
    std::uintptr_t differing = 0;
    for (const game::Reference* reference : references) differing |= address(reference) ^ address(references[0]);
    const int bits = std::bit_width(differing);
    ReferenceSet sorted(references.size());
    for (int shift = 0; shift < bits; shift += 8) {
      std::array<std::size_t, 256> start{};
      for (const game::Reference* reference : references) ++start[(address(reference) >> shift) & 0xFF];
      std::size_t position = 0;
      for (std::size_t& bucket : start) position += std::exchange(bucket, position);
      for (game::Reference* reference : references) sorted[start[(address(reference) >> shift) & 0xFF]++] = reference;
      references.swap(sorted);
    }
  }
  references.erase(std::unique(references.begin(), references.end()), references.end());
}

void DynamicTemperPass() {
  game::Actor* player = PlayerActor();
  // No player yet (main menu, loading): nothing to search around.
  if (player == nullptr) return;

  ReferenceSet holders;
  ReferenceSet looseItems;
  const auto* playerCell = static_cast<const game::TESObjectCELL*>(player->reference.cell);
  if (playerCell != nullptr) {
    const float(&position)[3] = player->reference.position;
    if ((playerCell->cellFlags & game::kCellInterior) != 0) {
      CollectNearbyReferences(playerCell, position, holders, looseItems);
    } else if (const auto* world = static_cast<const game::WorldState*>(*game::Bindings.World);
               world != nullptr && world->loadedGrid != nullptr) {
      const game::LoadedCellGrid& grid = *world->loadedGrid;
      const std::size_t cellCount = static_cast<std::size_t>(grid.dimension) * grid.dimension;
      for (std::size_t i = 0; i < cellCount; ++i) CollectNearbyReferences(grid.cells[i], position, holders, looseItems);
    }
    SortReferences(looseItems);
    SortReferences(holders);
  }
  const PassSettings settings = ReadPassSettings();
  for (std::size_t i = 0; i < looseItems.size(); ++i) {
    if (i + kPrefetchDistance < looseItems.size()) PrefetchReference(looseItems[i + kPrefetchDistance]);
    if (i + kPrefetchDistance / 2 < looseItems.size()) PrefetchPresenceBits(looseItems[i + kPrefetchDistance / 2]);
    DecideLooseItem(looseItems[i], settings);
  }
  for (game::Reference* holder : holders) DecideHolderItems(holder, settings);
}

}  // namespace qm::engine
