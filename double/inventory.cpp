#include "inventory.h"

namespace gd {

Inventories::Inventories(World& world) : world_(world) {}

ListNode& Inventories::NewNode() { return *nodes_.emplace_back(std::make_unique<ListNode>()); }

InventoryChangesRec* Inventories::FindChanges(const ExtraList& holderList) const {
  ExtraEntry* entry = world_.Component<ExtraData>().Find(holderList, extra_type::kInventoryChanges);
  if (entry == nullptr) return nullptr;
  return static_cast<InventoryChangesRec*>(reinterpret_cast<ExtraPointerEntry*>(entry)->payload);
}

InventoryChangesRec& Inventories::ChangesOf(ExtraList& holderList, void* owner) {
  if (InventoryChangesRec* existing = FindChanges(holderList)) return *existing;
  InventoryChangesRec& changes = *changes_.emplace_back(std::make_unique<InventoryChangesRec>());
  changes.entries = &NewNode();
  changes.owner = owner;
  world_.Component<ExtraData>().AddPointer(holderList, extra_type::kInventoryChanges, &changes);
  return changes;
}

InventoryEntryRec& Inventories::AddEntry(InventoryChangesRec& changes, FormHeader* form, std::int32_t count) {
  InventoryEntryRec& entry = *entries_.emplace_back(std::make_unique<InventoryEntryRec>());
  entry.form = form;
  entry.countDelta = count;
  ListNode* node = changes.entries;
  if (node->item != nullptr) {
    while (node->next != nullptr) node = node->next;
    node->next = &NewNode();
    node = node->next;
  }
  node->item = &entry;
  return entry;
}

ExtraList& Inventories::AddInstance(InventoryEntryRec& entry, bool presenceBits) {
  ExtraList& list = world_.Component<ExtraData>().NewList(presenceBits);
  ListNode& node = NewNode();
  node.item = &list;
  ListNode** link = &entry.extraLists;
  while (*link != nullptr) link = &(*link)->next;
  *link = &node;
  return list;
}

void Inventories::AddEmptyInstanceNode(InventoryEntryRec& entry) {
  ListNode** link = &entry.extraLists;
  while (*link != nullptr) link = &(*link)->next;
  *link = &NewNode();
}

std::vector<InventoryEntryRec*> Inventories::Entries(const InventoryChangesRec& changes) const {
  std::vector<InventoryEntryRec*> result;
  for (ListNode* node = changes.entries; node != nullptr; node = node->next) {
    if (node->item != nullptr) result.push_back(static_cast<InventoryEntryRec*>(node->item));
  }
  return result;
}

std::vector<ExtraList*> Inventories::Instances(const InventoryEntryRec& entry) {
  std::vector<ExtraList*> result;
  for (ListNode* node = entry.extraLists; node != nullptr; node = node->next) {
    if (node->item != nullptr) result.push_back(static_cast<ExtraList*>(node->item));
  }
  return result;
}

InventoryEntryRec* Inventories::EntryOf(const InventoryChangesRec& changes, const FormHeader* form) const {
  for (InventoryEntryRec* entry : Entries(changes)) {
    if (entry->form == form) return entry;
  }
  return nullptr;
}

std::int32_t Inventories::CountOf(const InventoryChangesRec& changes, const FormHeader* form) const {
  std::int32_t count = 0;
  for (InventoryEntryRec* entry : Entries(changes)) {
    if (entry->form == form) count += entry->countDelta;
  }
  return count;
}

bool Inventories::Holds(const InventoryChangesRec& changes, const ExtraList* list) const {
  for (InventoryEntryRec* entry : Entries(changes)) {
    for (ExtraList* instance : Instances(*entry)) {
      if (instance == list) return true;
    }
  }
  return false;
}

bool Inventories::RemoveOne(InventoryChangesRec& changes, const FormHeader* form, const ExtraList* list) {
  InventoryEntryRec* entry = EntryOf(changes, form);
  if (entry == nullptr || entry->countDelta <= 0) return false;
  if (list != nullptr) {
    ListNode** link = &entry->extraLists;
    while (*link != nullptr && (*link)->item != list) link = &(*link)->next;
    if (*link == nullptr) return false;
    *link = (*link)->next;  // the node stays allocated: the plug-in may still hold it
  }
  --entry->countDelta;
  changes.changed = 1;
  if (entry->countDelta > 0) return true;
  // The last unit left: the entry leaves the list. The head node is part of
  // the list, so the next node's content moves into it.
  ListNode* node = changes.entries;
  if (node->item == entry) {
    if (node->next != nullptr) {
      node->item = node->next->item;
      node->next = node->next->next;
    } else {
      node->item = nullptr;
    }
    return true;
  }
  while (node->next != nullptr && node->next->item != entry) node = node->next;
  if (node->next != nullptr) node->next = node->next->next;
  return true;
}

}  // namespace gd
