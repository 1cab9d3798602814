#pragma once
// The game the engine fuzzer plays: one game double with the real plug-in
// module loaded once per settings profile (its state is process-wide, and
// settings are read once, so each profile is a copy of the module of its
// own), a fixed cast of actors, containers and loose items in one room, and
// inventories built afresh for every input in storage of the fuzzer's own,
// reused from input to input so that a long run does not grow. Each input
// chooses which profiles' engines receive its events.
#include "extra_data.h"
#include "forms.h"
#include "inventory.h"
#include "references.h"
#include "ui_world.h"
#include "world.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace host {
class HostDouble;
}

namespace qmfuzz {

inline constexpr std::size_t kActors = 5;  // the first one is the player
inline constexpr std::size_t kContainers = 2;
inline constexpr std::size_t kLooseItems = 3;
inline constexpr std::size_t kHolders = kActors + kContainers;

// The settings profiles. The first runs the widget and makes every rule
// reachable and breaking likely; the others carry the extremes the reader
// takes (infinity, 1e308, the largest double and float, zero multipliers,
// numbers past 32 bits) with the widget off.
inline constexpr std::size_t kProfiles = 3;
// The most a tempering pass can give in this cast (level 61 at most).
inline constexpr float kHighestTemper = 1.7101f;

enum class WornAs { No, Right, Left };

// How one instance is made.
struct InstanceSpec {
  WornAs worn = WornAs::No;
  std::optional<float> health;  // nullopt: no health entry
  bool presenceBits = true;     // false: a list without a bit field
  bool unbreakable = false;     // the game's own no-break flag
  bool poisoned = false;
  bool healthBitWithoutEntry = false;  // bit 0x25 set, no entry behind it
};

// One instance as the fuzzer made it, and where it was put.
struct Instance {
  gd::ExtraList* list = nullptr;
  gd::ReferenceRec* holder = nullptr;  // the reference itself for a loose item
  gd::FormHeader* form = nullptr;
  bool unbreakable = false;
  bool healthBitWithoutEntry = false;
  bool loose = false;
};

class FuzzGame {
 public:
  // The one game of this process, started on first use.
  static FuzzGame& Get();
  ~FuzzGame();

  // Takes back everything the previous input built: inventories, lists, the
  // health entries the plug-in made (returned to the game heap, as the game
  // does when the items go away), open menus, hands and flags. Every
  // profile's engine is attached afterwards.
  void Reset();
  // Attaches the engines of the profiles whose bit is set, in profile order,
  // and detaches the others; at least the first profile when none is set.
  void UseProfiles(unsigned mask);
  // The highest health threshold among the attached profiles: nothing at or
  // below it is safe from breaking.
  float HealthThreshold() const;
  std::size_t AttachedProfiles() const;

  gd::World& world() { return *world_; }
  gd::UiWorld& ui() { return world_->Component<gd::UiWorld>(); }
  gd::ExtraData& extra() { return world_->Component<gd::ExtraData>(); }
  gd::References& references() { return world_->Component<gd::References>(); }

  gd::ActorRec& Actor(std::size_t i) { return *actors_.at(i); }
  // Actors first, then containers.
  gd::ReferenceRec& Holder(std::size_t i);
  gd::ReferenceRec& Loose(std::size_t i) { return *loose_.at(i); }

  // Records the instances can be made of, and the source ids hits may carry.
  const std::vector<gd::FormHeader*>& itemForms() const { return itemForms_; }
  const std::vector<std::uint32_t>& sourceIds() const { return sourceIds_; }
  gd::FormHeader* Owner(std::size_t i) const { return owners_.at(i); }
  std::size_t ownerCount() const { return owners_.size(); }
  gd::FormHeader* BossMarker() const { return bossMarker_; }

  // Building an input's world; a record the holder has already takes the
  // new units into its entry. Null or false once the storage is used up.
  gd::InventoryEntryRec* AddEntry(gd::ReferenceRec& holder, gd::FormHeader* form, std::int32_t count);
  bool AddInstance(gd::ReferenceRec& holder, gd::InventoryEntryRec& entry, const InstanceSpec& spec);
  void SetLoose(std::size_t i, gd::FormHeader* form, const InstanceSpec& spec);
  void MarkBoss(gd::ReferenceRec& holder);

  const std::vector<Instance>& instances() const { return instances_; }
  // Every extra-data list the input built, the holders' own included.
  std::vector<gd::ExtraList*> AllLists();
  // The inventory of a holder, as its list says.
  gd::InventoryChangesRec* InventoryOf(gd::ReferenceRec& holder);
  bool IsOwnList(const gd::ExtraList* list) const;

 private:
  FuzzGame();
  void BuildCast();
  void StartPlugin(std::size_t profile);
  void ResetHolderList(gd::ReferenceRec& holder, bool withInventory);
  gd::ExtraList* NewList(bool presenceBits);
  gd::PresenceBits* NewBits();
  gd::ExtraEntry* NewEntry(gd::ExtraList& list, std::uint32_t type);
  gd::ListNode* NewNode();
  void FillList(gd::ExtraList& list, const InstanceSpec& spec);

  // Storage reused for every input; sized once, so pointers stay valid.
  struct EntryStorage {
    alignas(8) std::uint64_t words[4];
  };
  template <typename T>
  struct Pool {
    std::vector<T> items;
    std::size_t used = 0;
    explicit Pool(std::size_t capacity) : items(capacity) {}
    T* Take() { return used < items.size() ? &items[used++] : nullptr; }
  };

  std::string root_;
  std::unique_ptr<gd::World> world_;
  // One started copy of the module and the engine sinks it registered.
  struct Copy {
    std::unique_ptr<host::HostDouble> host;
    std::vector<gd::EventSinkObj*> hitSinks;
    std::vector<gd::EventSinkObj*> updateSinks;
    float threshold = 1.0f;
    bool attached = true;
  };
  std::vector<Copy> copies_;
  std::vector<gd::ActorRec*> actors_;
  std::vector<gd::ProcessRec*> processes_;
  std::vector<gd::ReferenceRec*> containers_;
  std::vector<gd::ReferenceRec*> loose_;
  std::vector<gd::FormHeader*> itemForms_;
  std::vector<std::uint32_t> sourceIds_;
  std::vector<gd::FormHeader*> owners_;
  gd::FormHeader* poison_ = nullptr;
  gd::FormHeader* bossMarker_ = nullptr;

  Pool<gd::ExtraList> lists_{192};
  Pool<gd::PresenceBits> bits_{192 + kHolders + kLooseItems};
  Pool<EntryStorage> entries_{768};
  Pool<gd::ListNode> nodes_{512};
  Pool<gd::InventoryEntryRec> inventoryEntries_{96};
  Pool<gd::InventoryChangesRec> changes_{kHolders};
  std::vector<Instance> instances_;
};

}  // namespace qmfuzz
