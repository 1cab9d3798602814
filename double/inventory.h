#pragma once
// Inventories as the game keeps them: a holder's extra-data list carries an
// inventory-changes entry (type 0x15) whose payload's first word points at
// the first node of the list of inventory entries; each entry holds its base
// form, a list of its instances' extra-data lists and a count.
#include "extra_data.h"
#include "forms.h"
#include "world.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace gd {

// A node of the game's singly linked lists. The head node of a list is part
// of its owner and holds a null item while the list is empty.
struct ListNode {
  void* item;      // 0x00
  ListNode* next;  // 0x08
};
static_assert(sizeof(ListNode) == 0x10);

struct InventoryEntryRec {
  FormHeader* form;         // 0x00
  ListNode* extraLists;     // 0x08: first node; null when no instance has a list
  std::int32_t countDelta;  // 0x10
  std::uint32_t pad14;      // 0x14
};
static_assert(offsetof(InventoryEntryRec, extraLists) == 0x08);
static_assert(offsetof(InventoryEntryRec, countDelta) == 0x10);

struct InventoryChangesRec {
  ListNode* entries;      // 0x00: first node of the entry list
  void* owner;            // 0x08: the holding reference
  float totalWeight;      // 0x10
  float armorWeight;      // 0x14
  std::uint8_t changed;   // 0x18
  std::uint8_t pad19[7];  // 0x19
};
static_assert(offsetof(InventoryChangesRec, entries) == 0x00 && sizeof(InventoryChangesRec) == 0x20);

class Inventories : public WorldComponent {
 public:
  explicit Inventories(World& world);

  // The holder's inventory changes, made (and linked into its list) on demand.
  InventoryChangesRec& ChangesOf(ExtraList& holderList, void* owner);
  // The holder's inventory changes, or null when it has none.
  InventoryChangesRec* FindChanges(const ExtraList& holderList) const;

  InventoryEntryRec& AddEntry(InventoryChangesRec& changes, FormHeader* form, std::int32_t count);
  ExtraList& AddInstance(InventoryEntryRec& entry, bool presenceBits = true);
  // An entry without extra-data lists that nonetheless has a list node with
  // a null item, as the game leaves behind.
  void AddEmptyInstanceNode(InventoryEntryRec& entry);

  std::vector<InventoryEntryRec*> Entries(const InventoryChangesRec& changes) const;
  static std::vector<ExtraList*> Instances(const InventoryEntryRec& entry);
  InventoryEntryRec* EntryOf(const InventoryChangesRec& changes, const FormHeader* form) const;
  std::int32_t CountOf(const InventoryChangesRec& changes, const FormHeader* form) const;
  bool Holds(const InventoryChangesRec& changes, const ExtraList* list) const;

  // Takes one unit of the form out, with the instance whose extra-data list
  // this is (null: a unit without a list). False when there is no such unit.
  bool RemoveOne(InventoryChangesRec& changes, const FormHeader* form, const ExtraList* list);

 private:
  ListNode& NewNode();

  World& world_;
  std::deque<std::unique_ptr<InventoryChangesRec>> changes_;
  std::deque<std::unique_ptr<InventoryEntryRec>> entries_;
  std::deque<std::unique_ptr<ListNode>> nodes_;
};

}  // namespace gd
