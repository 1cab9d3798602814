#include "engine_fuzz_checks.h"

#include <bitset>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace qmfuzz {
namespace {

// No list the fuzzer builds is longer; a walk that goes on is a cycle.
constexpr std::size_t kLongestWalk = 4096;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "engine fuzzer: %s\n", what.c_str());
  std::abort();
}

std::string Describe(FuzzGame& game, const Instance& instance) {
  return game.world().Component<gd::Forms>().NameOf(instance.form) + " of " + game.references().NameOf(instance.holder);
}

bool HasBit(const gd::ExtraList& list, std::uint32_t type) { return gd::ExtraData::HasPresenceBit(list, type); }

// Entries chain without a cycle, each of a type the game knows, and the
// presence bits name exactly the types present (a deliberately unmatched
// health bit excepted).
// `what` names the list's owner; made only when a check fails.
template <typename Name>
void CheckList(FuzzGame& game, const gd::ExtraList& list, bool healthBitOnly, const Name& what) {
  constexpr std::size_t kTypes = sizeof(gd::PresenceBits) * 8;
  std::bitset<kTypes> types;
  std::size_t steps = 0;
  for (const gd::ExtraEntry* entry = list.first(); entry != nullptr; entry = entry->next) {
    if (++steps > kLongestWalk) Fail("the extra-data list of " + what() + " has a cycle");
    const std::optional<std::uint32_t> type = game.extra().TypeOfClassTable(entry->vtbl);
    if (!type || *type >= kTypes) Fail("the extra-data list of " + what() + " holds an entry of no known type");
    if (*type == gd::extra_type::kHealth && types.test(*type)) {
      Fail("the extra-data list of " + what() + " holds two health entries");
    }
    types.set(*type);
    if (list.presence() != nullptr && !HasBit(list, *type)) {
      Fail("the extra-data list of " + what() + " holds type " + std::to_string(*type) + " without its presence bit");
    }
  }
  if (list.presence() == nullptr) return;
  for (std::size_t byte = 0; byte < sizeof(gd::PresenceBits); ++byte) {
    const std::uint8_t bits = list.presence()->bits[byte];
    if (bits == 0) continue;
    for (std::uint32_t bit = 0; bit < 8; ++bit) {
      const std::uint32_t type = static_cast<std::uint32_t>(byte * 8 + bit);
      if ((bits & (1u << bit)) == 0 || types.test(type)) continue;
      if (type == gd::extra_type::kHealth && healthBitOnly) continue;
      Fail("the extra-data list of " + what() + " has presence bit " + std::to_string(type) + " with no entry");
    }
  }
  if (healthBitOnly && (!HasBit(list, gd::extra_type::kHealth) || types.test(gd::extra_type::kHealth))) {
    Fail("the health bit without an entry of " + what() + " was changed");
  }
}

// The lists linked into every holder's inventory, checked for cycles on the
// way, and whether each is one the fuzzer made.
std::unordered_set<const gd::ExtraList*> PresentLists(FuzzGame& game) {
  std::unordered_set<const gd::ExtraList*> present;
  for (std::size_t h = 0; h < kHolders; ++h) {
    gd::ReferenceRec& holder = game.Holder(h);
    const gd::InventoryChangesRec* changes = game.InventoryOf(holder);
    if (changes == nullptr) continue;
    const std::string name = game.references().NameOf(&holder);
    std::size_t steps = 0;
    for (const gd::ListNode* node = changes->entries; node != nullptr; node = node->next) {
      if (++steps > kLongestWalk) Fail("the inventory of " + name + " has a cycle");
      const auto* entry = static_cast<const gd::InventoryEntryRec*>(node->item);
      if (entry == nullptr) continue;
      std::size_t instanceSteps = 0;
      for (const gd::ListNode* link = entry->extraLists; link != nullptr; link = link->next) {
        if (++instanceSteps > kLongestWalk) Fail("an inventory entry of " + name + " has a cycle");
        const auto* list = static_cast<const gd::ExtraList*>(link->item);
        if (list == nullptr) continue;
        if (!game.IsOwnList(list)) Fail("the inventory of " + name + " holds a list the game never made");
        if (!present.insert(list).second) Fail("the inventory of " + name + " holds one list twice");
      }
    }
  }
  return present;
}

void CheckHeaps(FuzzGame& game) {
  gd::GameHeapModel& heap = game.world().heap();
  const void* healthTable = game.extra().ClassTableOf(gd::extra_type::kHealth);
  std::size_t linked = 0;
  for (const gd::ExtraList* list : game.AllLists()) {
    for (const gd::ExtraEntry* entry = list->first(); entry != nullptr; entry = entry->next) {
      if (!heap.IsLive(entry)) continue;
      if (entry->vtbl != healthTable) Fail("a game-heap block linked into a list is no health entry");
      ++linked;
    }
  }
  if (heap.LiveBlocks() != linked) {
    Fail("the game heap holds " + std::to_string(heap.LiveBlocks()) + " blocks, " + std::to_string(linked) +
         " of them linked into the game's lists");
  }
  gd::UiWorld& ui = game.ui();
  const std::size_t widgetBlocks = ui.IsOpen(std::string(gd::kWidgetMenuName)) ? 1 : 0;
  if (ui.movieHeapModel().LiveBlocks() != widgetBlocks) {
    Fail("the movie heap holds " + std::to_string(ui.movieHeapModel().LiveBlocks()) + " blocks with " +
         std::to_string(widgetBlocks) + " widget menus open");
  }
  if (ui.LiveManagedValues() != 0) Fail("a managed movie value is still referenced after the event");
}

}  // namespace

Snapshot TakeSnapshot(FuzzGame& game) {
  Snapshot snapshot;
  const std::unordered_set<const gd::ExtraList*> present = PresentLists(game);
  for (const Instance& instance : game.instances()) {
    InstanceState state;
    state.present = instance.loose || present.count(instance.list) != 0;
    state.health = game.extra().HealthOf(*instance.list);
    snapshot.instances.push_back(state);
  }
  snapshot.removals = game.references().RemovalCount();
  return snapshot;
}

void CheckWorld(FuzzGame& game) {
  const std::vector<std::string>& violations = game.world().Violations();
  if (!violations.empty()) Fail("the game double saw a broken contract: " + violations.front());
  for (std::size_t h = 0; h < kHolders; ++h) {
    gd::ReferenceRec& holder = game.Holder(h);
    CheckList(game, holder.extraList, false, [&] { return game.references().NameOf(&holder); });
  }
  for (const Instance& instance : game.instances()) {
    CheckList(game, *instance.list, instance.healthBitWithoutEntry, [&] { return Describe(game, instance); });
  }
  CheckHeaps(game);
}

void CheckAfter(FuzzGame& game, const Snapshot& before, EventKind kind) {
  CheckWorld(game);
  const std::unordered_set<const gd::ExtraList*> present = PresentLists(game);
  const std::vector<gd::Removal> removals = game.references().RemovalsSince(before.removals);
  std::unordered_map<const gd::ExtraList*, const gd::Removal*> removedLists;
  for (const gd::Removal& removal : removals) {
    if (kind != EventKind::Hit) Fail("an item was removed by an event other than a hit");
    removedLists[removal.list] = &removal;
  }

  const std::vector<Instance>& instances = game.instances();
  std::size_t left = 0;
  for (std::size_t i = 0; i < instances.size(); ++i) {
    const Instance& instance = instances[i];
    const InstanceState& was = before.instances[i];
    const auto name = [&] { return Describe(game, instance); };
    const bool isPresent = instance.loose || present.count(instance.list) != 0;
    if (isPresent && !was.present) Fail(name() + " came back into an inventory");
    if (was.present && !isPresent) {
      ++left;
      auto it = removedLists.find(instance.list);
      if (it == removedLists.end() || &it->second->actor->ref != instance.holder || it->second->form != instance.form) {
        Fail(name() + " left its inventory without breaking");
      }
      if (instance.unbreakable) Fail(name() + " broke though the game marks it unbreakable");
      if (instance.form->formId == 0x1F4) Fail(name() + " broke though its record never breaks");
      // With several profiles attached, one profile's sink may wear the item
      // down before another's rolls its break in the same event.
      if (game.AttachedProfiles() == 1 && was.health.value_or(1.0f) > game.HealthThreshold()) {
        Fail(name() + " broke above the health threshold");
      }
      continue;
    }

    const std::optional<float> health = game.extra().HealthOf(*instance.list);
    if (!was.health) {
      if (!health) continue;
      // Only a tempering pass decides an item, and never below 1.0.
      if (kind != EventKind::Update) Fail(name() + " was given a health entry outside a tempering pass");
      if (!(*health >= 1.0f && *health <= kHighestTemper)) {
        Fail(name() + " was tempered to " + std::to_string(*health));
      }
      continue;
    }
    if (!health) Fail(name() + " lost its health entry");
    const float old = *was.health;
    // Bit for bit: a NaN the fuzzer stored stays as it was unless written.
    if (std::memcmp(&*health, &old, sizeof old) == 0) continue;
    if (kind != EventKind::Hit) Fail(name() + " changed health outside a hit");
    // What the plug-in writes is a finite number of at least 1.0, and wear
    // never raises it.
    if (!std::isfinite(*health)) Fail(name() + " was given health " + std::to_string(*health));
    if (!(*health < old)) Fail(name() + " was raised from " + std::to_string(old) + " to " + std::to_string(*health));
    if (*health < 1.0f)
      Fail(name() + " was worn below 1.0, from " + std::to_string(old) + " to " + std::to_string(*health));
  }
  if (left != removals.size()) {
    Fail(std::to_string(removals.size()) + " removals for " + std::to_string(left) + " instances that left");
  }
}

}  // namespace qmfuzz
