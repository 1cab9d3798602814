#pragma once
// The game's extra-data lists: typed entries chained from the list head, and
// a presence bit field with one bit per extra-data type. Each entry's class
// table is what CastRuntimeType recognises it by; the health entry's class
// table is the game's own datum, so health entries the plug-in makes count
// like the game's.
#include "forms.h"
#include "live_layout.h"
#include "world.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace gd {

namespace extra_type {
constexpr std::uint32_t kInventoryChanges = 0x15;
constexpr std::uint32_t kWorn = 0x16;
constexpr std::uint32_t kWornLeft = 0x17;
constexpr std::uint32_t kHealth = 0x25;
constexpr std::uint32_t kPoison = 0x3E;
constexpr std::uint32_t kReferenceMarker = 0x8B;
}  // namespace extra_type

struct ExtraEntry {
  const void* vtbl;  // 0x00: class table
  ExtraEntry* next;  // 0x08
};
static_assert(offsetof(ExtraEntry, next) == 0x08 && sizeof(ExtraEntry) == 0x10);

struct ExtraHealthEntry {
  ExtraEntry base;      // 0x00
  float health;         // 0x10
  std::uint32_t pad14;  // 0x14
};
static_assert(offsetof(ExtraHealthEntry, health) == 0x10 && sizeof(ExtraHealthEntry) == 0x18);

struct ExtraPointerEntry {
  ExtraEntry base;  // 0x00
  void* payload;    // 0x10: inventory changes, marker form
};
static_assert(offsetof(ExtraPointerEntry, payload) == 0x10);

struct ExtraPoisonEntry {
  ExtraEntry base;      // 0x00
  FormHeader* poison;   // 0x10
  std::uint32_t count;  // 0x18
  std::uint32_t pad1C;  // 0x1C
};
static_assert(offsetof(ExtraPoisonEntry, poison) == 0x10 && offsetof(ExtraPoisonEntry, count) == 0x18);

struct PresenceBits {
  std::uint8_t bits[0x18];  // type n: bit (n % 8) of byte n / 8
};

// An extra-data list in the shape of the world's layout family
// (family::ListSE, family::ListAE): its fields are reached through the
// accessors. Room for the longer shape; on the Special Edition the last 8
// bytes are not the list's.
class ExtraList {
 public:
  ExtraEntry*& first() { return FieldAt<ExtraEntry*>(bytes_, LiveLayout().listFirst); }
  ExtraEntry* first() const { return FieldAt<ExtraEntry*>(bytes_, LiveLayout().listFirst); }
  // Null when the list has no bit field.
  PresenceBits*& presence() { return FieldAt<PresenceBits*>(bytes_, LiveLayout().listPresence); }
  PresenceBits* presence() const { return FieldAt<PresenceBits*>(bytes_, LiveLayout().listPresence); }
  std::uint64_t& lock() { return FieldAt<std::uint64_t>(bytes_, LiveLayout().listLock); }

 private:
  alignas(8) std::uint8_t bytes_[sizeof(family::ListAE)];
};
static_assert(sizeof(ExtraList) == 0x20);

// Dispatch table of an extra-data entry: slot 0 destructor, slot 1 its type.
struct ExtraVtbl {
  void* (*destroy)(ExtraEntry* self, std::uint32_t freeFlag);  // slot 0
  std::uint32_t (*type)(const ExtraEntry* self);               // slot 1
};

class ExtraData : public WorldComponent {
 public:
  explicit ExtraData(World& world);

  // A list owned by the double, with or without a presence bit field.
  ExtraList& NewList(bool presenceBits = true);
  // Sets up a list embedded in another object (a reference's own list).
  void InitList(ExtraList& list, bool presenceBits = true);

  void AddWorn(ExtraList& list, bool leftHand);
  ExtraHealthEntry& AddHealth(ExtraList& list, float health);
  void AddPoison(ExtraList& list, FormHeader* poison, std::uint32_t count);
  void AddPointer(ExtraList& list, std::uint32_t type, void* payload);  // 0x15 or 0x8B
  void SetPresenceBit(ExtraList& list, std::uint32_t type, bool on);

  // What the double reads back, by class table as the game would.
  static bool HasPresenceBit(const ExtraList& list, std::uint32_t type);
  ExtraEntry* Find(const ExtraList& list, std::uint32_t type) const;
  std::optional<float> HealthOf(const ExtraList& list) const;
  const void* ClassTableOf(std::uint32_t type) const;
  // The extra-data type whose class table this is; nullopt for none.
  std::optional<std::uint32_t> TypeOfClassTable(const void* table) const;

  // Every presence bit the plug-in set must have its entry: a bit without one
  // is a list the game would read as corrupt.
  void AtEnd() override;

  // The game's own flag that keeps an instance from breaking.
  void SetUnbreakable(const ExtraList& list, bool on);
  bool IsUnbreakable(const ExtraList& list) const;

 private:
  ExtraEntry& Link(ExtraList& list, std::uint32_t type, std::size_t size);

  World& world_;
  std::deque<std::unique_ptr<ExtraList>> lists_;
  std::deque<std::unique_ptr<PresenceBits>> bits_;
  std::deque<std::unique_ptr<std::uint64_t[]>> entries_;
  mutable std::mutex mutex_;
  std::unordered_set<const ExtraList*> unbreakable_;
  // The bits the double itself set on each list with a bit field.
  std::unordered_map<const ExtraList*, PresenceBits> knownBits_;
};

}  // namespace gd
